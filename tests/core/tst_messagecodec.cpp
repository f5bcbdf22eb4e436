#include "editor/messagecodec.h"
#include "editor/tavrixeditordoc.h"
#include "fakeeditcontrol.h"
#include "tempprogram.h"
#include "testbytes.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{

// One mark per character: '.' black, 'c' the control colour, '0'–'3' the symbol pages,
// 'x' a blue that is not a marking colour.
const QByteArray kMarks = ".cx0123";
const quint32 kMarkColors[] = {0,
                               CMessageCodec::kControlColor,
                               0xFE0000,
                               CMessageCodec::kPageColor[0],
                               CMessageCodec::kPageColor[1],
                               CMessageCodec::kPageColor[2],
                               CMessageCodec::kPageColor[3]};

quint32 ColorOfMark(char mark)
{
    return kMarkColors[std::max<qsizetype>(0, kMarks.indexOf(mark))];
}

char MarkOfColor(quint32 color)
{
    const auto* found = std::find(std::begin(kMarkColors), std::end(kMarkColors), color);
    return found == std::end(kMarkColors) ? '?' : kMarks.at(found - std::begin(kMarkColors));
}

bool IsDeviceSymbol(int byte)
{
    return byte >= 0x80 && byte <= 0xBF && byte != 0xA8 && byte != 0xB8 && byte != 0xB9;
}

// Streams this program can write: whole items only, parameters as the toolbar and dialogs
// produce them.
QByteArray RandomStream(QRandomGenerator& random, int items)
{
    QByteArray stream;
    for (int i = 0; i < items; ++i) {
        const int kind = random.bounded(10);
        int byte;
        if (kind < 5) {
            do
                byte = random.bounded(0x04, 0x100);
            while (byte == 0x0A || byte == 0x0D || IsDeviceSymbol(byte));
            stream += char(byte);
        } else if (kind < 7) {
            do
                byte = random.bounded(0x80, 0xC0);
            while (!IsDeviceSymbol(byte));
            stream += char(byte);
        } else if (kind < 9) {
            const int code = random.bounded(4);
            const int param = random.bounded(10);
            stream += char(code);
            stream += char(code == 3 && random.bounded(2) == 0 ? param << 4 : param); // full stop
        } else {
            stream += '\n';
        }
    }
    return stream;
}

enum Way { Encodes = 1, Decodes = 2, BothWays = 3 };

void CodecRow(const char* name, Way way, const QByteArray& text, const char* marks, const char* hex)
{
    QTest::newRow(name) << int(way) << text << QByteArray(marks) << HexBytes(hex);
}

void CatchRow(const char* name, uint type, int value, int param, int selStart, int selEnd,
              const char* text, const char* marks)
{
    QTest::newRow(name) << type << value << param << selStart << selEnd << QByteArray(text)
                        << QByteArray(marks);
}

struct CodecFixture {
    CodecFixture() { codec.SetDocument(&doc); }

    TempProgram program;
    FakePrompt prompt;
    CTavrixEditorDoc doc{*program.settings, prompt};
    FakeEditControl edit;
    CMessageCodec codec{edit, prompt};
};

} // namespace

class TestMessageCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<CodecFixture>(); }

    void encodeAndDecode_data();
    void encodeAndDecode();
    void roundTripOfGeneratedStreams();
    void catchChar_data();
    void catchChar();
    void unknownTypeLeavesTypingPlain();
    void capacity_data();
    void capacity();
    void fullArrayFromFileReencodesWithinCapacity();
    void encodingFetchesTextOnce();
    void isControlType_data();
    void isControlType();

private:
    void SetEditor(const QByteArray& text, const QByteArray& marks);
    QByteArray Stream() const;
    QByteArray Text() const { return QByteArray(m_f->edit.text).replace("\r\n", "\n"); }
    QByteArray Marks() const;
    void Load(const QByteArray& stream);

    std::unique_ptr<CodecFixture> m_f;
};

// A line break is written '\n' with one mark; the fake stores it as CR LF.
void TestMessageCodec::SetEditor(const QByteArray& text, const QByteArray& marks)
{
    QCOMPARE(text.size(), marks.size());
    m_f->edit.SetText(QByteArray());
    for (qsizetype i = 0; i < text.size(); ++i)
        m_f->edit.Append(text.mid(i, 1), ColorOfMark(marks[i]));
}

QByteArray TestMessageCodec::Stream() const
{
    return QByteArray(reinterpret_cast<const char*>(m_f->doc.m_pData.get()), m_f->doc.m_nLength);
}

QByteArray TestMessageCodec::Marks() const
{
    const QByteArray& text = m_f->edit.text;
    QByteArray marks;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            marks += MarkOfColor(m_f->edit.colors[i]);
    }
    return marks;
}

void TestMessageCodec::Load(const QByteArray& stream)
{
    QVERIFY(stream.size() <= m_f->doc.m_nCapacity);
    std::copy(stream.cbegin(), stream.cend(), m_f->doc.m_pData.get());
    m_f->doc.m_nLength = int(stream.size());
}

void TestMessageCodec::encodeAndDecode_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marks");
    QTest::addColumn<QByteArray>("stream");

    CodecRow("two lines", BothWays, "AB\nC", "....", "41 42 0A 43");
    CodecRow("AB f3 C", BothWays, "ABf3C", "..cc.", "41 42 00 03 43");
    CodecRow("i7", BothWays, "i7", "cc", "01 07");
    CodecRow("v2", BothWays, "v2", "cc", "03 02");
    CodecRow("v5", BothWays, "v5", "cc", "03 05");
    CodecRow("e4", BothWays, "e4", "cc", "02 04");
    for (char d = '1'; d <= '9'; ++d)
        QTest::addRow("s%c", d) << int(BothWays) << "s" + QByteArray(1, d) << QByteArray("cc")
                                << HexBytes("03") + char((d - '0') << 4);
    CodecRow("page symbols", BothWays, "\x10\x1F\x10\x1F", "0123", "80 9F A0 BF");
    CodecRow("Io, numero, Cyrillic plain", BothWays, "\xA8\xB8\xB9\xC0\xFF", ".....",
             "A8 B8 B9 C0 FF");
    CodecRow("empty", BothWays, "", "", "");

    CodecRow("black guillemet", Encodes, "\xAB", ".", "AB");
    CodecRow("control letter at the end", Encodes, "Af", ".c", "41 66");
    CodecRow("control letter before black digit", Encodes, "f3", "c.", "66 33");
    CodecRow("control digit alone", Encodes, "3", "c", "33");
    CodecRow("capital control letter", Encodes, "F3", "cc", "46 33");
    CodecRow("two-digit parameter", Encodes, "f12", "ccc", "00 01 32");
    CodecRow("parameter not a digit", Encodes, "fx", "cc", "00 00");
    CodecRow("near but not the control colour", Encodes, "f3", "xx", "66 33");
    CodecRow("page colour on a letter is plain", Encodes, "f3", "0c", "66 33");
    CodecRow("page colour on the character of Ё is plain", Encodes, "\x18", "2", "18");
    CodecRow("stray NUL is not stored", Encodes, QByteArray("A\0B", 3), "...", "41 42");

    CodecRow("03 00 is s0", Decodes, "s0", "cc", "03 00");
    CodecRow("stop reading of any code", Decodes, "f1", "cc", "00 10");
    CodecRow("guillemet is a page A0 symbol", Decodes, "\x1B", "2", "AB");
    CodecRow("0D skipped", Decodes, "AB", "..", "41 0D 42");
    CodecRow("trailing font code", Decodes, "A", ".", "41 00");
    CodecRow("trailing v code", Decodes, "AB", "..", "41 42 03");
    CodecRow("parameter 0D is a parameter", Decodes, "i13A", "ccc.", "01 0D 41");
}

void TestMessageCodec::encodeAndDecode()
{
    QFETCH(int, way);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marks);
    QFETCH(QByteArray, stream);
    CTavrixEditorDoc& doc = m_f->doc;
    if (way & Encodes) {
        SetEditor(text, marks);
        doc.m_nLength = 7; // the encoder starts afresh
        QVERIFY(m_f->codec.EncodeText());
        QCOMPARE(Stream().toHex(' '), stream.toHex(' '));
        QCOMPARE(doc.m_nDropped, 0);
    }
    if (way & Decodes) {
        SetEditor("old", "...");
        Load(stream);
        doc.SetModifiedFlag(true);
        QVERIFY(m_f->codec.DecodeDocument());
        QCOMPARE(Text().toHex(' '), text.toHex(' '));
        QCOMPARE(Marks(), marks);
        QVERIFY(!m_f->edit.text.contains('\0'));
        QCOMPARE(m_f->edit.pending.color, 0u); // typing goes on in plain text
        QVERIFY(!doc.IsModified());
        QCOMPARE(m_f->edit.bulkDepth, 0);
        m_f->codec.CatchChar(SYM_CONTROL, 'f', 2);
        QVERIFY(doc.IsModified());
    }
}

void TestMessageCodec::roundTripOfGeneratedStreams()
{
    QRandomGenerator random(20240517);
    for (int n = 0; n < 500; ++n) {
        const QByteArray stream = RandomStream(random, random.bounded(1, 200));
        Load(stream);
        m_f->codec.DecodeDocument();
        m_f->codec.EncodeText();
        if (Stream() != stream)
            QFAIL(
                qPrintable("stream " + stream.toHex(' ') + " came back as " + Stream().toHex(' ')));
    }
}

void TestMessageCodec::catchChar_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marks");

    // The editor holds "ABCD" in black.
    CatchRow("font 3", SYM_CONTROL, 'f', 3, 1, 1, "Af3BCD", ".cc...");
    CatchRow("font 12", SYM_CONTROL, 'f', 12, 1, 1, "Af12BCD", ".ccc...");
    CatchRow("negative parameter", SYM_CONTROL, 'i', -1, 1, 1, "Ai-1BCD", ".ccc...");
    // Octal escapes, as a hex escape would swallow the B.
    CatchRow("page 80 symbol", SYM_PAGE_80, 0x85, 0x85, 1, 1, "A\025BCD", ".0...");
    CatchRow("page B0 symbol", SYM_PAGE_B0, 0xBF, 0, 1, 1, "A\037BCD", ".3...");
    CatchRow("plain", SYM_PLAIN, 0xC0, 0, 1, 1, "A\300BCD", ".....");
    CatchRow("plain NUL inserts nothing", SYM_PLAIN, 0x00, 0, 1, 1, "ABCD", "....");
    CatchRow("unknown type replaces the selection by nothing", 11, 'f', 3, 1, 3, "AD", "..");
    CatchRow("selection replaced by a control code", SYM_CONTROL, 'v', 2, 0, 1, "v2BCD", "cc...");
}

void TestMessageCodec::catchChar()
{
    QFETCH(uint, type);
    QFETCH(int, value);
    QFETCH(int, param);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QByteArray, text);
    SetEditor("ABCD", "....");
    m_f->edit.SetSel(selStart, selEnd);
    QVERIFY(m_f->codec.CatchChar(type, quint8(value), qint8(param)));
    QCOMPARE(m_f->edit.text, text);
    QTEST(Marks(), "marks");
    QCOMPARE(m_f->codec.m_nSelStart, selStart);
    QCOMPARE(m_f->doc.IsModified(), text != "ABCD");
    QCOMPARE(m_f->prompt.texts,
             type == 11 ? QStringList{QStringLiteral("Default in CatchChar")} : QStringList());
    if (text.size() > 4) {
        QCOMPARE(m_f->edit.pending.color, 0u);
        QCOMPARE(m_f->edit.pending.face, QStringLiteral("Verdana"));
    }
}

void TestMessageCodec::capacity_data()
{
    QTest::addColumn<int>("maxSym");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marks");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("dropped");

    QTest::newRow("3000 plain, MAXSYM 2048")
        << 2048 << QByteArray(3000, 'a') << QByteArray(3000, '.') << 2047 << 953;
    QTest::newRow("code fits exactly")
        << 2048 << QByteArray(2045, 'a') + "f3" << QByteArray(2045, '.') + "cc" << 2047 << 0;
    QTest::newRow("code never split")
        << 2048 << QByteArray(2046, 'a') + "f3" << QByteArray(2046, '.') + "cc" << 2046 << 2;
    QTest::newRow("nothing after a code that did not fit")
        << 8 << QByteArray("abcdeff3h") << QByteArray("......cc.") << 6 << 3;
    QTest::newRow("line break counts one byte")
        << 4 << QByteArray("a\nbc") << QByteArray("....") << 3 << 1;
}

void TestMessageCodec::capacity()
{
    QFETCH(int, maxSym);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marks);
    QFETCH(int, stored);
    CTavrixEditorDoc& doc = m_f->doc;
    m_f->program.settings->m_nMaxSym = maxSym;
    doc.UpdateCapacity();
    SetEditor(text, marks);
    m_f->codec.EncodeText();
    QCOMPARE(doc.m_nLength, stored);
    QTEST(doc.m_nDropped, "dropped");
    QVERIFY(doc.m_pData[doc.m_nLength - 1] > 0x03 ||
            (doc.m_nLength >= 2 && doc.m_pData[doc.m_nLength - 2] <= 0x03));
    if (stored == doc.m_nCapacity - 1)
        QVERIFY(!doc.AddByte(0x41));
}

void TestMessageCodec::fullArrayFromFileReencodesWithinCapacity()
{
    m_f->program.settings->m_nMaxSym = 16;
    m_f->doc.UpdateCapacity();
    Load(QByteArray(16, 'z'));
    m_f->codec.DecodeDocument();
    QCOMPARE(m_f->edit.text.size(), 16);
    m_f->codec.EncodeText();
    QCOMPARE(m_f->doc.m_nLength, 15);
    QCOMPARE(m_f->doc.m_nDropped, 1);
}

void TestMessageCodec::encodingFetchesTextOnce()
{
    QByteArray text, marks;
    for (int i = 0; i < 1000; ++i) {
        text += (i % 16 == 0) ? "f3" : "ab";
        marks += (i % 16 == 0) ? "cc" : "..";
    }
    SetEditor(text, marks);
    m_f->edit.getTextCalls = 0;
    m_f->edit.colorCalls = 0;
    m_f->codec.EncodeText();
    QCOMPARE(m_f->edit.getTextCalls, 1);
    QVERIFY(m_f->edit.colorCalls <= 2 * text.size());
}

void TestMessageCodec::isControlType_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("control");

    const int editor = CMessageCodec::FromEditor;
    const int stream = CMessageCodec::FromStream;
    QTest::newRow("editor control letter") << editor << 1 << true;
    QTest::newRow("editor control digit") << editor << 2 << false;
    QTest::newRow("editor outside") << editor << 4 << false;
    QTest::newRow("stream code") << stream << 1 << true;
    QTest::newRow("stream symbol") << stream << 3 << false;
    QTest::newRow("stream outside") << stream << 4 << false;
    QTest::newRow("stream negative") << stream << -1 << false;
}

void TestMessageCodec::isControlType()
{
    QFETCH(int, source);
    QFETCH(int, index);
    SetEditor("Af3\x15", ".cc0");
    Load(HexBytes("41 00 03 85"));
    QTEST(m_f->codec.IsControlType(CMessageCodec::Source(source), index), "control");
}

void TestMessageCodec::unknownTypeLeavesTypingPlain()
{
    SetEditor("AB", "..");
    m_f->edit.SetSel(1, 1);
    m_f->edit.SetSelectionCharFormat({QStringLiteral("Courier New"), 0xFA0000});
    QVERIFY(m_f->codec.CatchChar(12, 'f', 3));
    QCOMPARE(m_f->edit.pending.color, 0u);
    QCOMPARE(m_f->edit.pending.face, QStringLiteral("Verdana"));
}

QTEST_GUILESS_MAIN(TestMessageCodec)
#include "tst_messagecodec.moc"
