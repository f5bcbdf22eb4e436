#include "fonts/exfont.h"
#include "testbytes.h"

#include <QBuffer>
#include <QTest>

namespace
{

// A whole font file: the header, then one record per entry of `records` (code 0 first) and
// empty records up to code 255.
QByteArray FontBytes(quint8 width, quint8 aux, const QList<QByteArray>& records = {},
                     const QByteArray& reserved = QByteArray(2, '\0'))
{
    QByteArray bytes = QByteArray(1, char(width)) + char(aux) + reserved;
    for (int c = 0; c < 256; ++c) {
        const QByteArray cols = records.value(c);
        bytes += char(cols.size()) + cols;
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

QByteArray Columns(const CEXFont& font, int c)
{
    const CEXFont::Glyph& glyph = font.m_pGlyphs[c];
    return QByteArray(reinterpret_cast<const char*>(glyph.m_pCols.get()), glyph.m_nLen);
}

// Rows 0 to 7 of column x of glyph c, '#' for a lit dot.
QByteArray Dots(const CEXFont& font, int c, int x)
{
    QByteArray dots;
    for (int y = 0; y < 8; ++y)
        dots += font.IsDotSet(c, x, y) ? '#' : '.';
    return dots;
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
    void cloneIsWholeAndApart();
    void isDotSet_data();
    void isDotSet();
    void storeOfEmptyFontFails();
};

void TestExFont::headerExample()
{
    CEXFont font;
    QVERIFY(Load(font, HexBytes("05080000 00 017F 0155") + QByteArray(253, '\0')));
    QCOMPARE(font.m_nWidth, quint8(5));
    QCOMPARE(font.m_nAux, quint8(8));
    QCOMPARE(font.m_nCount, 256);
    QCOMPARE(Columns(font, 0), QByteArray());
    QCOMPARE(Columns(font, 1), HexBytes("7F"));
    QCOMPARE(Dots(font, 1, 0), QByteArray("#######."));
    QCOMPARE(Columns(font, 2), HexBytes("55")); // the record for code 2 starts at offset 7
}

void TestExFont::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");

    const QList<QByteArray> records{QByteArray(), HexBytes("7F41"), HexBytes("0102030405")};
    const QByteArray good = FontBytes(5, 8, records);
    QTest::newRow("complete font") << good << true;
    QTest::newRow("reserved bytes hold anything")
        << FontBytes(5, 8, records, HexBytes("AA55")) << true;
    QTest::newRow("bytes after the last record") << good + HexBytes("DEADBEEF") << true;
    QTest::newRow("width 0") << FontBytes(0, 8) << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("header cut short") << HexBytes("0508") << false;
    QTest::newRow("last record missing") << good.chopped(1) << false;
    QTest::newRow("record cut short") << good.left(4 + 1 + 1 + 2 + 1 + 3) << false;
    QTest::newRow("record longer than the cell")
        << FontBytes(5, 8, {HexBytes("010203040506")}) << false;
    QTest::newRow("record as wide as the cell")
        << FontBytes(1, 0, QList<QByteArray>(256, HexBytes("FF"))) << true;
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
    const QList<QByteArray> records{QByteArray(), HexBytes("7F"), HexBytes("01020408102040")};
    CEXFont font;
    QVERIFY(Load(font, FontBytes(7, 0xC3, records, HexBytes("1234"))));
    QCOMPARE(Store(font), FontBytes(7, 0xC3, records)); // reserved bytes are written as zero
}

void TestExFont::workingCopy_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("copy");

    QTest::newRow("4 columns in a cell of 6") << HexBytes("11223344") << HexBytes("112233440000");
    QTest::newRow("empty glyph") << QByteArray() << HexBytes("000000000000");
    QTest::newRow("full cell") << HexBytes("010203040506") << HexBytes("010203040506");
}

void TestExFont::workingCopy()
{
    QFETCH(QByteArray, source);
    QList<QByteArray> records(0x42);
    records[0x41] = source;
    CEXFont font;
    QVERIFY(Load(font, FontBytes(6, 0x5A, records)));

    CEXFont working;
    QVERIFY(working.Create(font.m_nCount, font.m_nWidth, font.m_nAux));
    QVERIFY(working.CopyGlyphs(font));
    QCOMPARE(working.m_nAux, quint8(0x5A));
    QTEST(Columns(working, 0x41), "copy");
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
    QCOMPARE(Columns(big, 1), HexBytes("FF0F0000"));
    QCOMPARE(Columns(big, 200), HexBytes("00000000")); // beyond the source: blank
}

void TestExFont::cloneIsWholeAndApart()
{
    const QList<QByteArray> records{QByteArray(), HexBytes("7F"), HexBytes("01020408102040")};
    const QByteArray file = FontBytes(7, 0xC3, records);
    auto font = std::make_unique<CEXFont>();
    QVERIFY(Load(*font, file));
    std::unique_ptr<CEXFont> copy = font->Clone();
    font.reset(); // the copy owns its glyphs
    QCOMPARE(Store(*copy).toHex(), file.toHex());
    QCOMPARE(CEXFont().Clone()->m_pGlyphs, nullptr);
}

void TestExFont::isDotSet_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("dots");

    // Column 0 holds 0x01, column 1 holds 0x80: the low bit is the top row.
    QTest::newRow("0x01") << 0 << QByteArray("#.......");
    QTest::newRow("0x80") << 1 << QByteArray(".......#");
    QTest::newRow("only the low byte of x counts") << 0x100 << QByteArray("#.......");
    QTest::newRow("column past the cell") << 5 << QByteArray("........");
}

void TestExFont::isDotSet()
{
    QFETCH(int, column);
    CEXFont font;
    QVERIFY(Load(font, FontBytes(2, 0, {QByteArray(), HexBytes("0180")})));
    QTEST(Dots(font, 1, column), "dots");
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
