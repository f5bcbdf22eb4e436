#include "device/devicesender.h"
#include "device/networkport.h"
#include "device/portrefusal.h"
#include "device/serialport.h"
#include "device/telnetcodec.h"
#include "ptypair.h"
#include "ser2net.h"
#include "telnetserver.h"
#include "testbytes.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

using Result = CDeviceSender::Result;

QString Describe(const CTelnetCodec::Event& event)
{
    static const char* const verbs[] = {"will", "wont", "do", "dont"};
    if (event.kind == CTelnetCodec::Event::Kind::ComPortReply)
        return QStringLiteral("reply %1: %2").arg(event.command).arg(event.value.toHex());
    return QStringLiteral("%1 %2").arg(verbs[int(event.kind)]).arg(event.option);
}

// Frames of random length and bytes, with the bytes a wire protocol can trip on among them.
QList<CDeviceSender::Frame> RandomFrames(int count, QByteArray& wire)
{
    QRandomGenerator random(2217);
    QList<CDeviceSender::Frame> frames;
    for (int i = 0; i < count; ++i) {
        QByteArray bytes(1 + int(random.bounded(24)), '\0');
        for (char& byte : bytes)
            byte = "\xFF\x0D\x00\xFE\xF0\x41"[random.bounded(6)];
        frames.append({bytes, 0});
        wire += bytes;
    }
    return frames;
}

CSerialPort& PointAt(CSerialPort& port, const QString& word, int baudIndex = 3)
{
    PortConfig config;
    config.portName = word;
    config.baudIndex = baudIndex;
    port.SetConfig(config);
    return port;
}

QString Word(bool rfc2217, quint16 port)
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(rfc2217 ? "rfc2217" : "tcp").arg(port);
}

// A loopback port whose listener never accepts and whose queue is full: a connection to it
// gets no answer at all, as from an address with nothing behind it.
struct BlackHole {
    BlackHole()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener, 0);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        for (QTcpSocket& filler : fillers) {
            filler.connectToHost(QHostAddress::LocalHost, port);
            filler.waitForConnected(200);
        }
    }
    ~BlackHole() { ::close(listener); }
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    quint16 port = 0;
    QTcpSocket fillers[2];
};

} // namespace

class TestNetworkPort : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void encoding_data();
    void encoding();
    void serverSays_data();
    void serverSays();
    void portWord_data();
    void portWord();
    void throughServer_data();
    void throughServer();
    void cancelDropsWhatTheServerHolds_data();
    void cancelDropsWhatTheServerHolds();
    void scriptedServer_data();
    void scriptedServer();
    void cancelWhileConnecting();
    void serverGoesAway();
    void oneTransferPerServer();
    void refusedOpen_data();
    void refusedOpen();
};

void TestNetworkPort::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("ser2net")).isEmpty())
        QFAIL("ser2net is not installed (make deps installs it)");
}

void TestNetworkPort::encoding_data()
{
    using C = CTelnetCodec;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("data: 0xFF doubled, nothing else touched")
        << C::Escape(HexBytes("00 FF 0D FF FF 41")) << HexBytes("00 FF FF 0D FF FF FF FF 41");
    QTest::newRow("greeting: offers the option, binary both ways")
        << C::Greeting() << HexBytes("FF FB 2C FF FB 00 FF FD 00");
    QTest::newRow("1200 baud, four bytes, high first")
        << C::ComPort(C::kSetBaudRate, C::BaudRate(1200))
        << HexBytes("FF FA 2C 01 00 00 04 B0 FF F0");
    QTest::newRow("a 0xFF in a value doubled") << C::ComPort(C::kSetBaudRate, C::BaudRate(0x1FF))
                                               << HexBytes("FF FA 2C 01 00 00 01 FF FF FF F0");
    QTest::newRow("mark parity") << C::ComPort(C::kSetParity, QByteArray(1, 4))
                                 << HexBytes("FF FA 2C 03 04 FF F0");
    QTest::newRow("purge both buffers")
        << C::ComPort(C::kPurgeData, QByteArray(1, 3)) << HexBytes("FF FA 2C 0C 03 FF F0");
}

void TestNetworkPort::encoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes.toHex(' '), expected.toHex(' '));
}

void TestNetworkPort::serverSays_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QByteArray>("answers");
    QTest::newRow("accepts the option and binary")
        << QList<QByteArray>{HexBytes("FF FD 2C FF FB 00 FF FD 00")}
        << QStringList{"do 44", "will 0", "do 0"} << QByteArray();
    QTest::newRow("a banner, then an acknowledged speed, split anywhere")
        << QList<QByteArray>{"ser2net port\r\n\xFF", HexBytes("FA 2C 65 00 00"),
                             HexBytes("04 B0 FF"), HexBytes("F0")}
        << QStringList{"reply 1: 000004b0"} << QByteArray();
    QTest::newRow("a doubled 0xFF inside a reply")
        << QList<QByteArray>{HexBytes("FF FA 2C 65 00 00 01 FF FF FF F0")}
        << QStringList{"reply 1: 000001ff"} << QByteArray();
    QTest::newRow("options it does not know are refused")
        << QList<QByteArray>{HexBytes("FF FB 01 FF FD 03 FF FB 2C")}
        << QStringList{"will 1", "do 3", "will 44"} << HexBytes("FF FE 01 FF FC 03 FF FE 2C");
    QTest::newRow("line-state notices and an unknown sub-negotiation pass")
        << QList<QByteArray>{HexBytes("FF FA 2C 6A 60 FF F0 FF FA 18 01 FF F0 41 42")}
        << QStringList{"reply 6: 60"} << QByteArray();
    QTest::newRow("refuses the option")
        << QList<QByteArray>{HexBytes("FF FE 2C")} << QStringList{"dont 44"} << QByteArray();
    QTest::newRow("a sub-negotiation ended by another command: both count")
        << QList<QByteArray>{HexBytes("FF FA 2C 65 00 00 96 00 FF FD 2C")}
        << QStringList{"reply 1: 00009600", "do 44"} << QByteArray();
    QTest::newRow("a sub-negotiation too long for a reply: dropped, the next one counts")
        << QList<QByteArray>{HexBytes("FF FA 2C 65") + QByteArray(300, 'x'),
                             HexBytes("FF F0 FF FA 2C 66 08 FF F0")}
        << QStringList{"reply 2: 08"} << QByteArray();
}

void TestNetworkPort::serverSays()
{
    QFETCH(QList<QByteArray>, pieces);
    CTelnetCodec codec;
    QStringList events;
    QByteArray answers;
    for (const QByteArray& piece : pieces) {
        codec.Feed(piece);
        for (const CTelnetCodec::Event& event : codec.TakeEvents()) {
            events << Describe(event);
            answers += CTelnetCodec::Answer(event);
        }
    }
    QTEST(events, "events");
    QTEST(answers, "answers");
}

void TestNetworkPort::portWord_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("parsed"); // protocol host port, or empty when refused
    QTest::newRow("raw, IPv4") << "tcp://10.0.0.5:4001"
                               << "raw 10.0.0.5 4001";
    QTest::newRow("RFC 2217, a name") << "rfc2217://display-3.shop.lan:7000"
                                      << "rfc2217 display-3.shop.lan 7000";
    QTest::newRow("RFC 2217, IPv6") << "rfc2217://[fe80::1]:2217"
                                    << "rfc2217 fe80::1 2217";
    QTest::newRow("scheme in capitals") << "TCP://host:1"
                                        << "raw host 1";
    QTest::newRow("highest port") << "tcp://host:65535"
                                  << "raw host 65535";
    QTest::newRow("port 0") << "tcp://host:0"
                            << "";
    QTest::newRow("port too high") << "tcp://host:65536"
                                   << "";
    QTest::newRow("no port") << "rfc2217://host"
                             << "";
    QTest::newRow("no host") << "tcp://:4001"
                             << "";
    QTest::newRow("IPv6 without brackets") << "tcp://fe80::1:4001"
                                           << "";
    QTest::newRow("brackets around no IPv6") << "tcp://[host]:4001"
                                             << "";
    QTest::newRow("a path after the port") << "tcp://host:4001/x"
                                           << "";
    QTest::newRow("a blank") << "tcp://my host:4001"
                             << "";
}

void TestNetworkPort::portWord()
{
    QFETCH(QString, word);
    QFETCH(QString, parsed);
    QVERIFY(CNetworkPort::IsNetworkWord(word));
    const auto address = CNetworkPort::Parse(word);
    QString got;
    if (address)
        got = QStringLiteral("%1 %2 %3")
                  .arg(address->protocol == CNetworkPort::Protocol::Raw ? "raw" : "rfc2217")
                  .arg(address->host)
                  .arg(address->port);
    QCOMPARE(got, parsed);
    // The settings file and the COM dialog keep a network word only when it is well formed.
    QCOMPARE(CSerialPort::IsStorablePortName(word), !parsed.isEmpty());
}

void TestNetworkPort::throughServer_data()
{
    QTest::addColumn<bool>("rfc2217");
    QTest::newRow("RFC 2217") << true;
    QTest::newRow("raw TCP") << false;
}

void TestNetworkPort::throughServer()
{
    QFETCH(bool, rfc2217);
    PtyPair pty;
    Ser2Net server(pty.SlaveName(), rfc2217);
    QVERIFY(server.IsReady());
    CSerialPort port;
    PointAt(port, Word(rfc2217, server.Port()), 9); // 38400 baud: the line time stays short
    QByteArray wire;
    CDeviceSender sender(port.GetConfig());
    QVERIFY(sender.Start(RandomFrames(300, wire)));
    termios during{};
    QTimer::singleShot(100, this, [&] { during = pty.SlaveAttributes(); });
    QCOMPARE(sender.WaitForResult(), Result::Ok);
    QCOMPARE(pty.ReadAll().toHex(' '), wire.toHex(' '));
    if (rfc2217) { // the COM section's line, set on the server's port
        QCOMPARE(cfgetospeed(&during), speed_t(B38400));
        QVERIFY(during.c_cflag & CSTOPB);
        QCOMPARE(during.c_cflag & (CMSPAR | PARODD), tcflag_t(CMSPAR | PARODD));
    }
}

void TestNetworkPort::cancelDropsWhatTheServerHolds_data()
{
    throughServer_data();
}

void TestNetworkPort::cancelDropsWhatTheServerHolds()
{
    QFETCH(bool, rfc2217);
    PtyPair pty; // the display reads nothing until the end: the bytes pile up in the server
    Ser2Net server(pty.SlaveName(), rfc2217);
    QVERIFY(server.IsReady());
    CSerialPort port;
    CDeviceSender sender(PointAt(port, Word(rfc2217, server.Port())).GetConfig());
    constexpr int kSent = 1024 * 1024; // far more than the device side can take in
    QVERIFY(sender.Start({{QByteArray(kSent, 'a'), 0}}));
    QTimer::singleShot(1500, &sender, &CDeviceSender::Cancel);
    QCOMPARE(sender.WaitForResult(), Result::Cancelled);
    QTest::qWait(500);
    // What the device had taken in before the cancel may still come; the rest never does.
    QByteArray shown;
    for (QByteArray got; !(got = pty.ReadAll(500)).isEmpty();)
        shown += got;
    QVERIFY2(shown.size() < kSent / 4, QByteArray::number(shown.size()));
}

void TestNetworkPort::scriptedServer_data()
{
    using S = ScriptedServer::Script;
    QTest::addColumn<int>("script");
    QTest::addColumn<int>("size");   // of the frame; 38400 baud, but 1200 for ack-and-close
    QTest::addColumn<int>("margin"); // the job's deadline margin; -1: only what the open needs
    QTest::addColumn<Result>("result");
    QTest::addColumn<QString>("details"); // %1: the server's port
    QTest::addColumn<int>("sent");        // bytes the sender reports, -1 not known
    const QString took = QStringLiteral("Сервер принял все 300 байт; доставку на табло он не "
                                        "подтверждает.");
    const int margin = CDeviceSender::kDeadlineMarginMs;
    QTest::newRow("offers the option from its side")
        << int(S::Will44) << 300 << margin << Result::Ok << took << 300;
    QTest::newRow("acknowledgements not ended by IAC SE")
        << int(S::Unended) << 300 << margin << Result::Ok << took << 300;
    // Before the open had a time of its own, this frame's job had 2.2 s in all.
    QTest::newRow("a first acknowledgement after 2.9 s: the open has its own time")
        << int(S::SlowFirstAck) << 10 << 0 << Result::Ok
        << "Сервер принял все 10 байт; доставку на табло он не подтверждает." << 10;
    QTest::newRow("overtaken by the deadline while setting the line")
        << int(S::Silent) << 300 << -1 << Result::WriteFailed
        << "Время передачи истекло, пока сервер 127.0.0.1:%1 подтверждал настройку линии." << 0;
    QTest::newRow("takes the bytes and closes before the line could carry them")
        << int(S::AckClose) << 100 << margin << Result::WriteFailed
        << "Соединение с сервером 127.0.0.1:%1 потеряно во время передачи: сервер принял 100 из "
           "100 байт."
        << 100;
    QTest::newRow("its program reads nothing: only its system acknowledges")
        << int(S::ReadsNothing) << 300 << margin << Result::Ok << took << 300;
    const QString tookMore =
        QStringLiteral("Сервер принял все 3000 байт; доставку на табло он не подтверждает.");
    QTest::newRow("a sub-negotiation without end")
        << int(S::FloodSub) << 3000 << margin << Result::Ok << tookMore << 3000;
    QTest::newRow("modem-state notices without end")
        << int(S::FloodNotices) << 3000 << margin << Result::Ok << tookMore << 3000;
    QTest::newRow("offers without end")
        << int(S::FloodOffers) << 3000 << margin << Result::WriteFailed
        << "Сервер 127.0.0.1:%1 без конца шлет запросы Telnet; соединение с ним закрыто." << -1;
}

// The transfer's result and its details, and what the server's program read (the memory a flood
// costs: tst_bench_netflood).
void TestNetworkPort::scriptedServer()
{
    QFETCH(int, script);
    QFETCH(int, size);
    QFETCH(int, margin);
    QFETCH(int, sent);
    QByteArray frame(size, '\0');
    for (int i = 0; i < size; ++i)
        frame[i] = char(i * 7 + 3); // 0xFF among them
    const auto kind = ScriptedServer::Script(script);
    ScriptedServer server(kind, 16 << 20, size); // a flood of 16 MB, for those that flood
    const bool raw =
        kind == ScriptedServer::Script::AckClose || kind == ScriptedServer::Script::ReadsNothing;
    CSerialPort port;
    PointAt(port, Word(!raw, server.Port()), raw ? 3 : 9);
    CDeviceSender sender(port.GetConfig());
    if (margin < 0)
        margin =
            1000 - int(port.OpenBudgetMs() + port.FrameBudgetMs(size) + port.LineTimeMs(size + 2));
    sender.SetDeadlineMargin(margin);
    QVERIFY(sender.Start({{frame, 0}}));
    QTEST(sender.WaitForResult(), "result");
    QFETCH(QString, details);
    if (details.contains(QStringLiteral("%1")))
        details = details.arg(server.Port());
    QCOMPARE(sender.ResultDetails(), details);
    if (sent >= 0)
        QCOMPARE(sender.BytesSent(), qint64(sent));
    if (sent == size && kind != ScriptedServer::Script::ReadsNothing)
        QCOMPARE(server.Data().toHex(' '), frame.toHex(' '));
}

// A cancel ends a connection that gets no answer at once, not when its time is up.
void TestNetworkPort::cancelWhileConnecting()
{
    BlackHole hole;
    CSerialPort port;
    CDeviceSender sender(PointAt(port, Word(false, hole.port)).GetConfig());
    QVERIFY(sender.Start({{QByteArray("x"), 0}}));
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    sender.Cancel();
    QCOMPARE(sender.WaitForResult(), Result::Cancelled);
    QVERIFY2(clock.elapsed() < 1000, QByteArray::number(clock.elapsed()));
}

void TestNetworkPort::serverGoesAway()
{
    PtyPair pty;
    auto server = std::make_unique<Ser2Net>(pty.SlaveName(), true);
    QVERIFY(server->IsReady());
    CSerialPort port;
    CDeviceSender sender(PointAt(port, Word(true, server->Port())).GetConfig());
    QVERIFY(sender.Start({{QByteArray(2000, 'a'), 0}})); // 20 s at 1200 baud
    QElapsedTimer clock;
    QTimer::singleShot(500, this, [&] {
        clock.start();
        server->Kill();
    });
    QCOMPARE(sender.WaitForResult(), Result::WriteFailed);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    // The server had taken every byte: the connection, not the display, is what failed.
    QCOMPARE(sender.BytesSent(), 2000);
    QCOMPARE(sender.ResultDetails(),
             QStringLiteral("Соединение с сервером 127.0.0.1:%1 потеряно во время передачи: "
                            "сервер принял 2000 из 2000 байт.")
                 .arg(server->Port()));

    // Back again: the next transfer goes through.
    server = std::make_unique<Ser2Net>(pty.SlaveName(), true);
    QVERIFY(server->IsReady());
    pty.ReadAll(50);
    sender.SetConfig(PointAt(port, Word(true, server->Port())).GetConfig());
    QVERIFY(sender.Start({{QByteArray("back"), 0}}));
    QCOMPARE(sender.WaitForResult(), Result::Ok);
    QCOMPARE(pty.ReadAll(), QByteArray("back"));
}

// The server decides who may connect; within the program, one transfer at a time to each.
void TestNetworkPort::oneTransferPerServer()
{
    PtyPair pty;
    Ser2Net server(pty.SlaveName(), true);
    QVERIFY(server.IsReady());
    CSerialPort first;
    CSerialPort second;
    CDeviceSender one(PointAt(first, Word(true, server.Port())).GetConfig());
    CDeviceSender other(
        PointAt(second, QStringLiteral("RFC2217://127.0.0.1:%1").arg(server.Port())).GetConfig());
    QVERIFY(one.Start({{QByteArray(30, 'a'), 0}})); // 0.3 s at 1200 baud
    QTest::qWait(100);
    QVERIFY(other.Start({{QByteArray("b"), 0}}));
    QCOMPARE(other.WaitForResult(), Result::OpenFailed);
    QCOMPARE(CPortRefusal::Details(other.Outcome().refusal),
             QStringLiteral("К серверу 127.0.0.1:%1 уже идет передача из этой программы. "
                            "Дождитесь ее окончания и повторите.")
                 .arg(server.Port()));
    QCOMPARE(one.WaitForResult(), Result::Ok);
    QVERIFY(other.Start({{QByteArray("b"), 0}}));
    QCOMPARE(other.WaitForResult(), Result::Ok);
    QCOMPARE(pty.ReadAll(), QByteArray(30, 'a') + 'b');
}

void TestNetworkPort::refusedOpen_data()
{
    QTest::addColumn<QString>("word"); // %1: a loopback port that listens but never answers
    QTest::addColumn<QString>("details");
    const quint16 closed = Ser2Net::FreePort();
    QTest::newRow("nothing listens")
        << Word(false, closed)
        << QStringLiteral("Сервер 127.0.0.1:%1 отказал в соединении: на этом порту ничего не "
                          "слушает. Проверьте номер порта и настройки сервера.")
               .arg(closed);
    QTest::newRow("a server that is not RFC 2217")
        << "rfc2217://127.0.0.1:%1"
        << "Сервер 127.0.0.1:%1 не подтвердил настройку линии за 3 с: похоже, он не поддерживает "
           "RFC 2217. Если линию настраивает сам сервер, укажите порт как tcp://127.0.0.1:%1.";
    QTest::newRow("a word with no port")
        << "rfc2217://127.0.0.1"
        << "«rfc2217://127.0.0.1» — не адрес сетевого порта. Адрес записывается как "
           "tcp://СЕРВЕР:ПОРТ или rfc2217://СЕРВЕР:ПОРТ.";
}

void TestNetworkPort::refusedOpen()
{
    QFETCH(QString, word);
    QFETCH(QString, details);
    QTcpServer silent; // takes the connection, says nothing
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    if (word.contains(QStringLiteral("%1")))
        word = word.arg(silent.serverPort());
    CSerialPort port;
    CDeviceSender sender(PointAt(port, word).GetConfig());
    QVERIFY(sender.Start({{QByteArray("x"), 0}}));
    QCOMPARE(sender.WaitForResult(), Result::OpenFailed);
    QCOMPARE(sender.Outcome().refusal.lastError, QStringLiteral("Не удается открыть порт."));
    if (details.contains(QStringLiteral("%1")))
        details = details.arg(silent.serverPort());
    QCOMPARE(CPortRefusal::Details(sender.Outcome().refusal), details);
}

QTEST_GUILESS_MAIN(TestNetworkPort)
#include "tst_networkport.moc"
