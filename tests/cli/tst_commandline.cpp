#include "clifixture.h"

#include <QRegularExpression>
#include <QTest>
#include <memory>

namespace
{

QString Utf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void helpAndVersion_data();
    void helpAndVersion();
    void usageFaults_data();
    void usageFaults();

    void convertWritesMarkup_data();
    void convertWritesMarkup();
    void convertReadsMarkup_data();
    void convertReadsMarkup();
    void convertRoundTripsEveryByte();
    void convertFaults_data();
    void convertFaults();

    void dumpShowsTheFrame();
    void dumpFaults_data();
    void dumpFaults();
    void dumpLeavesTheSettingsFileAlone();

    void portsListsOneALine();

private:
    std::unique_ptr<CliProgram> m_cli;
};

void TestCommandLine::init()
{
    m_cli = std::make_unique<CliProgram>();
    QVERIFY(m_cli->IsValid());
}

void TestCommandLine::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("start");
    const QString usage = QStringLiteral("Использование:\n");
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << usage;
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << usage;
    QTest::newRow("help after a command")
        << QStringList{QStringLiteral("convert"), QStringLiteral("--help")} << usage;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")}
                               << QStringLiteral("tavrix-editor 1.0\n");
    QTest::newRow("-v") << QStringList{QStringLiteral("-v")}
                        << QStringLiteral("tavrix-editor 1.0\n");
}

void TestCommandLine::helpAndVersion()
{
    QFETCH(QStringList, args);
    QFETCH(QString, start);
    const CliResult result = m_cli->Run(args);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(Utf8(result.out).startsWith(start), result.out.constData());
    QCOMPARE(Utf8(result.err), QString());
}

void TestCommandLine::usageFaults_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    auto row = [](const char* name, const QStringList& args, const QString& message) {
        QTest::newRow(name) << args << QStringLiteral("tavrix-editor: ") + message + u'\n';
    };
    row("unknown option", {"send", "--bogus", "a.tvd"},
        QStringLiteral("Неизвестный параметр «--bogus»."));
    row("unknown short option", {"dump", "-q", "a.tvd"},
        QStringLiteral("Неизвестный параметр «-q»."));
    row("option without its value", {"send", "a.tvd", "--port"},
        QStringLiteral("После «--port» нужно значение."));
    row("file and text", {"send", "a.tvd", "--text", "A"},
        QStringLiteral("Укажите сообщение: файл или --text, одно из двух."));
    row("no message", {"dump"},
        QStringLiteral("Укажите сообщение: файл или --text, одно из двух."));
    row("two messages", {"send", "a.tvd", "b.tvd"}, QStringLiteral("Лишний аргумент «b.tvd»."));
    row("server word without its port", {"send", "--text", "A", "--port", "rfc2217://10.0.0.5"},
        QStringLiteral("«rfc2217://10.0.0.5» — не адрес сетевого порта. Адрес записывается как "
                       "tcp://СЕРВЕР:ПОРТ или rfc2217://СЕРВЕР:ПОРТ."));
    row("baud rate not in the list", {"send", "--text", "A", "--baud", "1000"},
        QStringLiteral("Скорость «1000» не поддерживается; возможны: 110, 300, 600, 1200, 2400, "
                       "4800, 9600, 14400, 19200, 38400, 56000."));
    row("baud rate not a number", {"send", "--text", "A", "--baud", "fast"},
        QStringLiteral("Скорость «fast» не поддерживается; возможны: 110, 300, 600, 1200, 2400, "
                       "4800, 9600, 14400, 19200, 38400, 56000."));
    row("empty port name", {"send", "--text", "A", "--port", "", "--baud", "9600"},
        QStringLiteral("Пустое имя порта в --port."));
    row("convert with one file", {"convert", "a.tvd"},
        QStringLiteral("Команде convert нужны два файла: откуда и куда."));
    row("convert between two streams", {"convert", "a.tvd", "b.bin"},
        QStringLiteral("Команде convert нужны файл .tvd и файл .txt: первый читается, второй "
                       "пишется."));
    row("ports with an argument", {"ports", "x"}, QStringLiteral("Лишний аргумент «x»."));
    row("text twice", {"send", "--text", "A", "--text", "B"},
        QStringLiteral("Параметр «--text» можно указать только один раз."));
    row("port twice", {"send", "a.tvd", "--port", "ttyS0", "--baud", "9600", "--port", "ttyS1"},
        QStringLiteral("Параметр «--port» можно указать только один раз."));
    row("dump text twice", {"dump", "--text", "A", "--text", "A"},
        QStringLiteral("Параметр «--text» можно указать только один раз."));
#ifndef _WIN32
    // The program runs here without a display server (Windows always has its desktop).
    row("unknown command word", {"schedule"},
        QStringLiteral("Неизвестная команда «schedule». Справка: tavrix-editor --help."));
    const QString noDisplay = QStringLiteral("Редактору нужен графический сеанс, а DISPLAY и "
                                             "WAYLAND_DISPLAY не заданы. Команды без окна: "
                                             "tavrix-editor --help.");
    row("the editor", {}, noDisplay);
    row("the editor with a file", {"a.tvd"}, noDisplay);
#endif
}

void TestCommandLine::usageFaults()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const CliResult result = m_cli->Run(args);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(Utf8(result.err), message);
    QCOMPARE(result.out, QByteArray());
}

void TestCommandLine::convertWritesMarkup_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("markup");
    QTest::newRow("empty message") << QByteArray() << QString();
    QTest::newRow("price") << HexBytes("D6 E5 ED E0 20 00 03 31 32 2C 35 30 03 50")
                           << QStringLiteral("Цена {f3}12,50{s5}\n");
    QTest::newRow("two lines and a symbol")
        << HexBytes("B9 31 0A 80 7B 5C") << QStringLiteral("№1\n{x80}{{\\\\\n");
    QTest::newRow("ends with a line break") << HexBytes("41 0A") << QStringLiteral("A\n\n");
}

void TestCommandLine::convertWritesMarkup()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, markup);
    const QString in = m_cli->WriteFile(QStringLiteral("m.tvd"), stream);
    const CliResult result = m_cli->Run({QStringLiteral("convert"), in, QStringLiteral("m.txt")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out + result.err, QByteArray());
    QCOMPARE(Utf8(FileBytes(m_cli->Path(QStringLiteral("m.txt")))), markup);
}

void TestCommandLine::convertReadsMarkup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("one line end at the end is not the message")
        << QByteArray("AB\n") << HexBytes("41 42");
    QTest::newRow("CR LF line ends") << QByteArray("A\r\nB\r\n") << HexBytes("41 0A 42");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{f1}A") << HexBytes("00 01 41");
    QTest::newRow("second line end is a line break") << QByteArray("A\n\n") << HexBytes("41 0A");
    QTest::newRow("escaped line break") << QByteArray("A\\nB") << HexBytes("41 0A 42");
    QTest::newRow("empty file") << QByteArray() << QByteArray();
}

void TestCommandLine::convertReadsMarkup()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, stream);
    const QString in = m_cli->WriteFile(QStringLiteral("m.TXT"), file);
    const CliResult result = m_cli->Run({QStringLiteral("convert"), in, QStringLiteral("m.tvd")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out + result.err, QByteArray());
    QCOMPARE(FileBytes(m_cli->Path(QStringLiteral("m.tvd"))), stream);
}

// Every byte value, every code with every parameter, through the files and back; but 0x0D, which
// the display cannot read in a message.
void TestCommandLine::convertRoundTripsEveryByte()
{
    QByteArray stream;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != 0x0D)
            stream += char(byte);
    }
    for (int code = 0; code < 4; ++code) {
        for (int param = 0; param < 256; ++param) {
            if (param != 0x0D)
                stream += QByteArray{char(code), char(param)};
        }
    }
    m_cli->WriteFile(QStringLiteral("all.tvd"), stream);
    QCOMPARE(m_cli->Run({"convert", "all.tvd", "all.txt"}).exitCode, 0);
    QCOMPARE(m_cli->Run({"convert", "all.txt", "back.tvd"}).exitCode, 0);
    QCOMPARE(FileBytes(m_cli->Path(QStringLiteral("back.tvd"))), stream);
    QCOMPARE(m_cli->Run({"convert", "back.tvd", "again.txt"}).exitCode, 0);
    QCOMPARE(FileBytes(m_cli->Path(QStringLiteral("again.txt"))),
             FileBytes(m_cli->Path(QStringLiteral("all.txt"))));
}

void TestCommandLine::convertFaults_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing input")
        << "none.tvd" << QByteArray() << "out.txt"
        << QStringLiteral("Не удается открыть файл «none.tvd»: файла нет.");
    QTest::newRow("input is a folder")
        << "home" << QByteArray() << "out.txt"
        << QStringLiteral("Не удается открыть файл «home»: это папка, а не файл.");
    QTest::newRow("unknown code")
        << "in.txt" << QByteArray("Цена\n{f3}12{q}") << "out.tvd"
        << QStringLiteral("Файл «in.txt», строка 2, позиция 7: неизвестный код «{q}».");
    QTest::newRow("not UTF-8")
        << "in.txt" << QByteArray("ab\n\xD6\xE5") << "out.tvd"
        << QStringLiteral("Файл «in.txt», строка 2, позиция 1: текст не в кодировке UTF-8.");
    QTest::newRow("not UTF-8 after a replacement character of its own")
        << "in.txt"
        << QByteArray("\xEF\xBB\xBF"
                      "a\xEF\xBF\xBD\xEF\xBF\xBD\n"
                      "b\xEF\xBF\xBD"
                      "c\xC0")
        << "out.tvd"
        << QStringLiteral("Файл «in.txt», строка 2, позиция 4: текст не в кодировке UTF-8.");
    QTest::newRow("carriage return in a tvd file")
        << "in.tvd" << HexBytes("41 42 00 0D") << "out.txt"
        << QStringLiteral("Файл «in.tvd», смещение 3 (0x3): байт 0D табло примет за конец "
                          "кадра.");
    QTest::newRow("code without its parameter in markup")
        << "in.txt" << QByteArray("{f1}A\n{x03}\n") << "out.tvd"
        << QStringLiteral("Файл «in.txt», строка 2, позиция 1: у кода 03 нет параметра: "
                          "сообщение на нем кончается, и табло возьмет параметром конец кадра.");
    QTest::newRow("output folder missing")
        << "in.tvd" << QByteArray("A") << "no/such/out.txt"
        << QStringLiteral("Не удается записать файл «no/such/out.txt»: нет папки «no/such».");
}

void TestCommandLine::convertFaults()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, content);
    QFETCH(QString, output);
    QFETCH(QString, message);
    if (!content.isEmpty())
        m_cli->WriteFile(input, content);
    const CliResult result = m_cli->Run({QStringLiteral("convert"), input, output});
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(Utf8(result.err).startsWith(QStringLiteral("tavrix-editor: ") + message),
             result.err.constData());
    QVERIFY(!QFile::exists(m_cli->Path(output)));
}

void TestCommandLine::dumpShowsTheFrame()
{
    m_cli->WriteIni(IniFile().Bytes());
    const CliResult result =
        m_cli->Run({QStringLiteral("dump"), QStringLiteral("--text"),
                    QStringLiteral("{f1}Отправление 10:45\\nпуть {{2}{x80}{s5}")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(Utf8(result.err), QString());
    QCOMPARE(Utf8(result.out),
             QStringLiteral(
                 "0000  02 00 00 00 01 CE F2 EF F0 E0 E2 EB E5 ED E8 E5  {f1}Отправление\n"
                 "0010  20 31 30 3A 34 35 0A EF F3 F2 FC 20 7B 32 7D 80   10:45\\nпуть {{2}{x80}\n"
                 "0020  03 50 0D                                         {s5}\n"
                 "Кадр текста: 35 байт; сообщение: 31 байт из 2047 возможных.\n"));
}

void TestCommandLine::dumpFaults_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    IniFile small;
    small.maxSym = QStringLiteral("4");
    QTest::newRow("longer than the settings allow")
        << small.Bytes() << QByteArray("ABCD") << 3
        << QStringLiteral("0000  02 00 00 41 42 43 44 0D                          ABCD\n"
                          "Кадр текста: 8 байт; сообщение: 4 байт из 3 возможных.\n")
        << QStringLiteral("Сообщение не помещается в память устройства: в нем 4 байт, а "
                          "помещается 3.");
    QTest::newRow("empty message")
        << IniFile().Bytes() << QByteArray() << 3
        << QStringLiteral("0000  02 00 00 0D\n"
                          "Кадр текста: 4 байт; сообщение: 0 байт из 2047 возможных.\n")
        << QStringLiteral("Сообщение пусто: передавать нечего.");
    QTest::newRow("code without its parameter")
        << IniFile().Bytes() << QByteArray("AB\x02") << 3 << QString()
        << QStringLiteral("Файл «m.tvd», смещение 2 (0x2): у кода 02 нет параметра: сообщение "
                          "на нем кончается, и табло возьмет параметром конец кадра.");
    QTest::newRow("no settings file: the default capacity")
        << QByteArray() << QByteArray("A") << 0
        << QStringLiteral("0000  02 00 00 41 0D                                   A\n"
                          "Кадр текста: 5 байт; сообщение: 1 байт из 2047 возможных.\n")
        << QString();
}

void TestCommandLine::dumpFaults()
{
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, message);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    if (!ini.isEmpty())
        m_cli->WriteIni(ini);
    m_cli->WriteFile(QStringLiteral("m.tvd"), message);
    const CliResult result = m_cli->Run({QStringLiteral("dump"), QStringLiteral("m.tvd")});
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(Utf8(result.out), out);
    QCOMPARE(Utf8(result.err),
             err.isEmpty() ? err : QStringLiteral("tavrix-editor: ") + err + u'\n');
}

// Neither a good, a malformed nor a missing settings file is written, questioned or moved.
void TestCommandLine::dumpLeavesTheSettingsFileAlone()
{
    const QByteArray malformed = IniFile().Bytes().replace("ENDDEMOSTR", "END");
    for (const QByteArray& ini : {IniFile().Bytes(), malformed, QByteArray()}) {
        QFile::remove(m_cli->IniPath());
        if (!ini.isEmpty())
            m_cli->WriteIni(ini);
        QCOMPARE(m_cli->Run({"dump", "--text", "A"}).exitCode, 0);
        QCOMPARE(FileBytes(m_cli->IniPath()), ini.isEmpty() ? QByteArray("<missing>") : ini);
        QVERIFY(!QFile::exists(m_cli->IniPath() + QStringLiteral(".bak")));
    }
}

void TestCommandLine::portsListsOneALine()
{
    const CliResult result = m_cli->Run({QStringLiteral("ports")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    const QRegularExpression line(
        QStringLiteral("^[^\t\n]+\t[^\t\n]+\t([0-9a-f]{4}:[0-9a-f]{4}|-)$"));
    for (const QString& text : Utf8(result.out).split(u'\n', Qt::SkipEmptyParts))
        QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
