#include "fonts/exfont.h"

#include <QBuffer>
#include <QTest>

namespace
{

// A whole font file: the header, then one record per entry of `records` (code 0 first) and
// empty records up to code 255.
QByteArray FontBytes(quint8 width, quint8 aux, const QList<QByteArray>& records = {},
                     QByteArray reserved = QByteArray(2, '\0'))
{
    QByteArray bytes;
    bytes += char(width);
    bytes += char(aux);
    bytes += reserved;
    for (int c = 0; c < 256; ++c) {
        const QByteArray cols = c < records.size() ? records[c] : QByteArray();
        bytes += char(cols.size());
        bytes += cols;
    }
    return bytes;
}

bool Load(CEXFont& font, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return font.Serialize(buffer, false);
}

QByteArray Store(CEXFont& font)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return font.Serialize(buffer, true) ? bytes : QByteArray();
}

} // namespace

class TestExFont : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerExample();
    void load_data();
    void load();
    void storeWritesWhatLoadReads();
    void workingCopy_data();
    void workingCopy();
    void copyFromSmallerFont();
    void isDotSet_data();
    void isDotSet();
    void storeOfEmptyFontFails();
};

void TestExFont::headerExample()
{
    QByteArray bytes = QByteArray::fromHex("05080000"
                                           "00"
                                           "017F"
                                           "0155");
    bytes += QByteArray(253, '\0');
    CEXFont font;
    QVERIFY(Load(font, bytes));
    QCOMPARE(font.m_nWidth, quint8(5));
    QCOMPARE(font.m_nAux, quint8(8));
    QCOMPARE(font.m_nCount, 256);
    QCOMPARE(font.m_pGlyphs[0].m_nLen, quint8(0));
    QCOMPARE(font.m_pGlyphs[1].m_nLen, quint8(1));
    QCOMPARE(font.m_pGlyphs[1].m_pCols[0], quint8(0x7F));
    for (int y = 0; y < 7; ++y)
        QVERIFY(font.IsDotSet(1, 0, y));
    QVERIFY(!font.IsDotSet(1, 0, 7));
    // The record for code 2 starts at offset 7.
    QCOMPARE(font.m_pGlyphs[2].m_nLen, quint8(1));
    QCOMPARE(font.m_pGlyphs[2].m_pCols[0], quint8(0x55));
}

void TestExFont::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");

    const QList<QByteArray> records{QByteArray(), QByteArray::fromHex("7F41"),
                                    QByteArray::fromHex("0102030405")};
    const QByteArray good = FontBytes(5, 8, records);
    QTest::newRow("complete font") << good << true;
    QTest::newRow("reserved bytes hold anything")
        << FontBytes(5, 8, records, QByteArray::fromHex("AA55")) << true;
    QTest::newRow("bytes after the last record") << good + QByteArray::fromHex("DEADBEEF") << true;
    QTest::newRow("width 0") << FontBytes(0, 8) << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("header cut short") << QByteArray::fromHex("0508") << false;
    QTest::newRow("last record missing") << good.left(good.size() - 1) << false;
    QTest::newRow("record cut short")
        << FontBytes(5, 8, records).left(4 + 1 + 1 + 2 + 1 + 3) << false;
    QTest::newRow("record longer than the cell")
        << FontBytes(5, 8, {QByteArray::fromHex("010203040506")}) << false;
    QTest::newRow("record as wide as the cell")
        << FontBytes(1, 0, QList<QByteArray>(256, QByteArray(1, '\xFF'))) << true;
}

void TestExFont::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    CEXFont font;
    QCOMPARE(Load(font, bytes), loads);
    QCOMPARE(font.m_pGlyphs != nullptr, loads);
    if (loads) {
        QCOMPARE(font.m_nCount, 256);
        QCOMPARE(font.m_nAux, quint8(bytes[1]));
    }
}

void TestExFont::storeWritesWhatLoadReads()
{
    const QByteArray original = FontBytes(
        7, 0xC3, {QByteArray(), QByteArray::fromHex("7F"), QByteArray::fromHex("01020408102040")},
        QByteArray::fromHex("1234"));
    CEXFont font;
    QVERIFY(Load(font, original));
    QByteArray expected = original;
    expected[2] = 0; // reserved bytes are written as zero
    expected[3] = 0;
    QCOMPARE(Store(font), expected);
}

void TestExFont::workingCopy_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("copy");

    QTest::newRow("4 columns in a cell of 6")
        << QByteArray::fromHex("11223344") << QByteArray::fromHex("112233440000");
    QTest::newRow("empty glyph") << QByteArray() << QByteArray(6, '\0');
    QTest::newRow("full cell") << QByteArray::fromHex("010203040506")
                               << QByteArray::fromHex("010203040506");
}

void TestExFont::workingCopy()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, copy);
    QList<QByteArray> records(0x42);
    records[0x41] = source;
    CEXFont font;
    QVERIFY(Load(font, FontBytes(6, 0x5A, records)));

    CEXFont working;
    QVERIFY(working.Create(font.m_nCount, font.m_nWidth, font.m_nAux));
    QVERIFY(working.CopyGlyphs(font));
    QCOMPARE(working.m_nAux, quint8(0x5A));
    QCOMPARE(working.m_pGlyphs[0x41].m_nLen, quint8(6));
    const auto* cols = reinterpret_cast<const char*>(working.m_pGlyphs[0x41].m_pCols.get());
    QCOMPARE(QByteArray(cols, 6), copy);
}

void TestExFont::copyFromSmallerFont()
{
    CEXFont small;
    QVERIFY(small.Create(2, 2, 0));
    small.m_pGlyphs[1].m_pCols[0] = 0xFF;
    small.m_pGlyphs[1].m_pCols[1] = 0x0F;
    CEXFont big;
    QVERIFY(big.Create(256, 4, 0));
    big.m_pGlyphs[200].m_pCols[0] = 0x77;
    QVERIFY(big.CopyGlyphs(small));
    QCOMPARE(big.m_pGlyphs[1].m_pCols[1], quint8(0x0F));
    QCOMPARE(big.m_pGlyphs[1].m_pCols[2], quint8(0));
    QCOMPARE(big.m_pGlyphs[200].m_pCols[0], quint8(0)); // beyond the source: blank
}

void TestExFont::isDotSet_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("lit");

    // Column 0 holds 0x01, column 1 holds 0x80.
    QTest::newRow("0x01 row 0") << 0 << 0 << true;
    QTest::newRow("0x01 row 7") << 0 << 7 << false;
    QTest::newRow("0x80 row 0") << 1 << 0 << false;
    QTest::newRow("0x80 row 7") << 1 << 7 << true;
    QTest::newRow("only the low byte of x counts") << 0x100 << 0 << true;
    QTest::newRow("column past the cell") << 5 << 0 << false;
}

void TestExFont::isDotSet()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(bool, lit);
    CEXFont font;
    QVERIFY(Load(font, FontBytes(2, 0, {QByteArray(), QByteArray::fromHex("0180")})));
    QCOMPARE(font.IsDotSet(1, column, row), lit);
}

void TestExFont::storeOfEmptyFontFails()
{
    CEXFont font;
    QVERIFY(Store(font).isEmpty());
    QVERIFY(!font.Create(0, 5, 0));
    QVERIFY(!font.Create(256, 0, 0));
    QVERIFY(font.m_pGlyphs == nullptr);
}

QTEST_GUILESS_MAIN(TestExFont)
#include "tst_exfont.moc"
