#include "editor/dotstrip.h"
#include "fonts/exfont.h"
#include "testbytes.h"

#include <QBuffer>
#include <QTest>
#include <memory>

namespace
{

// A font whose glyphs are given by code; every other code has no columns.
std::unique_ptr<CEXFont> MakeFont(const QMap<int, QByteArray>& glyphs)
{
    QByteArray bytes("\x08\x08\x00\x00", 4);
    for (int c = 0; c < 256; ++c)
        bytes += char(glyphs.value(c).size()) + glyphs.value(c);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    auto font = std::make_unique<CEXFont>();
    return font->Serialize(buffer, false) ? std::move(font) : nullptr;
}

QByteArray FileFont(const QString& name)
{
    return FileBytes(QStringLiteral(TAVRIX_FONTS_DIR "/") + name + QStringLiteral(".brf"));
}

// Widths read straight from the file: the length byte of each record, walking from offset 4.
QList<int> WidthsInFile(const QByteArray& file)
{
    QList<int> widths;
    qsizetype at = 4;
    for (int c = 0; c < 256 && at < file.size(); ++c) {
        const int length = quint8(file[at]);
        widths << length;
        at += 1 + length;
    }
    return widths;
}

QString Markers(const DotLine& line)
{
    QStringList texts;
    for (const DotMarker& marker : line.markers)
        texts << QStringLiteral("%1%2@%3").arg(marker.letter).arg(marker.value).arg(marker.column);
    return texts.join(u' ');
}

} // namespace

class TestDotStrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void knownStreams_data();
    void knownStreams();
    void columnsAreTheSumOfShippedGlyphWidths();
    void wrap_data();
    void wrap();

private:
    std::unique_ptr<CEXFont> m_first;
    std::unique_ptr<CEXFont> m_second;
};

void TestDotStrip::initTestCase()
{
    // 'A' differs between the two fonts; 0x80 is a device symbol of the first.
    m_first = MakeFont(
        {{0x41, HexBytes("7e 09 7e")}, {0x42, HexBytes("7f 49")}, {0x80, HexBytes("18 3c 18")}});
    m_second = MakeFont({{0x41, HexBytes("ff")}, {0x80, HexBytes("81")}});
    QVERIFY(m_first && m_second);
}

void TestDotStrip::knownStreams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("lines"); // hex columns of each line
    QTest::addColumn<QStringList>("markers");
    QTest::addColumn<QList<int>>("effects");

    const QList<int> none{-1};
    QTest::newRow("plain characters")
        << HexBytes("41 42") << QStringList{"7e097e7f49"} << QStringList{""} << none;
    QTest::newRow("font switch changes the glyph")
        << HexBytes("41 0001 41 0000 41") << QStringList{"7e097eff7e097e"}
        << QStringList{"f1@3 f0@4"} << none;
    QTest::newRow("device symbol draws its glyph")
        << HexBytes("80 41") << QStringList{"183c187e097e"} << QStringList{""} << none;
    QTest::newRow("symbol from the font in force")
        << HexBytes("0001 80") << QStringList{"81"} << QStringList{"f1@0"} << none;
    QTest::newRow("missing font draws nothing")
        << HexBytes("41 0002 41 80 0000 42") << QStringList{"7e097e7f49"}
        << QStringList{"f2@3 f0@3"} << none;
    QTest::newRow("font beyond the list draws nothing")
        << HexBytes("0009 41") << QStringList{""} << QStringList{"f9@0"} << none;
    QTest::newRow("line break starts a new line")
        << HexBytes("41 0a 42") << QStringList{"7e097e", "7f49"} << QStringList{"", ""}
        << QList<int>{-1, -1};
    QTest::newRow("font stays across a line break")
        << HexBytes("0001 41 0a 41") << QStringList{"ff", "ff"} << QStringList{"f1@0", ""}
        << QList<int>{-1, -1};
    QTest::newRow("carriage return skipped")
        << HexBytes("41 0d 42") << QStringList{"7e097e7f49"} << QStringList{""} << none;
    QTest::newRow("stop, i and v light nothing")
        << HexBytes("41 0330 0107 0305 42") << QStringList{"7e097e7f49"}
        << QStringList{"s3@3 i7@3 v5@3"} << none;
    QTest::newRow("effect at the start brings its own line")
        << HexBytes("41 0a 0202 42") << QStringList{"7e097e", "7f49"} << QStringList{"", "e2@0"}
        << QList<int>{-1, 2};
    QTest::newRow("effect after text brings the next line")
        << HexBytes("41 0204 0a 42 0a 41") << QStringList{"7e097e", "7f49", "7e097e"}
        << QStringList{"e4@3", "", ""} << QList<int>{-1, 4, -1};
    QTest::newRow("unknown effect runs in as usual")
        << HexBytes("0207 41") << QStringList{"7e097e"} << QStringList{"e7@0"} << none;
    QTest::newRow("code without its parameter")
        << HexBytes("41 00") << QStringList{"7e097e"} << QStringList{""} << none;
    QTest::newRow("empty stream") << QByteArray() << QStringList{""} << QStringList{""} << none;
}

void TestDotStrip::knownStreams()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, markers);
    QFETCH(QList<int>, effects);
    const QList<DotLine> built = CDotStrip::Build(stream, {m_first.get(), m_second.get(), nullptr});
    QStringList columns;
    QStringList marks;
    QList<int> builtEffects;
    for (const DotLine& line : built) {
        columns << QString::fromLatin1(line.columns.toHex());
        marks << Markers(line);
        builtEffects << line.effect;
    }
    QCOMPARE(columns, lines);
    QCOMPARE(marks, markers);
    QCOMPARE(builtEffects, effects);
}

void TestDotStrip::columnsAreTheSumOfShippedGlyphWidths()
{
    const QByteArray arialFile = FileFont(QStringLiteral("Arial"));
    const QByteArray boldFile = FileFont(QStringLiteral("Bold"));
    auto load = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        auto font = std::make_unique<CEXFont>();
        font->Serialize(buffer, false);
        return font;
    };
    const auto arial = load(arialFile);
    const auto bold = load(boldFile);
    const QList<int> arialWidths = WidthsInFile(arialFile);
    const QList<int> boldWidths = WidthsInFile(boldFile);
    QCOMPARE(arialWidths.size(), 256);
    QCOMPARE(boldWidths.size(), 256);

    // "Табло" in cp1251, a symbol, a switch to font 1, "OK!" and a symbol again.
    const QByteArray first = HexBytes("d2 e0 e1 eb ee 85");
    const QByteArray second = HexBytes("4f 4b 21 9a");
    int expected = 0;
    for (char c : first)
        expected += arialWidths[quint8(c)];
    for (char c : second)
        expected += boldWidths[quint8(c)];
    QVERIFY(expected > 0);

    const QByteArray stream = first + HexBytes("0001") + second;
    const QList<DotLine> lines = CDotStrip::Build(stream, {arial.get(), bold.get()});
    QCOMPARE(lines.size(), 1);
    QCOMPARE(int(lines[0].columns.size()), expected);
    QCOMPARE(lines[0].text, "ТаблоOK!"); // the symbols and the code have no letters
}

void TestDotStrip::wrap_data()
{
    QTest::addColumn<QList<DotLine>>("lines");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("markers");
    QTest::addColumn<QList<int>>("effects");

    QTest::newRow("short lines stay")
        << QList<DotLine>{{HexBytes("01 02"), {{1, 'i', 3}}, -1}, {HexBytes("03"), {}, 2}}
        << QStringList{"0102", "03"} << QStringList{"i3@1", ""} << QList<int>{-1, 2};
    QTest::newRow("long line cut in three")
        << QList<DotLine>{{HexBytes("01 02 03 04 05 06 07"),
                           {{0, 'f', 1}, {3, 's', 2}, {6, 'v', 4}, {7, 'i', 1}},
                           4}}
        << QStringList{"010203", "040506", "07"} << QStringList{"f1@0", "s2@0", "v4@0 i1@1"}
        << QList<int>{4, -1, -1};
    QTest::newRow("code at the end of a full row")
        << QList<DotLine>{{HexBytes("01 02 03"), {{3, 's', 5}}, -1}} << QStringList{"010203"}
        << QStringList{"s5@3"} << QList<int>{-1};
    QTest::newRow("empty line") << QList<DotLine>{{QByteArray(), {{0, 'e', 1}}, -1}}
                                << QStringList{""} << QStringList{"e1@0"} << QList<int>{-1};
}

void TestDotStrip::wrap()
{
    QFETCH(QList<DotLine>, lines);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, markers);
    QFETCH(QList<int>, effects);
    QStringList columns;
    QStringList marks;
    QList<int> builtEffects;
    for (const DotLine& row : CDotStrip::Wrap(lines, 3)) {
        columns << QString::fromLatin1(row.columns.toHex());
        marks << Markers(row);
        builtEffects << row.effect;
    }
    QCOMPARE(columns, rows);
    QCOMPARE(marks, markers);
    QCOMPARE(builtEffects, effects);
}

QTEST_GUILESS_MAIN(TestDotStrip)
#include "tst_dotstrip.moc"
