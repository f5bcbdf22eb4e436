#include "editor/messagecodec.h"
#include "editor/messagemarkup.h"
#include "editor/streamcheck.h"
#include "editor/tavrixeditordoc.h"
#include "fakeeditcontrol.h"
#include "tempprogram.h"
#include "testbytes.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace
{

QString Markup(QByteArrayView stream)
{
    return MessageMarkup::ToMarkup(stream);
}

// The stream of a markup, or a text saying why there is none.
QByteArray StreamOf(const QString& markup)
{
    QByteArray stream;
    MessageMarkup::Error error;
    if (!MessageMarkup::FromMarkup(markup, stream, error))
        return "<error> " + MessageMarkup::Describe(error).toUtf8();
    return stream;
}

// What an operator can put into the editor, one symbol at a time, as CatchChar receives it: typed
// characters (braces and backslashes among them), line breaks, device symbols of the four pages
// and every control code the toolbar lists and the effects dialog insert.
void InsertRandomSymbol(CMessageCodec& codec, QRandomGenerator& random)
{
    switch (random.bounded(6)) {
    case 0:
    case 1: {
        int byte;
        do
            byte = random.bounded(0x04, 0x100);
        while (byte == 0x0D);
        codec.CatchChar(SYM_PLAIN, quint8(byte), 0);
        break;
    }
    case 2:
        codec.CatchChar(SYM_PLAIN, quint8(random.bounded(2) ? '{' : '\\'), 0);
        break;
    case 3:
        codec.CatchChar(quint32(random.bounded(SYM_PAGE_80, SYM_PAGE_B0 + 1)),
                        quint8(random.bounded(0x80, 0xC0)), 0);
        break;
    default: {
        static const struct {
            char letter;
            int low, high;
        } kCodes[] = {{'f', 0, 9}, {'i', 0, 9}, {'v', 1, 5}, {'s', 1, 9}, {'e', 0, 4}};
        const auto& code = kCodes[random.bounded(5)];
        codec.CatchChar(SYM_CONTROL, quint8(code.letter),
                        qint8(random.bounded(code.low, code.high + 1)));
        break;
    }
    }
}

} // namespace

class TestMessageMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void streamToMarkup_data();
    void streamToMarkup();
    void markupToStream_data();
    void markupToStream();
    void faults_data();
    void faults();
    void streamsTheDisplayCannotRead_data();
    void streamsTheDisplayCannotRead();
    void everyShortStreamRoundTrips();
    void everyEditorStreamRoundTrips();
    void markupRoundTrips_data();
    void markupRoundTrips();
    void itemsKeepTheirOffsets();
};

void TestMessageMarkup::streamToMarkup_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("markup");
    auto row = [](const char* name, const char* hex, const QString& markup) {
        QTest::newRow(name) << HexBytes(hex) << markup;
    };
    row("empty", "", QString());
    row("latin", "41 62", QStringLiteral("Ab"));
    row("cyrillic", "D6 E5 ED E0", QStringLiteral("Цена"));
    row("io and numero are characters", "A8 B8 B9", QStringLiteral("Ёё№"));
    row("line break", "41 0A 42", QStringLiteral("A\nB"));
    row("font 0", "00 00", QStringLiteral("{f0}"));
    row("font 9", "00 09", QStringLiteral("{f9}"));
    row("i 0", "01 00", QStringLiteral("{i0}"));
    row("i 9", "01 09", QStringLiteral("{i9}"));
    row("v 1", "03 01", QStringLiteral("{v1}"));
    row("v 9", "03 09", QStringLiteral("{v9}"));
    row("full stop 1", "03 10", QStringLiteral("{s1}"));
    row("full stop 9", "03 90", QStringLiteral("{s9}"));
    row("effect 0", "02 00", QStringLiteral("{e0}"));
    row("effect 4", "02 04", QStringLiteral("{e4}"));
    row("symbol page 80", "80 8F", QStringLiteral("{x80}{x8F}"));
    row("symbol page 90", "90 9F", QStringLiteral("{x90}{x9F}"));
    row("symbol page A0", "A0 A7 A9 AF", QStringLiteral("{xA0}{xA7}{xA9}{xAF}"));
    row("symbol page B0", "B0 B7 BA BF", QStringLiteral("{xB0}{xB7}{xBA}{xBF}"));
    row("guillemet is a device symbol", "AB", QStringLiteral("{xAB}"));
    row("em dash is a device symbol", "97", QStringLiteral("{x97}"));
    row("opening brace", "7B", QStringLiteral("{{"));
    row("closing brace", "7D", QStringLiteral("}"));
    row("backslash", "5C 6E", QStringLiteral("\\\\n"));
    row("carriage return", "0D", QStringLiteral("{x0D}"));
    row("tab", "09", QStringLiteral("{x09}"));
    row("byte without a character", "98", QStringLiteral("{x98}"));
    row("delete", "7F", QStringLiteral("{x7F}"));
    row("v 0 would read back as a full stop", "03 00", QStringLiteral("{x03}{x00}"));
    row("effect 5", "02 05", QStringLiteral("{x02}{x05}"));
    row("i 10", "01 0A", QStringLiteral("{x01}{x0A}"));
    row("font parameter 0x10", "00 10", QStringLiteral("{x00}{x10}"));
    row("full stop 10", "03 A0", QStringLiteral("{x03}{xA0}"));
    row("code as a parameter", "00 00 00 01", QStringLiteral("{f0}{f1}"));
    row("code cut from its parameter", "41 00", QStringLiteral("A{x00}"));
    row("price", "D6 E5 ED E0 20 00 03 31 32 2C 35 30 03 50", QStringLiteral("Цена {f3}12,50{s5}"));
}

void TestMessageMarkup::streamToMarkup()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, markup);
    QCOMPARE(Markup(stream), markup);
    QCOMPARE(StreamOf(markup), stream);
}

void TestMessageMarkup::markupToStream_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QByteArray>("stream");
    auto row = [](const char* name, const QString& markup, const char* hex) {
        QTest::newRow(name) << markup << HexBytes(hex);
    };
    row("escaped line break", QStringLiteral("A\\nB"), "41 0A 42");
    row("CR LF line break", QStringLiteral("A\r\nB"), "41 0A 42");
    row("lone backslash", QStringLiteral("C:\\Temp"), "43 3A 5C 54 65 6D 70");
    row("backslash at the end", QStringLiteral("A\\"), "41 5C");
    row("small hex digits", QStringLiteral("{xab}{x0a}"), "AB 0A");
    row("any byte by hex", QStringLiteral("{x00}{x41}"), "00 41");
    row("closing brace alone", QStringLiteral("a}b"), "61 7D 62");
    row("brace then code", QStringLiteral("{{{f1}"), "7B 00 01");
    row("question mark", QStringLiteral("?"), "3F");
    row("numero sign", QStringLiteral("№5"), "B9 35");
}

void TestMessageMarkup::markupToStream()
{
    QFETCH(QString, markup);
    QFETCH(QByteArray, stream);
    QCOMPARE(StreamOf(markup), stream);
}

void TestMessageMarkup::faults_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("message");
    auto row = [](const char* name, const QString& markup, const QString& message) {
        QTest::newRow(name) << markup << message;
    };
    row("unknown letter", QStringLiteral("ab{q3}"),
        QStringLiteral("строка 1, позиция 3: неизвестный код «{q3}»"));
    row("empty braces", QStringLiteral("{}"),
        QStringLiteral("строка 1, позиция 1: неизвестный код «{}»"));
    row("capital letter", QStringLiteral("{F3}"),
        QStringLiteral("строка 1, позиция 1: неизвестный код «{F3}»"));
    row("effect 5", QStringLiteral("x{e5}"),
        QStringLiteral("строка 1, позиция 2: в коде «{e5}» допустима цифра от 0 до 4"));
    row("v 0", QStringLiteral("{v0}"),
        QStringLiteral("строка 1, позиция 1: в коде «{v0}» допустима цифра от 1 до 9"));
    row("full stop 0", QStringLiteral("{s0}"),
        QStringLiteral("строка 1, позиция 1: в коде «{s0}» допустима цифра от 1 до 9"));
    row("two digits", QStringLiteral("{f12}"),
        QStringLiteral("строка 1, позиция 1: в коде «{f12}» после буквы нужна одна цифра"));
    row("no digit", QStringLiteral("{i}"),
        QStringLiteral("строка 1, позиция 1: в коде «{i}» после буквы нужна одна цифра"));
    row("letter for a digit", QStringLiteral("{fa}"),
        QStringLiteral("строка 1, позиция 1: в коде «{fa}» после буквы нужна одна цифра"));
    row("hex not hex", QStringLiteral("{xG1}"),
        QStringLiteral("строка 1, позиция 1: в коде «{xG1}» после x нужны две "
                       "шестнадцатеричные цифры"));
    row("one hex digit", QStringLiteral("{x1}"),
        QStringLiteral("строка 1, позиция 1: в коде «{x1}» после x нужны две "
                       "шестнадцатеричные цифры"));
    row("unclosed at the end", QStringLiteral("ab{f3"),
        QStringLiteral("строка 1, позиция 3: фигурная скобка не закрыта (сама скобка пишется "
                       "как «{{»)"));
    row("unclosed before a blank", QStringLiteral("{f3 }"),
        QStringLiteral("строка 1, позиция 1: фигурная скобка не закрыта (сама скобка пишется "
                       "как «{{»)"));
    row("lone brace", QStringLiteral("a { b"),
        QStringLiteral("строка 1, позиция 3: фигурная скобка не закрыта (сама скобка пишется "
                       "как «{{»)"));
    row("fault on the second line", QStringLiteral("первая\\nвто{q}\nрая{q}"),
        QStringLiteral("строка 1, позиция 12: неизвестный код «{q}»"));
    row("fault after a real line break", QStringLiteral("первая\nвто{q}"),
        QStringLiteral("строка 2, позиция 4: неизвестный код «{q}»"));
    // The sign is escaped: the formatter miscounts its width.
    row("rouble sign", QStringLiteral("цена 5 \u20BD"),
        QStringLiteral("строка 1, позиция 8: символа «\u20BD» (U+20BD) нет в кодировке "
                       "Windows-1251: табло его не покажет"));
    row("character beyond 16 bits", QStringLiteral("a😀b"),
        QStringLiteral("строка 1, позиция 2: символа «😀» (U+1F600) нет в кодировке "
                       "Windows-1251: табло его не покажет"));
    row("em dash", QStringLiteral("a — b"),
        QStringLiteral("строка 1, позиция 3: символ «—» (U+2014) табло покажет как символ "
                       "устройства {x97}; если он и нужен, напишите {x97}"));
    row("guillemet", QStringLiteral("«a"),
        QStringLiteral("строка 1, позиция 1: символ ««» (U+00AB) табло покажет как символ "
                       "устройства {xAB}; если он и нужен, напишите {xAB}"));
    row("tab", QStringLiteral("a\tb"),
        QStringLiteral("строка 1, позиция 2: управляющий символ U+0009 табло не покажет; если "
                       "байт и нужен, напишите {x09}"));
    row("lone carriage return", QStringLiteral("a\rb"),
        QStringLiteral("строка 1, позиция 2: управляющий символ U+000D табло не покажет; если "
                       "байт и нужен, напишите {x0D}"));
    row("NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
        QStringLiteral("строка 1, позиция 2: управляющий символ U+0000 табло не покажет; если "
                       "байт и нужен, напишите {x00}"));
}

void TestMessageMarkup::faults()
{
    QFETCH(QString, markup);
    QFETCH(QString, message);
    QByteArray stream;
    MessageMarkup::Error error;
    QVERIFY(!MessageMarkup::FromMarkup(markup, stream, error));
    QCOMPARE(MessageMarkup::Describe(error), message);
}

// Each row's markup, read as it stands, writes a stream; offset is where the display cannot read
// it (-1: it can), and message is what reading it for the display says.
void TestMessageMarkup::streamsTheDisplayCannotRead_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("message");
    const QString frameEnd = QStringLiteral("байт 0D табло примет за конец кадра");
    auto lastCode = [](const char* hex) {
        return QStringLiteral("у кода %1 нет параметра: сообщение на нем кончается, и табло "
                              "возьмет параметром конец кадра")
            .arg(QLatin1String(hex));
    };
    auto row = [](const char* name, const QString& markup, int offset, const QString& message) {
        QTest::newRow(name) << markup << offset << message;
    };
    row("carriage return", QStringLiteral("ab{x0D}cd"), 2,
        QStringLiteral("строка 1, позиция 3: ") + frameEnd);
    row("carriage return as a parameter", QStringLiteral("{x00}{x0D}"), 1,
        QStringLiteral("строка 1, позиция 6: ") + frameEnd);
    row("carriage return on the second line", QStringLiteral("Ц\n{x80}{x0d}"), 3,
        QStringLiteral("строка 2, позиция 6: ") + frameEnd);
    row("font code at the end", QStringLiteral("A{x00}"), 1,
        QStringLiteral("строка 1, позиция 2: ") + lastCode("00"));
    row("i code at the end", QStringLiteral("{x01}"), 0,
        QStringLiteral("строка 1, позиция 1: ") + lastCode("01"));
    row("effect code at the end", QStringLiteral("{e1}{x02}"), 2,
        QStringLiteral("строка 1, позиция 5: ") + lastCode("02"));
    row("v code at the end after a code", QStringLiteral("{x00}{x03}{x03}"), 2,
        QStringLiteral("строка 1, позиция 11: ") + lastCode("03"));
    row("code as the last parameter", QStringLiteral("{x00}{x03}"), -1, QString());
    row("line break as a parameter", QStringLiteral("{x02}\\n"), -1, QString());
    row("codes of the editor", QStringLiteral("{f1}A{i0}{v9}{e4}{s9}"), -1, QString());
    row("symbols and other raw bytes", QStringLiteral("{x80}{xBF}{x7F}{x0C}{x0E}"), -1, QString());
    row("empty", QString(), -1, QString());
}

void TestMessageMarkup::streamsTheDisplayCannotRead()
{
    QFETCH(QString, markup);
    QFETCH(int, offset);
    QFETCH(QString, message);
    const QByteArray stream = StreamOf(markup);
    const std::optional<StreamCheck::Fault> fault = StreamCheck::FirstFault(stream);
    QCOMPARE(fault ? int(fault->offset) : -1, offset);
    QByteArray readable;
    MessageMarkup::Error error;
    const bool read = MessageMarkup::FromReadableMarkup(markup, readable, error);
    QCOMPARE(read ? QString() : MessageMarkup::Describe(error), message);
    if (read)
        QCOMPARE(readable, stream);
}

// Every stream of one or two bytes, whatever it holds, comes back byte for byte.
void TestMessageMarkup::everyShortStreamRoundTrips()
{
    for (int first = 0; first < 256; ++first) {
        for (int second = -1; second < 256; ++second) {
            QByteArray stream(1, char(first));
            if (second >= 0)
                stream += char(second);
            const QString markup = Markup(stream);
            const QByteArray back = StreamOf(markup);
            if (back != stream)
                QFAIL(qPrintable(stream.toHex(' ') + " -> " + markup + " -> " + back.toHex(' ')));
        }
    }
}

void TestMessageMarkup::everyEditorStreamRoundTrips()
{
    TempProgram program;
    FakePrompt prompt;
    CTavrixEditorDoc doc(*program.settings, prompt);
    FakeEditControl edit;
    CMessageCodec codec(edit, prompt);
    codec.SetDocument(&doc);
    QRandomGenerator random(1401);
    for (int n = 0; n < 300; ++n) {
        edit.SetText(QByteArray());
        const int symbols = random.bounded(1, 120);
        for (int i = 0; i < symbols; ++i)
            InsertRandomSymbol(codec, random);
        codec.EncodeText();
        const QByteArray stream(reinterpret_cast<const char*>(doc.m_pData.get()), doc.m_nLength);
        const QString markup = Markup(stream);
        // Every code the editor writes has its own form; raw bytes are for symbols and strays.
        QVERIFY2(!markup.contains(QRegularExpression(QStringLiteral("\\{x0[0-3]\\}"))),
                 qPrintable(markup));
        QCOMPARE(StreamOf(markup), stream);
        QCOMPARE(Markup(StreamOf(markup)), markup);
        QVERIFY2(!StreamCheck::FirstFault(stream), qPrintable(markup));
    }
}

void TestMessageMarkup::markupRoundTrips_data()
{
    QTest::addColumn<QString>("markup");
    QTest::newRow("price") << QStringLiteral("{f3}Цена {i2}{v4}12,50{e1}{s5}");
    QTest::newRow("two lines") << QStringLiteral("Поезд № 12\nв 10:45 {{путь 2}");
    QTest::newRow("ends with a line break") << QStringLiteral("A\n\n");
    QTest::newRow("symbols and raw bytes") << QStringLiteral("{x80}{xBF}{x0D}{x03}{x00}\\\\");
}

void TestMessageMarkup::markupRoundTrips()
{
    QFETCH(QString, markup);
    QCOMPARE(Markup(StreamOf(markup)), markup);
}

void TestMessageMarkup::itemsKeepTheirOffsets()
{
    const QList<MessageMarkup::Item> items = MessageMarkup::Items(HexBytes("41 00 03 0A 80 03"));
    QCOMPARE(items.size(), 5);
    const qsizetype offsets[] = {0, 1, 3, 4, 5};
    const qsizetype lengths[] = {1, 2, 1, 1, 1};
    const QString texts[] = {QStringLiteral("A"), QStringLiteral("{f3}"), QStringLiteral("\n"),
                             QStringLiteral("{x80}"), QStringLiteral("{x03}")};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(items[i].offset, offsets[i]);
        QCOMPARE(items[i].length, lengths[i]);
        QCOMPARE(items[i].text, texts[i]);
    }
}

QTEST_GUILESS_MAIN(TestMessageMarkup)
#include "tst_messagemarkup.moc"
