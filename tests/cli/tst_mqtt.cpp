#include "clifixture.h"
#include "mosquitto.h"
#include "ptypair.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <memory>
#include <signal.h>

namespace
{

QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// Waits until the process has written `what` on stderr (or has ended).
bool WaitForError(QProcess& process, QByteArray& err, const QByteArray& what, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!err.contains(what) && clock.elapsed() < timeoutMs &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(50);
        err += process.readAllStandardError();
    }
    return err.contains(what);
}

// What a pseudo-terminal receives from now until nothing more comes for half a second.
QByteArray ReadUntilQuiet(PtyPair& pty, int firstByteMs)
{
    QByteArray bytes = pty.ReadAll(firstByteMs);
    for (QByteArray more; !(more = pty.ReadAll(500)).isEmpty();)
        bytes += more;
    return bytes;
}

// The bytes `send` puts on the line for a stream.
QByteArray TextFrame(const QByteArray& stream)
{
    return HexBytes("02 00 00") + stream + '\r';
}

} // namespace

class TestMqtt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void usage_data();
    void usage();
    void publish_data();
    void publish();
    void refused_data();
    void refused();
    void payloadRefused_data();
    void payloadRefused();
    void agentLifecycle();
    void brokerRestartMidTransfer();
    void newestWins();

private:
    // The agent of site "shop" for the two displays, as user "agent"; waits until it is online.
    bool StartAgent(const QString& url, int keepalive = 60);
    // As a service manager stops it: its status.
    int StopAgent();
    QStringList Login(const QString& user, const QString& url) const;
    void WriteDisplays(int baud);
    QJsonObject Result(const QString& display) const;

    std::unique_ptr<Mosquitto> m_broker;
    std::unique_ptr<CliProgram> m_cli;
    std::unique_ptr<PtyPair> m_window; // display "Витрина"
    std::unique_ptr<PtyPair> m_till;   // display "Касса"
    QProcess m_agent;
    QByteArray m_agentErr;
};

void TestMqtt::initTestCase()
{
    m_broker = std::make_unique<Mosquitto>();
    QVERIFY2(m_broker->IsReady(), "mosquitto and openssl are needed (tools/install-deps.sh)");
}

void TestMqtt::init()
{
    m_cli = std::make_unique<CliProgram>();
    m_window = std::make_unique<PtyPair>();
    m_till = std::make_unique<PtyPair>();
    QVERIFY(m_cli->IsValid() && m_window->IsValid() && m_till->IsValid());
    WriteDisplays(9600);
    // Every test starts from a broker that remembers no message of the site.
    for (const QString& level :
         {QStringLiteral("all"), QStringLiteral("Витрина"), QStringLiteral("Касса")})
        QVERIFY(m_broker->PublishRaw(QStringLiteral("tavrix/shop/%1/message").arg(level), {}));
}

void TestMqtt::cleanup()
{
    StopAgent();
    m_till.reset();
    m_window.reset();
    m_cli.reset();
}

void TestMqtt::WriteDisplays(int baud)
{
    m_cli->WriteFile(QStringLiteral("displays.ini"),
                     QStringLiteral("[Витрина]\nport = %1\nbaud = %3\n\n"
                                    "[Касса]\nport = %2\nbaud = %3\n\n"
                                    "[Склад/2]\nport = %2\n")
                         .arg(m_window->SlaveName(), m_till->SlaveName())
                         .arg(baud)
                         .toUtf8());
}

// user: "NAME:PASSWORD FILE'S USER"; the folders hold no blanks.
QStringList TestMqtt::Login(const QString& user, const QString& url) const
{
    QString args =
        QStringLiteral("--broker %1 --site shop --user %2 --password-file %3")
            .arg(url, user.section(u':', 0, 0), m_broker->PasswordFile(user.section(u':', -1)));
    if (url.startsWith(u"mqtts"))
        args += QStringLiteral(" --cafile ") + m_broker->Path(QStringLiteral("ca.crt"));
    return args.split(u' ');
}

bool TestMqtt::StartAgent(const QString& url, int keepalive)
{
    m_cli->Prepare(m_agent);
    m_agentErr.clear();
    m_agent.start(m_cli->Program(), QStringLiteral("agent --displays %1 --keepalive %2")
                                            .arg(m_cli->Path(QStringLiteral("displays.ini")))
                                            .arg(keepalive)
                                            .split(u' ') +
                                        Login(QStringLiteral("agent"), url));
    return m_agent.waitForStarted(3000) &&
           WaitForError(m_agent, m_agentErr, "Связь с брокером", 5000);
}

int TestMqtt::StopAgent()
{
    m_agent.terminate();
    m_agent.waitForFinished(5000);
    m_agentErr += m_agent.readAllStandardError();
    return m_agent.exitStatus() == QProcess::NormalExit ? m_agent.exitCode() : -1;
}

QJsonObject TestMqtt::Result(const QString& display) const
{
    return QJsonDocument::fromJson(
               m_broker->Retained(QStringLiteral("tavrix/shop/%1/result").arg(display)))
        .object();
}

// Wrong calls are told before any broker is asked.
void TestMqtt::usage_data()
{
    QTest::addColumn<QString>("args"); // separated by blanks
    QTest::addColumn<QString>("error");
    QTest::newRow("broker of another scheme")
        << "publish --text A --all --broker tcp://127.0.0.1:1883 --site shop"
        << "Адрес брокера «tcp://127.0.0.1:1883» записан неверно: нужно mqtt://ХОСТ[:ПОРТ] или "
           "mqtts://ХОСТ[:ПОРТ].";
    QTest::newRow("password on the command line")
        << "agent --broker mqtt://127.0.0.1 --site shop --password x"
        << "Неизвестный параметр «--password».";
    QTest::newRow("site with a wildcard")
        << "agent --broker mqtt://127.0.0.1 --site shop/#"
        << "Площадка «shop/#» не годится: «/», «+» и «#» в имени не годятся для темы брокера.";
}

void TestMqtt::usage()
{
    QFETCH(QString, args);
    QFETCH(QString, error);
    const CliResult result = m_cli->Run(args.split(u' '));
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(QString::fromUtf8(result.err), QStringLiteral("tavrix-editor: ") + error + u'\n');
    QCOMPARE(result.out, QByteArray());
}

// Published once, the message reaches both displays as `send` would put it on the line, and each
// display's result carries the payload's hash.
void TestMqtt::publish_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QStringList>("target");
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("whole site, plain")
        << false << QStringList{QStringLiteral("--all")} << QStringLiteral("Привет{f1}мир")
        << HexBytes("02 00 00 cf f0 e8 e2 e5 f2 00 01 ec e8 f0 0d");
    QTest::newRow("two names, TLS")
        << true
        << QStringList{QStringLiteral("--display"), QStringLiteral("Касса"),
                       QStringLiteral("--display"), QStringLiteral("Витрина")}
        << QStringLiteral("Скидки{e2}") << HexBytes("02 00 00 d1 ea e8 e4 ea e8 02 02 0d");
}

void TestMqtt::publish()
{
    QFETCH(bool, tls);
    QFETCH(QStringList, target);
    QFETCH(QString, markup);
    QFETCH(QByteArray, frame);
    const QString url = tls ? m_broker->TlsUrl() : m_broker->Url();
    QVERIFY2(StartAgent(url), m_agentErr.constData());
    QVERIFY2(m_agentErr.contains("табло «Склад/2» пропущено: «/», «+» и «#» в имени не годятся"),
             m_agentErr.constData());

    const CliResult result =
        m_cli->Run(QStringList{QStringLiteral("publish"), QStringLiteral("--text"), markup} +
                   target + Login(QStringLiteral("publisher"), url));
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(m_window->ReadAll(2000), frame);
    QCOMPARE(m_till->ReadAll(2000), frame);
    QStringList lines = QString::fromUtf8(result.out).split(u'\n');
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeLast(), QStringLiteral("Передано на 2 из 2 табло."));
    lines.sort();
    QCOMPARE(lines, (QStringList{QStringLiteral("Витрина\t%1\tПередача данных успешно завершена!!!")
                                     .arg(m_window->SlaveName()),
                                 QStringLiteral("Касса\t%1\tПередача данных успешно завершена!!!")
                                     .arg(m_till->SlaveName())}));
    const QByteArray stream = frame.mid(3, frame.size() - 4);
    for (const QString& display : {QStringLiteral("Витрина"), QStringLiteral("Касса")}) {
        const QJsonObject json = Result(display);
        QCOMPARE(json.value("result").toString(), QStringLiteral("ok"));
        QCOMPARE(json.value("sha256").toString(), Sha256(stream));
        QCOMPARE(json.value("sent").toInt(), frame.size());
        QCOMPARE(json.value("total").toInt(), frame.size());
        QVERIFY(!json.value("time").toString().isEmpty());
    }
    QCOMPARE(StopAgent(), 0);
}

// Who may not log in, or may not publish, gets nothing onto a display.
void TestMqtt::refused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("tls"); // with a CA that did not sign the broker's certificate
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("out");
    const QString badLogin = QStringLiteral("Брокер URL не принял вход: неверное имя или пароль "
                                            "(Connection Refused: not authorised.).\n");
    const QString badCa = QStringLiteral("Защищенное соединение с брокером URL не установлено: "
                                         "сертификат брокера не подтвержден (--cafile) или брокер "
                                         "говорит без TLS.\n");
    QTest::newRow("publisher, wrong password")
        << "publish" << false << "publisher:agent" << 4 << badLogin << "";
    QTest::newRow("agent, TLS with a wrong CA")
        << "agent" << true << "agent:agent" << 4 << badCa << "";
    QTest::newRow("read-only user publishes")
        << "publish" << false << "reader:reader" << 6 << ""
        << "Витрина\t-\tНет ответа за 2 с.\nПередано на 0 из 1 табло.\n";
}

void TestMqtt::refused()
{
    QFETCH(QString, command);
    QFETCH(bool, tls);
    QFETCH(QString, login);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(QString, out);
    const QString url = tls ? m_broker->TlsUrl() : m_broker->Url();
    if (command == u"publish")
        QVERIFY2(StartAgent(m_broker->Url()), m_agentErr.constData());
    QStringList args = Login(login, url);
    if (tls)
        args.last() = m_broker->Path(QStringLiteral("wrongca.crt"));
    args.prepend(command);
    args += (command == u"publish"
                 ? QStringLiteral("--text Чужое --display Витрина --wait 2")
                 : QStringLiteral("--displays ") + m_cli->Path(QStringLiteral("displays.ini")))
                .split(u' ');

    const CliResult result = m_cli->Run(args);
    QCOMPARE(result.exitCode, exitCode);
    const QStringList errors = QString::fromUtf8(result.err).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(errors.isEmpty() ? QString() : errors.last() + u'\n',
             error.isEmpty() ? QString()
                             : QStringLiteral("tavrix-editor: ") +
                                   QString(error).replace(QStringLiteral("URL"), url));
    QCOMPARE(QString::fromUtf8(result.out), out);
    QCOMPARE(m_window->ReadAll(300), QByteArray());
    QCOMPARE(m_till->ReadAll(0), QByteArray());
}

// A payload the display cannot read, published by some other client, is refused: nothing on the
// line, and the reason in the result.
void TestMqtt::payloadRefused_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("reason");
    QTest::newRow("0D inside") << QByteArray("AB\rCD")
                               << QStringLiteral("Смещение 2 (0x2): байт 0D табло примет за "
                                                 "конец кадра.");
    QTest::newRow("longer than the display holds")
        << QByteArray(2048, 'A')
        << QStringLiteral("Сообщение не помещается в память устройства: в нем 2048 байт, а "
                          "помещается 2047.");
}

void TestMqtt::payloadRefused()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, reason);
    QVERIFY2(StartAgent(m_broker->Url()), m_agentErr.constData());
    QVERIFY(m_broker->PublishRaw(QStringLiteral("tavrix/shop/Касса/message"), payload));
    QTest::qWait(500);
    const QJsonObject json = Result(QStringLiteral("Касса"));
    QCOMPARE(json.value("result").toString(), QStringLiteral("refused"));
    QCOMPARE(json.value("reason").toString(), reason);
    QCOMPARE(json.value("sha256").toString(), Sha256(payload));
    QCOMPARE(json.value("sent").toInt(), 0);
    QCOMPARE(m_till->ReadAll(300), QByteArray());
}

// Killed, the agent is "offline" through its last will; started again it sends only what it has
// not sent; stopped, it says "offline" itself. Here `agent` hands over to the agent's own build
// of the program beside it, as where it is installed.
void TestMqtt::agentLifecycle()
{
    QVERIFY(QFile::copy(QStringLiteral(TAVRIX_AGENT_EXE),
                        m_cli->Path(QStringLiteral("tavrix-editor-agent"))));
    const int keepalive = 5;
    const QByteArray first("Первое");
    const QByteArray second("Второе");
    QVERIFY2(StartAgent(m_broker->Url(), keepalive), m_agentErr.constData());
    QCOMPARE(m_broker->Retained(QStringLiteral("tavrix/shop/status")), QByteArray("online"));
    QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(m_agent.processId())).symLinkTarget(),
             m_cli->Path(QStringLiteral("tavrix-editor-agent")));
    QVERIFY(m_broker->PublishRaw(QStringLiteral("tavrix/shop/Витрина/message"), first));
    QCOMPARE(ReadUntilQuiet(*m_window, 2000), TextFrame(first));

    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(m_agent.processId()), SIGKILL);
    m_agent.waitForFinished(3000);
    while (m_broker->Retained(QStringLiteral("tavrix/shop/status")) != "offline" &&
           clock.elapsed() < keepalive * 1500 + 2000)
        QTest::qWait(100);
    QCOMPARE(m_broker->Retained(QStringLiteral("tavrix/shop/status")), QByteArray("offline"));
    // The broker's own timing (1.5 × keepalive) is measured, not asserted: a loaded machine
    // only makes it late.
    qInfo("offline %lld ms after the kill (keepalive %d s)", clock.elapsed(), keepalive);

    QVERIFY(m_broker->PublishRaw(QStringLiteral("tavrix/shop/Касса/message"), second));
    clock.restart();
    QVERIFY2(StartAgent(m_broker->Url(), keepalive), m_agentErr.constData());
    QByteArray delivered = m_till->ReadAll(10000);
    qInfo("published while down: first byte %lld ms after the start", clock.elapsed());
    delivered += ReadUntilQuiet(*m_till, 0);
    QCOMPARE(delivered, TextFrame(second));
    QCOMPARE(m_window->ReadAll(1000), QByteArray()); // delivered before the kill

    QCOMPARE(StopAgent(), 0);
    QVERIFY(QString::fromUtf8(m_agentErr)
                .endsWith(QStringLiteral("tavrix-editor: Агент площадки «shop» остановлен.\n")));
    QCOMPARE(m_broker->Retained(QStringLiteral("tavrix/shop/status")), QByteArray("offline"));
}

// The broker goes away while a display is being sent to: the transfer runs to its end, and its
// result reaches the broker once the agent is back.
void TestMqtt::brokerRestartMidTransfer()
{
    WriteDisplays(1200);
    const QByteArray stream(400, 'Z'); // about 3.7 s on the line
    QVERIFY2(StartAgent(m_broker->Url()), m_agentErr.constData());
    QVERIFY(m_broker->PublishRaw(QStringLiteral("tavrix/shop/Касса/message"), stream));
    QByteArray received = m_till->ReadAll(2000);
    QVERIFY(!received.isEmpty());
    m_broker->Stop(true);
    QVERIFY(WaitForError(m_agent, m_agentErr, "Нет связи с брокером", 3000));
    QTest::qWait(1000);
    QVERIFY(m_broker->Start());
    received += ReadUntilQuiet(*m_till, 5000);
    QCOMPARE(received, TextFrame(stream));
    QJsonObject json;
    QElapsedTimer clock;
    clock.start();
    while (json.value("sha256").toString() != Sha256(stream) && clock.elapsed() < 20000)
        json = Result(QStringLiteral("Касса"));
    QCOMPARE(json.value("result").toString(), QStringLiteral("ok"));
    QCOMPARE(json.value("sha256").toString(), Sha256(stream));
    QCOMPARE(json.value("sent").toInt(), 404);
}

// Messages that arrive while a display is being sent to wait; of them only the newest goes out.
void TestMqtt::newestWins()
{
    WriteDisplays(1200);
    const QByteArray first(200, 'A'); // about 1.8 s on the line
    const QString topic = QStringLiteral("tavrix/shop/Касса/message");
    QVERIFY2(StartAgent(m_broker->Url()), m_agentErr.constData());
    QVERIFY(m_broker->PublishRaw(topic, first));
    QByteArray received = m_till->ReadAll(2000);
    QVERIFY(m_broker->PublishRaw(topic, "Второе") && m_broker->PublishRaw(topic, "Третье"));
    received += ReadUntilQuiet(*m_till, 3000);
    QCOMPARE(received, TextFrame(first) + TextFrame("Третье"));
    QCOMPARE(Result(QStringLiteral("Касса")).value("sha256").toString(), Sha256("Третье"));
}

QTEST_GUILESS_MAIN(TestMqtt)
#include "tst_mqtt.moc"
