#include "clifixture.h"
#include "device/serialport.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QTest>
#include <csignal>
#include <memory>

namespace
{

QString Utf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

// The name the settings file can hold for the pseudo-terminal ("pts/3").
QString ShortName(const PtyPair& pty)
{
    return pty.SlaveName().mid(QStringLiteral("/dev/").size());
}

const QByteArray kPriceStream = HexBytes("D6 E5 ED E0 20 00 03 31 32 2C 35 30 03 50");
const QByteArray kPriceFrame = HexBytes("02 00 00 D6 E5 ED E0 20 00 03 31 32 2C 35 30 03 50 0D");

} // namespace

class TestCliSend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void sendDelivers_data();
    void sendDelivers();
    void sendRefuses_data();
    void sendRefuses();
    void stalledLineFails();
    void interruptCancels_data();
    void interruptCancels();
    void progressOnATerminalOnly();

    void deviceSettingsDelivers();
    void deviceSettingsRefuses_data();
    void deviceSettingsRefuses();

private:
    std::unique_ptr<CliProgram> m_cli;
    std::unique_ptr<PtyPair> m_pty;
};

void TestCliSend::init()
{
    m_cli = std::make_unique<CliProgram>();
    m_pty = std::make_unique<PtyPair>();
    QVERIFY(m_cli->IsValid());
    QVERIFY(m_pty->IsValid());
}

// Each row: the settings file (empty: none), the message files and the arguments after "send";
// "PTY" and "pts" stand for the pseudo-terminal's full and short name.
void TestCliSend::sendDelivers_data()
{
    QTest::addColumn<QString>("com");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("tvd file through the port of the settings")
        << "pts 3 4 2 1"
        << "m.tvd" << kPriceStream << QStringList{"m.tvd"};
    QTest::newRow("markup file") << "pts 6 4 2 1"
                                 << "m.txt" << QByteArray("Цена {f3}12,50{s5}\n")
                                 << QStringList{"m.txt"};
    QTest::newRow("markup text") << "pts 3 4 2 1" << QString() << QByteArray()
                                 << QStringList{"--text", "Цена {f3}12,50{s5}"};
    QTest::newRow("no settings file: port and baud given")
        << QString() << "m.tvd" << kPriceStream
        << QStringList{"m.tvd", "--port", "PTY", "--baud", "9600"};
    QTest::newRow("port given over the one of the settings")
        << "COM4 3 4 2 1"
        << "m.tvd" << kPriceStream << QStringList{"--port", "PTY", "m.tvd"};
}

void TestCliSend::sendDelivers()
{
    QFETCH(QString, com);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, args);
    IniFile ini;
    ini.com = QString(com).replace(QStringLiteral("pts"), ShortName(*m_pty));
    if (!com.isEmpty())
        m_cli->WriteIni(ini.Bytes());
    if (!file.isEmpty())
        m_cli->WriteFile(file, content);
    args.replaceInStrings(QStringLiteral("PTY"), m_pty->SlaveName());
    args.prepend(QStringLiteral("send"));

    const CliResult result = m_cli->Run(args);
    QCOMPARE(Utf8(result.err), QString());
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(m_pty->ReadAll(), kPriceFrame);
    QCOMPARE(FileBytes(m_cli->IniPath()), com.isEmpty() ? QByteArray("<missing>") : ini.Bytes());
    // One journal line, for the port with no display name.
    const QString journal = Utf8(FileBytes(m_cli->JournalPath()));
    QCOMPARE(journal.count(u'\n'), 1);
    QVERIFY2(journal.contains(QStringLiteral("\t-\t")), qPrintable(journal));
    QVERIFY2(journal.contains(QStringLiteral("\tok\n")), qPrintable(journal));
}

void TestCliSend::sendRefuses_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    IniFile good;
    good.com = QStringLiteral("pts 3 4 2 1");
    IniFile small = good;
    small.maxSym = QStringLiteral("16");
    const QByteArray malformed = good.Bytes().replace("ENDCOM", "END");
    const QStringList portAndBaud = {"--port", "PTY", "--baud", "1200"};
    const QString noSettings =
        QStringLiteral("Не удается открыть или не был создан файл настроек программы. Файл: «");

    QTest::newRow("missing file") << good.Bytes() << QByteArray() << QStringList{"none.tvd"}
                                  << false << 3
                                  << QStringLiteral("Не удается открыть файл «none.tvd»: файла "
                                                    "нет.");
    QTest::newRow("empty file") << good.Bytes() << QByteArray("") << QStringList{"m.tvd"} << false
                                << 3 << QStringLiteral("Сообщение пусто: передавать нечего.");
    QTest::newRow("empty markup") << good.Bytes() << QByteArray() << QStringList{"--text", ""}
                                  << false << 3
                                  << QStringLiteral("Сообщение пусто: передавать нечего.");
    QTest::newRow("file larger than the capacity")
        << small.Bytes() << QByteArray(16, 'A') << QStringList{"m.tvd"} << false << 3
        << QStringLiteral("Сообщение не помещается в память устройства: в нем 16 байт, а "
                          "помещается 15.");
    QTest::newRow("markup fault")
        << good.Bytes() << QByteArray() << QStringList{"--text", "Эффект {e9}"} << false << 3
        << QStringLiteral("Разметка --text, строка 1, позиция 8: в коде «{e9}» допустима цифра "
                          "от 0 до 4.");
    QTest::newRow("no settings file and no port")
        << QByteArray() << QByteArray("A") << QStringList{"m.tvd"} << false << 3 << noSettings;
    QTest::newRow("no settings file and only a port")
        << QByteArray() << QByteArray("A") << QStringList{"m.tvd", "--port", "PTY"} << false << 3
        << noSettings;
    QTest::newRow("malformed settings file")
        << malformed << QByteArray("A") << QStringList{"m.tvd"} << false << 3
        << QStringLiteral("Неправильный формат файла настроек программы. Файл: «");
    const QString frameEnd = QStringLiteral("байт 0D табло примет за конец кадра.");
    QTest::newRow("carriage return in markup")
        << good.Bytes() << QByteArray() << QStringList{"--text", "ab{x0D}cd"} << false << 3
        << QStringLiteral("Разметка --text, строка 1, позиция 3: ") + frameEnd;
    QTest::newRow("code without its parameter in markup")
        << good.Bytes() << QByteArray() << QStringList{"--text", "Цена{x01}"} << false << 3
        << QStringLiteral("Разметка --text, строка 1, позиция 5: у кода 01 нет параметра: "
                          "сообщение на нем кончается, и табло возьмет параметром конец кадра.");
    QTest::newRow("carriage return in a tvd file")
        << good.Bytes() << QByteArray(20, 'A') + "\rB" << QStringList{"m.tvd"} << false << 3
        << QStringLiteral("Файл «m.tvd», смещение 20 (0x14): ") + frameEnd;
    QTest::newRow("unknown port")
        << good.Bytes() << QByteArray("A")
        << QStringList{"m.tvd", "--port", "/dev/tavrix-no-such-port"} << false << 4
        << QStringLiteral("Не удается открыть последовательный порт. Порт "
                          "«/dev/tavrix-no-such-port»: Не удается открыть порт. Устройства "
                          "/dev/tavrix-no-such-port нет в системе.");
    QTest::newRow("busy port") << QByteArray() << QByteArray("A")
                               << (QStringList{"m.tvd"} + portAndBaud) << true << 4
                               << QStringLiteral("Не удается открыть последовательный порт. Порт "
                                                 "«PTY»: Не удается открыть порт. Порт PTY занят "
                                                 "другой программой");
}

void TestCliSend::sendRefuses()
{
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, message);
    QFETCH(QStringList, args);
    QFETCH(bool, busy);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    ini.replace("pts", ShortName(*m_pty).toLatin1());
    if (!ini.isEmpty())
        m_cli->WriteIni(ini);
    if (!message.isNull())
        m_cli->WriteFile(QStringLiteral("m.tvd"), message);
    args.replaceInStrings(QStringLiteral("PTY"), m_pty->SlaveName());
    args.prepend(QStringLiteral("send"));
    CSerialPort holder;
    if (busy) {
        holder.SetConfig({m_pty->SlaveName(), 3, 4, 2, 1});
        QVERIFY(holder.Open());
    }

    const CliResult result = m_cli->Run(args);
    QCOMPARE(result.exitCode, exitCode);
    const QString expected = QStringLiteral("tavrix-editor: ") +
                             error.replace(QStringLiteral("PTY"), m_pty->SlaveName());
    QVERIFY2(Utf8(result.err).startsWith(expected), result.err.constData());
    QCOMPARE(result.err.count('\n'), 1);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(m_pty->ReadAll(200), QByteArray());
    QCOMPARE(FileBytes(m_cli->IniPath()), ini.isEmpty() ? QByteArray("<missing>") : ini);
}

// A display that stops taking bytes: they do not all leave within the time allowed.
void TestCliSend::stalledLineFails()
{
    m_pty->SuspendSlaveOutput();
    const CliResult result =
        m_cli->Run({"send", "--text", "Стоп", "--port", m_pty->SlaveName(), "--baud", "1200"});
    QCOMPARE(result.exitCode, 5);
    QCOMPARE(Utf8(result.err), QStringLiteral("tavrix-editor: Передача данных не удалась.\n"));
    QCOMPARE(result.out, QByteArray());
}

// The signals of each row reach the send together (it is stopped meanwhile); a second one ends
// it at once, before it can say anything. With Ctrl+C ignored from the start (a job a script put
// in the background), the one aimed at the foreground job leaves it running, and SIGTERM ends it.
void TestCliSend::interruptCancels_data()
{
    QTest::addColumn<bool>("ignoreInterrupt");
    QTest::addColumn<QList<int>>("signalsSent");
    QTest::addColumn<QList<int>>("exitCodes");
    QTest::addColumn<QString>("err");
    const QString interrupted = QStringLiteral("tavrix-editor: Передача прервана.\n");
    QTest::newRow("Ctrl+C") << false << QList<int>{SIGINT} << QList<int>{130} << interrupted;
    QTest::newRow("SIGTERM") << false << QList<int>{SIGTERM} << QList<int>{143} << interrupted;
    QTest::newRow("ssh session gone")
        << false << QList<int>{SIGHUP} << QList<int>{129} << interrupted;
    QTest::newRow("a second signal")
        << false << QList<int>{SIGINT, SIGTERM} << QList<int>{130, 143} << QString();
    QTest::newRow("Ctrl+C ignored from the start")
        << true << QList<int>{SIGINT} << QList<int>{143} << interrupted;
}

void TestCliSend::interruptCancels()
{
    QFETCH(bool, ignoreInterrupt);
    QFETCH(QList<int>, signalsSent);
    QFETCH(QList<int>, exitCodes);
    QFETCH(QString, err);
    m_pty->SuspendSlaveOutput();
    m_cli->WriteFile(QStringLiteral("long.tvd"), QByteArray(2000, 'A'));
    QProcess process;
    process.setWorkingDirectory(m_cli->Path(QString()));
    if (ignoreInterrupt)
        process.setChildProcessModifier([] { ::signal(SIGINT, SIG_IGN); });
    process.start(m_cli->Path(QStringLiteral("tavrix-editor")),
                  {"send", "long.tvd", "--port", m_pty->SlaveName(), "--baud", "1200"});
    QVERIFY(process.waitForStarted());
    QTest::qWait(700); // the transfer is under way and would take 40 s
    const pid_t pid = pid_t(process.processId());
    ::kill(pid, SIGSTOP);
    for (const int signal : signalsSent)
        ::kill(pid, signal);
    ::kill(pid, SIGCONT);
    if (ignoreInterrupt) {
        QVERIFY(!process.waitForFinished(1000));
        ::kill(pid, SIGTERM);
    }
    QElapsedTimer clock;
    clock.start();
    QVERIFY(process.waitForFinished(5000));
    QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()).constData());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(exitCodes.contains(process.exitCode()),
             QByteArray::number(process.exitCode()).constData());
    QCOMPARE(Utf8(process.readAllStandardError()), err);
}

void TestCliSend::progressOnATerminalOnly()
{
    const QStringList args = {"send",   "--text", "Привет", "--port", m_pty->SlaveName(),
                              "--baud", "9600"};
    const CliResult terminal = m_cli->Run(args, true);
    QCOMPARE(terminal.exitCode, 0);
    const QString shown = Utf8(terminal.err);
    QVERIFY2(shown.contains(QStringLiteral("\rПередача: 10 из 10 байт (100 %), осталось 0,0 с")),
             terminal.err.constData());
    QVERIFY2(shown.endsWith(QStringLiteral("Передача данных успешно завершена!!!\r\n")),
             terminal.err.constData());
    QCOMPARE(terminal.out, QByteArray());
    QCOMPARE(m_pty->ReadAll(), HexBytes("02 00 00 CF F0 E8 E2 E5 F2 0D"));

    const CliResult pipe = m_cli->Run(args);
    QCOMPARE(pipe.exitCode, 0);
    QCOMPARE(pipe.err + pipe.out, QByteArray());
}

// Two shown pictures with a hidden one between them, a duration above 255, greeting and the
// demonstration string on: the two frames of the device-settings dialog, with their pauses.
void TestCliSend::deviceSettingsDelivers()
{
    IniFile ini;
    ini.com = ShortName(*m_pty) + QStringLiteral(" 3 4 2 1");
    m_cli->WriteIni(ini.Bytes());
    QElapsedTimer clock;
    clock.start();
    const CliResult result = m_cli->Run({QStringLiteral("device-settings")});
    QCOMPARE(Utf8(result.err), QString());
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(clock.elapsed() >= 4000, QByteArray::number(clock.elapsed()).constData());
    QCOMPARE(m_pty->ReadAll(), HexBytes("00 03 01 05 07 2C 02 00"));
    QCOMPARE(FileBytes(m_cli->IniPath()), ini.Bytes());
}

void TestCliSend::deviceSettingsRefuses_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    IniFile good;
    good.com = QStringLiteral("pts 3 4 2 1");
    IniFile noPictures = good;
    noPictures.images = QString();
    IniFile tooMany = good;
    tooMany.images = QStringList(128, QStringLiteral("П")).join(u'\t');
    tooMany.uses = QStringList(128, QStringLiteral("Да")).join(u'\t');
    QTest::newRow("no settings file, even with port and baud")
        << QByteArray() << QStringList{"--port", "PTY", "--baud", "1200"} << 3
        << QStringLiteral("Не удается открыть или не был создан файл настроек программы. Файл: «");
    QTest::newRow("no picture names")
        << noPictures.Bytes() << QStringList() << 3
        << QStringLiteral("Не удается прочесть список изображений устройства из файла "
                          "инициализации.\n");
    QTest::newRow("more shown pictures than the device takes")
        << tooMany.Bytes() << QStringList() << 3
        << QStringLiteral("Устройство может показывать не более 127 изображений. Отключите показ "
                          "лишних изображений.\n");
    QTest::newRow("unknown port")
        << good.Bytes() << QStringList{"--port", "/dev/tavrix-no-such-port"} << 4
        << QStringLiteral("Не удается открыть порт. Проверьте настройки последовательного порта. "
                          "Порт «/dev/tavrix-no-such-port»: Не удается открыть порт.");
    QTest::newRow("extra argument")
        << good.Bytes() << QStringList{"x"} << 2 << QStringLiteral("Лишний аргумент «x».\n");
}

void TestCliSend::deviceSettingsRefuses()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    ini.replace("pts", ShortName(*m_pty).toLatin1());
    if (!ini.isEmpty())
        m_cli->WriteIni(ini);
    args.replaceInStrings(QStringLiteral("PTY"), m_pty->SlaveName());
    args.prepend(QStringLiteral("device-settings"));
    const CliResult result = m_cli->Run(args);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(Utf8(result.err).startsWith(QStringLiteral("tavrix-editor: ") + error),
             result.err.constData());
    QCOMPARE(m_pty->ReadAll(200), QByteArray());
    QCOMPARE(FileBytes(m_cli->IniPath()), ini.isEmpty() ? QByteArray("<missing>") : ini);
}

QTEST_GUILESS_MAIN(TestCliSend)
#include "tst_clisend.moc"
