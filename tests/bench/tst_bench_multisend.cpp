#include "device/deviceframes.h"
#include "device/multisender.h"
#include "ptypair.h"
#include "slowfarend.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <array>
#include <memory>

namespace
{

struct Run {
    qint64 ms = 0;
    qint64 peakRssKb = 0;
    qint64 longestStallMs = 0; // of the thread that started the send (a window's)
    int ok = 0;
};

// Sends the frame to the first `count` displays at the program's default line (1200 baud, 8
// data bits, 2 stop bits), sampling the memory and how long the event loop is ever held up.
Run Send(std::array<PtyPair, 10>& ptys, int count, const QByteArray& frame)
{
    QList<DisplayEntry> displays;
    std::vector<std::unique_ptr<SlowFarEnd>> farEnds;
    for (int i = 0; i < count; ++i) {
        displays.append({QStringLiteral("Табло %1").arg(i + 1), PortConfig{ptys[i].SlaveName()}});
        farEnds.push_back(std::make_unique<SlowFarEnd>(ptys[i]));
    }
    Run run;
    CMultiSender multi;
    QElapsedTimer clock;
    QElapsedTimer tick;
    QTimer sampler;
    sampler.setInterval(10);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        run.longestStallMs = std::max(run.longestStallMs, tick.restart() - 10);
        run.peakRssKb = std::max(run.peakRssKb, ProcStatusKb("VmRSS"));
    });
    clock.start();
    tick.start();
    sampler.start();
    multi.Start(displays, {CDeviceSender::Frame{frame, 0}});
    multi.WaitForAll();
    run.ms = clock.elapsed();
    run.ok = multi.OkCount();
    QTest::qWait(1500); // what the far ends had still to read at the end
    for (auto& farEnd : farEnds) {
        if (farEnd->Received() != frame)
            run.ok = -1;
    }
    return run;
}

} // namespace

class BenchMultiSend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tenDisplaysAtOnce();
};

// Ten slow displays at once against one of them: the time of the whole send and what each
// display beyond the first costs in memory.
void BenchMultiSend::tenDisplaysAtOnce()
{
    std::array<PtyPair, 10> ptys;
    QByteArray stream(2000, 'A');
    for (int i = 0; i < stream.size(); i += 50)
        stream[i] = char('0' + i / 50 % 10);
    const QByteArray frame = DeviceFrames::TextFrame(
        reinterpret_cast<const quint8*>(stream.constData()), int(stream.size()));
    const qint64 idleRssKb = ProcStatusKb("VmRSS");
    const Run one = Send(ptys, 1, frame);
    const Run ten = Send(ptys, 10, frame);
    QCOMPARE(one.ok, 1);
    QCOMPARE(ten.ok, 10);
    const double ratio = double(ten.ms) / double(one.ms);
    const double perExtraKb = double(ten.peakRssKb - one.peakRssKb) / 9;
    qInfo("one display: %.2f s; ten displays at once: %.2f s (%.3f times one; aim at most 1.15)",
          one.ms / 1000.0, ten.ms / 1000.0, ratio);
    qInfo("resident memory: idle %lld KB, one display %lld KB, ten %lld KB: %.0f KB per extra "
          "display (aim at most 1024 KB)",
          idleRssKb, one.peakRssKb, ten.peakRssKb, perExtraKb);
    qInfo("longest hold-up of the starting thread's event loop: one %lld ms, ten %lld ms",
          one.longestStallMs, ten.longestStallMs);
}

QTEST_GUILESS_MAIN(BenchMultiSend)
#include "tst_bench_multisend.moc"
