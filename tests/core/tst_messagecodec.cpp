#include "editor/messagecodec.h"
#include "editor/tavrixeditordoc.h"
#include "fakeeditcontrol.h"
#include "fakeprompt.h"
#include "settings/appsettings.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// One mark per character: '.' black, 'c' the control colour, '0'–'3' the symbol pages,
// 'x' a blue that is not a marking colour.
quint32 ColorOfMark(char mark)
{
    switch (mark) {
    case 'c':
        return CMessageCodec::kControlColor;
    case 'x':
        return 0xFE0000;
    case '0':
    case '1':
    case '2':
    case '3':
        return CMessageCodec::kPageColor[mark - '0'];
    default:
        return 0;
    }
}

char MarkOfColor(quint32 color)
{
    for (char mark : {'.', 'c', 'x', '0', '1', '2', '3'}) {
        if (ColorOfMark(mark) == color)
            return mark;
    }
    return '?';
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes += char(value);
    return bytes;
}

// Streams this program can write: whole items only, parameters as the toolbar and dialogs
// produce them.
QByteArray RandomStream(QRandomGenerator& random, int items)
{
    QByteArray stream;
    for (int i = 0; i < items; ++i) {
        const int kind = random.bounded(10);
        if (kind < 5) {
            int byte;
            do {
                byte = random.bounded(0x04, 0x100);
            } while (byte == 0x0A || byte == 0x0D || (byte >= 0x80 && byte <= 0xBF));
            stream += char(byte);
        } else if (kind < 7) {
            int byte;
            do {
                byte = random.bounded(0x80, 0xC0);
            } while (byte == 0xA8 || byte == 0xB8 || byte == 0xB9);
            stream += char(byte);
        } else if (kind < 9) {
            const int code = random.bounded(4);
            int param = random.bounded(10);
            if (code == 3 && random.bounded(2) == 0)
                param <<= 4; // full stop
            stream += char(code);
            stream += char(param);
        } else {
            stream += '\n';
        }
    }
    return stream;
}

} // namespace

class TestMessageCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void fullStopsReadBack();
    void roundTripOfGeneratedStreams();

    void catchChar_data();
    void catchChar();
    void catchCharUnknownTypeReplacesSelectionByNothing();
    void decodeLeavesDocumentUnmodified();

    void capacity_data();
    void capacity();
    void fullArrayFromFileReencodesWithinCapacity();
    void encodingFetchesTextOnce();
    void isControlType_data();
    void isControlType();

private:
    void SetEditor(const QByteArray& text, const QByteArray& marks);
    QByteArray Stream() const;
    QByteArray Marks() const;
    void Load(const QByteArray& stream);

    QTemporaryDir* m_dir = nullptr;
    FakePrompt* m_settingsPrompt = nullptr;
    AppSettings* m_settings = nullptr;
    FakePrompt* m_prompt = nullptr;
    CTavrixEditorDoc* m_doc = nullptr;
    FakeEditControl* m_edit = nullptr;
    CMessageCodec* m_codec = nullptr;
};

void TestMessageCodec::init()
{
    m_dir = new QTemporaryDir;
    m_settingsPrompt = new FakePrompt;
    m_settings = new AppSettings(*m_settingsPrompt, m_dir->path());
    m_settings->m_nMaxSym = 2048;
    m_prompt = new FakePrompt;
    m_doc = new CTavrixEditorDoc(*m_settings, *m_prompt);
    m_edit = new FakeEditControl;
    m_codec = new CMessageCodec(*m_edit, *m_prompt);
    m_codec->SetDocument(m_doc);
}

void TestMessageCodec::cleanup()
{
    delete m_codec;
    delete m_edit;
    delete m_doc;
    delete m_prompt;
    delete m_settings;
    delete m_settingsPrompt;
    delete m_dir;
}

void TestMessageCodec::SetEditor(const QByteArray& text, const QByteArray& marks)
{
    QCOMPARE(text.size(), marks.size());
    m_edit->SetText(QByteArray());
    for (qsizetype i = 0; i < text.size(); ++i)
        m_edit->Append(text.mid(i, 1), ColorOfMark(marks[i]));
}

QByteArray TestMessageCodec::Stream() const
{
    return QByteArray(reinterpret_cast<const char*>(m_doc->m_pData.get()), m_doc->m_nLength);
}

QByteArray TestMessageCodec::Marks() const
{
    QByteArray marks;
    for (quint32 color : m_edit->colors)
        marks += MarkOfColor(color);
    return marks;
}

void TestMessageCodec::Load(const QByteArray& stream)
{
    QVERIFY(stream.size() <= m_doc->m_nCapacity);
    std::copy(stream.cbegin(), stream.cend(), m_doc->m_pData.get());
    m_doc->m_nLength = int(stream.size());
}

void TestMessageCodec::encode_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marks");
    QTest::addColumn<QByteArray>("stream");

    QTest::newRow("two plain lines")
        << QByteArray("Ab\nc") << QByteArray("....") << Bytes({0x41, 0x62, 0x0A, 0x63});
    QTest::newRow("AB f3 C") << QByteArray("ABf3C") << QByteArray("..cc.")
                             << Bytes({0x41, 0x42, 0x00, 0x03, 0x43});
    QTest::newRow("i7") << QByteArray("i7") << QByteArray("cc") << Bytes({0x01, 0x07});
    QTest::newRow("v2") << QByteArray("v2") << QByteArray("cc") << Bytes({0x03, 0x02});
    QTest::newRow("e4") << QByteArray("e4") << QByteArray("cc") << Bytes({0x02, 0x04});
    QTest::newRow("s5") << QByteArray("s5") << QByteArray("cc") << Bytes({0x03, 0x50});
    QTest::newRow("s9") << QByteArray("s9") << QByteArray("cc") << Bytes({0x03, 0x90});
    QTest::newRow("page symbols") << Bytes({0x10, 0x1F, 0x10, 0x1F}) << QByteArray("0123")
                                  << Bytes({0x80, 0x9F, 0xA0, 0xBF});
    QTest::newRow("black guillemet") << Bytes({0xAB}) << QByteArray(".") << Bytes({0xAB});
    QTest::newRow("Io, numero, Cyrillic")
        << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF}) << QByteArray(".....")
        << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF});
    QTest::newRow("control letter at the end")
        << QByteArray("Af") << QByteArray(".c") << Bytes({0x41, 0x66});
    QTest::newRow("control letter before black digit")
        << QByteArray("f3") << QByteArray("c.") << Bytes({0x66, 0x33});
    QTest::newRow("control digit alone") << QByteArray("3") << QByteArray("c") << Bytes({0x33});
    QTest::newRow("capital control letter")
        << QByteArray("F3") << QByteArray("cc") << Bytes({0x46, 0x33});
    QTest::newRow("two-digit parameter")
        << QByteArray("f12") << QByteArray("ccc") << Bytes({0x00, 0x01, 0x32});
    QTest::newRow("parameter not a digit")
        << QByteArray("fx") << QByteArray("cc") << Bytes({0x00, 0x00});
    QTest::newRow("near but not the control colour")
        << QByteArray("f3") << QByteArray("xx") << Bytes({0x66, 0x33});
    QTest::newRow("page colour on a control letter")
        << QByteArray("f3") << QByteArray("0c") << Bytes({0x66 + 0x70, 0x33});
    QTest::newRow("stray NUL is not stored")
        << Bytes({0x41, 0x00, 0x42}) << QByteArray("...") << Bytes({0x41, 0x42});
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
}

void TestMessageCodec::encode()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marks);
    QFETCH(QByteArray, stream);
    SetEditor(text, marks);
    m_doc->m_nLength = 7; // the encoder starts afresh
    QVERIFY(m_codec->EncodeText());
    QCOMPARE(Stream().toHex(' '), stream.toHex(' '));
    QCOMPARE(m_doc->m_nDropped, 0);
}

void TestMessageCodec::decode_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marks");

    QTest::newRow("03 00 is s0") << Bytes({0x03, 0x00}) << QByteArray("s0") << QByteArray("cc");
    QTest::newRow("03 05 is v5") << Bytes({0x03, 0x05}) << QByteArray("v5") << QByteArray("cc");
    QTest::newRow("02 04 is e4") << Bytes({0x02, 0x04}) << QByteArray("e4") << QByteArray("cc");
    QTest::newRow("00 03 is f3") << Bytes({0x00, 0x03}) << QByteArray("f3") << QByteArray("cc");
    QTest::newRow("01 07 is i7") << Bytes({0x01, 0x07}) << QByteArray("i7") << QByteArray("cc");
    QTest::newRow("stop reading of any code")
        << Bytes({0x00, 0x10}) << QByteArray("f1") << QByteArray("cc");
    QTest::newRow("page symbols") << Bytes({0x80, 0x9F, 0xA0, 0xBF})
                                  << Bytes({0x10, 0x1F, 0x10, 0x1F}) << QByteArray("0123");
    QTest::newRow("guillemet is a page A0 symbol")
        << Bytes({0xAB}) << Bytes({0x1B}) << QByteArray("2");
    QTest::newRow("Io, numero, Cyrillic plain")
        << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF}) << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF})
        << QByteArray(".....");
    QTest::newRow("0D skipped") << Bytes({0x41, 0x0D, 0x42}) << QByteArray("AB")
                                << QByteArray("..");
    QTest::newRow("0A line break")
        << Bytes({0x41, 0x0A, 0x42}) << QByteArray("A\r\nB") << QByteArray("....");
    QTest::newRow("trailing font code")
        << Bytes({0x41, 0x00}) << QByteArray("A") << QByteArray(".");
    QTest::newRow("trailing v code")
        << Bytes({0x41, 0x42, 0x03}) << QByteArray("AB") << QByteArray("..");
    QTest::newRow("parameter 0D is a parameter")
        << Bytes({0x01, 0x0D, 0x41}) << QByteArray("i13A") << QByteArray("ccc.");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
}

void TestMessageCodec::decode()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marks);
    SetEditor("old", "...");
    Load(stream);
    QVERIFY(m_codec->DecodeDocument());
    QCOMPARE(m_edit->text.toHex(' '), text.toHex(' '));
    QCOMPARE(Marks(), marks);
    QVERIFY(!m_edit->text.contains('\0'));
    QCOMPARE(m_edit->pending.color, 0u); // typing goes on in plain text
}

void TestMessageCodec::fullStopsReadBack()
{
    for (int d = 1; d <= 9; ++d) {
        Load(Bytes({0x03, d << 4}));
        m_codec->DecodeDocument();
        QCOMPARE(m_edit->text, QByteArray("s") + QByteArray::number(d));
        m_codec->EncodeText();
        QCOMPARE(Stream(), Bytes({0x03, d << 4}));
    }
}

void TestMessageCodec::roundTripOfGeneratedStreams()
{
    QRandomGenerator random(20240517);
    for (int n = 0; n < 500; ++n) {
        const QByteArray stream = RandomStream(random, random.bounded(1, 200));
        Load(stream);
        m_codec->DecodeDocument();
        m_codec->EncodeText();
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
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("marks");

    QTest::newRow("font 3") << 1u << int('f') << 3 << QByteArray("Af3B") << QByteArray(".cc.");
    QTest::newRow("font 12") << 1u << int('f') << 12 << QByteArray("Af12B") << QByteArray(".ccc.");
    QTest::newRow("negative parameter")
        << 1u << int('i') << -1 << QByteArray("Ai-1B") << QByteArray(".ccc.");
    QTest::newRow("page 80 symbol") << 2u << 0x85 << 0x85
                                    << QByteArray("A\x15"
                                                  "B")
                                    << QByteArray(".0.");
    QTest::newRow("page B0 symbol") << 5u << 0xBF << 0
                                    << QByteArray("A\x1F"
                                                  "B")
                                    << QByteArray(".3.");
    QTest::newRow("plain") << 0u << 0xC0 << 0
                           << QByteArray("A\xC0"
                                         "B")
                           << QByteArray("...");
    QTest::newRow("plain NUL inserts nothing")
        << 0u << 0x00 << 0 << QByteArray("AB") << QByteArray("..");
}

void TestMessageCodec::catchChar()
{
    QFETCH(uint, type);
    QFETCH(int, value);
    QFETCH(int, param);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, marks);
    SetEditor("AB", "..");
    m_edit->SetSel(1, 1);
    QVERIFY(m_codec->CatchChar(type, quint8(value), qint8(param)));
    QCOMPARE(m_edit->text, text);
    QCOMPARE(Marks().left(text.size()), marks.left(text.size()));
    QCOMPARE(m_codec->m_nSelStart, 1);
    const bool inserted = text != "AB";
    QCOMPARE(m_doc->IsModified(), inserted);
    if (inserted) {
        QCOMPARE(m_edit->pending.color, 0u);
        QCOMPARE(m_edit->pending.face, QStringLiteral("Verdana"));
    }
}

void TestMessageCodec::catchCharUnknownTypeReplacesSelectionByNothing()
{
    SetEditor("ABCD", "....");
    m_edit->SetSel(1, 3);
    QVERIFY(m_codec->CatchChar(11, 'f', 3));
    QCOMPARE(m_prompt->texts, QStringList{QStringLiteral("Default in CatchChar")});
    QCOMPARE(m_edit->text, QByteArray("AD"));

    m_prompt->texts.clear();
    m_edit->SetSel(0, 1);
    m_codec->CatchChar(1, 'v', 2);
    QCOMPARE(m_edit->text, QByteArray("v2D"));
    QCOMPARE(Marks(), QByteArray("cc."));
    QVERIFY(m_prompt->texts.isEmpty());
}

void TestMessageCodec::decodeLeavesDocumentUnmodified()
{
    Load(Bytes({0x41, 0x00, 0x03, 0x85}));
    m_doc->SetModifiedFlag(true);
    m_codec->DecodeDocument();
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(m_edit->bulkDepth, 0);
    m_codec->CatchChar(1, 'f', 2);
    QVERIFY(m_doc->IsModified());
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
    QFETCH(int, dropped);
    m_settings->m_nMaxSym = maxSym;
    m_doc->UpdateCapacity();
    SetEditor(text, marks);
    m_codec->EncodeText();
    QCOMPARE(m_doc->m_nLength, stored);
    QCOMPARE(m_doc->m_nDropped, dropped);
    QVERIFY(m_doc->m_pData[m_doc->m_nLength - 1] > 0x03 ||
            (m_doc->m_nLength >= 2 && m_doc->m_pData[m_doc->m_nLength - 2] <= 0x03));
    if (stored == m_doc->m_nCapacity - 1)
        QVERIFY(!m_doc->AddByte(0x41));
}

void TestMessageCodec::fullArrayFromFileReencodesWithinCapacity()
{
    m_settings->m_nMaxSym = 16;
    m_doc->UpdateCapacity();
    Load(QByteArray(16, 'z'));
    m_codec->DecodeDocument();
    QCOMPARE(m_edit->text.size(), 16);
    m_codec->EncodeText();
    QCOMPARE(m_doc->m_nLength, 15);
    QCOMPARE(m_doc->m_nDropped, 1);
}

void TestMessageCodec::encodingFetchesTextOnce()
{
    QByteArray text, marks;
    for (int i = 0; i < 1000; ++i) {
        text += (i % 16 == 0) ? "f3" : "ab";
        marks += (i % 16 == 0) ? "cc" : "..";
    }
    SetEditor(text, marks);
    m_edit->getTextCalls = 0;
    m_edit->colorCalls = 0;
    m_codec->EncodeText();
    QCOMPARE(m_edit->getTextCalls, 1);
    QVERIFY(m_edit->colorCalls <= 2 * text.size());
}

void TestMessageCodec::isControlType_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("control");

    QTest::newRow("editor control letter") << int(CMessageCodec::FromEditor) << 1 << true;
    QTest::newRow("editor control digit") << int(CMessageCodec::FromEditor) << 2 << false;
    QTest::newRow("editor outside") << int(CMessageCodec::FromEditor) << 4 << false;
    QTest::newRow("stream code") << int(CMessageCodec::FromStream) << 1 << true;
    QTest::newRow("stream symbol") << int(CMessageCodec::FromStream) << 3 << false;
    QTest::newRow("stream outside") << int(CMessageCodec::FromStream) << 4 << false;
    QTest::newRow("stream negative") << int(CMessageCodec::FromStream) << -1 << false;
}

void TestMessageCodec::isControlType()
{
    QFETCH(int, source);
    QFETCH(int, index);
    QFETCH(bool, control);
    SetEditor("Af3\x15", ".cc0");
    Load(Bytes({0x41, 0x00, 0x03, 0x85}));
    QCOMPARE(m_codec->IsControlType(CMessageCodec::Source(source), index), control);
}

QTEST_GUILESS_MAIN(TestMessageCodec)
#include "tst_messagecodec.moc"
