#include "device/devicesender.h"
#include "device/serialport.h"
#include "procstatus.h"
#include "telnetserver.h"

#include <QFile>
#include <QTest>

// Peak resident memory of a transfer (2,004 bytes at 1200 baud, 18 s on the line) to an
// RFC 2217 server that floods it as the measurements did; the peak is reset before
// each row, so each row's figure is its own.
class BenchNetFlood : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void flood_data();
    void flood();
};

void BenchNetFlood::flood_data()
{
    using S = ScriptedServer::Script;
    QTest::addColumn<int>("script");
    QTest::addColumn<qint64>("bytes");
    QTest::newRow("a sub-negotiation of 420 MB without IAC SE")
        << int(S::FloodSub) << (420ll << 20);
    QTest::newRow("114 MB of modem-state notices") << int(S::FloodNotices) << (114ll << 20);
    QTest::newRow("100 MB of offers") << int(S::FloodOffers) << (100ll << 20);
}

void BenchNetFlood::flood()
{
    QFETCH(int, script);
    QFETCH(qint64, bytes);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // the peak starts again from what is resident now
    clear.close();
    const qint64 before = ProcStatusKb("VmHWM");
    ScriptedServer server(ScriptedServer::Script(script), bytes);
    CSerialPort port;
    PortConfig config;
    config.portName = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.Port());
    port.SetConfig(config);
    CDeviceSender sender(port.GetConfig());
    QByteArray stream(2000, 'A');
    QVERIFY(sender.StartText(reinterpret_cast<const quint8*>(stream.constData()), 2000));
    const CDeviceSender::Result result = sender.WaitForResult();
    const qint64 peak = ProcStatusKb("VmHWM");
    qInfo("%s: result %d, server sent %lld MB of %lld, peak resident %lld KB (%lld KB at the "
          "start)",
          QTest::currentDataTag(), int(result),
          (bytes - std::max<qint64>(0, server.FloodLeft())) >> 20, bytes >> 20, peak, before);
    QVERIFY2(peak < 64 * 1024, QByteArray::number(peak));
}

QTEST_GUILESS_MAIN(BenchNetFlood)
#include "tst_bench_netflood.moc"
