#include "device/devicesender.h"
#include "device/nativeport.h"
#include "device/serialport.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <thread>

namespace
{

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + 3);
    return bytes;
}

QByteArray TextFrameOf(const QByteArray& stream)
{
    return QByteArray("\x02\x00\x00", 3) + stream + '\r';
}

bool StartText(CDeviceSender& sender, const QByteArray& stream)
{
    return sender.StartText(reinterpret_cast<const quint8*>(stream.constData()),
                            int(stream.size()));
}

void PointAt(CSerialPort& port, const PtyPair& pty, int baudIndex = 3)
{
    PortConfig config;
    config.portName = pty.SlaveName();
    config.baudIndex = baudIndex;
    port.SetConfig(config);
}

// Reads the master side on a timer of the same thread, as the event loop allows.
struct FarEnd {
    explicit FarEnd(PtyPair& pty) : m_pty(pty)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const QByteArray got = m_pty.ReadAvailable();
            if (!got.isEmpty())
                m_arrivals.append({m_clock.elapsed(), got});
            m_received += got;
        });
        m_clock.start();
        m_timer.start();
    }
    PtyPair& m_pty;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QByteArray m_received;
    QList<QPair<qint64, QByteArray>> m_arrivals;
};

// Reads the master side on a thread of its own, stamping each arrival as it happens.
struct StampingFarEnd {
    explicit StampingFarEnd(PtyPair& pty)
    {
        m_clock.start();
        m_thread = std::thread([this, fd = pty.MasterFd()] {
            while (!m_stop) {
                pollfd watched{fd, POLLIN, 0};
                if (::poll(&watched, 1, 20) <= 0)
                    continue;
                char buffer[512];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0) {
                    std::lock_guard<std::mutex> guard(m_mutex);
                    m_arrivals.append({m_clock.elapsed(), QByteArray(buffer, int(n))});
                }
            }
        });
    }
    ~StampingFarEnd()
    {
        m_stop = true;
        m_thread.join();
    }
    QList<QPair<qint64, QByteArray>> Arrivals()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_arrivals;
    }
    QElapsedTimer m_clock;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QList<QPair<qint64, QByteArray>> m_arrivals;
    std::thread m_thread;
};

} // namespace

class TestDeviceSender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drainsBeforeClose();
    void writeBudget_data();
    void writeBudget();
    void longMessageWhileEventLoopRuns();
    void cancelMidway();
    void settingsFramesWithPauses();
    void secondOpenRefused_data();
    void secondOpenRefused();
    void lockHeldWhileOpen();
    void deviceVanishes();
    void stalledFarEnd();
    void openFailureReported();
    void cancelHoldsInEveryPhase_data();
    void cancelHoldsInEveryPhase();
    void sentNoEarlierThanTheLine();
    void drainThatNeverReturns_data();
    void drainThatNeverReturns();
    void resultTexts_data();
    void resultTexts();
};

void TestDeviceSender::drainsBeforeClose()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty);
    QStringList steps;
    // Closing gives the pseudo-terminal back its own speed: 1200 means the port is still open.
    const auto state = [&pty](const QString& what) {
        termios t = pty.SlaveAttributes();
        return what +
               (cfgetospeed(&t) == B1200 ? QStringLiteral(" open") : QStringLiteral(" closed"));
    };
    NativePort::SetDrainForTest([&](NativePort::Handle) {
        // Everything handed over already, the port still open at its own speed.
        steps << QStringLiteral("drain after %1 bytes").arg(pty.ReadAvailable().size());
        steps << state(QStringLiteral("draining"));
        QThread::msleep(100); // the wire time of a real line
        steps << QStringLiteral("drained");
        return true;
    });
    CDeviceSender sender(port.GetConfig());
    connect(&sender, &CDeviceSender::finished, this,
            [&] { steps << state(QStringLiteral("finished")); });
    QVERIFY(StartText(sender, Pattern(20)));
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Ok);
    NativePort::SetDrainForTest({});
    QCOMPARE(steps,
             QStringList({"drain after 24 bytes", "draining open", "drained", "finished closed"}));
}

void TestDeviceSender::writeBudget_data()
{
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("expectedMs");
    QTest::newRow("1200 baud: 20 ms a byte") << 3 << qint64(10) << qint64(200);
    QTest::newRow("9600 baud: 20 ms a byte") << 6 << qint64(2051) << qint64(41020);
    // 12 bits a character at 110 baud take 109 ms; the budget leaves twice that.
    QTest::newRow("110 baud: twice the line time") << 0 << qint64(10) << qint64(2190);
    QTest::newRow("300 baud: twice the line time") << 1 << qint64(10) << qint64(800);
}

void TestDeviceSender::writeBudget()
{
    QFETCH(int, baudIndex);
    QFETCH(qint64, count);
    CSerialPort port;
    PortConfig config;
    config.baudIndex = baudIndex;
    port.SetConfig(config);
    QTEST(port.WriteBudgetMs(count), "expectedMs");
}

void TestDeviceSender::longMessageWhileEventLoopRuns()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty, 10); // 56000 baud: 0.4 s on the line
    FarEnd farEnd(pty);
    // The line stays stopped until a timer of this thread starts it: a sender that blocked the
    // thread would never see it start.
    pty.SuspendSlaveOutput();
    QObject scope; // a failed check returns early: the timer must not outlive the pty
    QTimer::singleShot(150, &scope, [&] { pty.ResumeSlaveOutput(); });
    CDeviceSender sender(port.GetConfig());
    QSignalSpy progress(&sender, &CDeviceSender::progress);
    const QByteArray stream = Pattern(2000);
    QVERIFY(StartText(sender, stream));
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Ok);
    QVERIFY(!port.IsOpen());
    QTRY_COMPARE(farEnd.m_received, TextFrameOf(stream));
    QVERIFY(progress.size() >= 2);
    QCOMPARE(progress.last().at(0).toLongLong(), qint64(2004));
    QCOMPARE(progress.last().at(1).toLongLong(), qint64(2004));
}

void TestDeviceSender::cancelMidway()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty);
    pty.SuspendSlaveOutput();
    CDeviceSender sender(port.GetConfig());
    QVERIFY(StartText(sender, Pattern(2000)));
    QTimer::singleShot(100, &sender, &CDeviceSender::Cancel);
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Cancelled);
    QVERIFY(!port.IsOpen());
    QCOMPARE(CDeviceSender::TextMessage(sender.GetResult()), QStringLiteral("Передача прервана."));
    // What was still queued went nowhere, and the port is free for the next transfer.
    pty.ResumeSlaveOutput();
    QVERIFY(pty.ReadAll(200).size() < 2004);
    CSerialPort other;
    PointAt(other, pty);
    QVERIFY2(other.Open(), qPrintable(other.m_szLastError));
}

void TestDeviceSender::settingsFramesWithPauses()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty);
    StampingFarEnd farEnd(pty);
    // Stamped on the sender's own thread as each frame starts and ends draining, the drain
    // taking the wire time of a real line: a busy machine can make a stamp late but never early,
    // so the gaps below hold without any slack.
    QElapsedTimer clock;
    clock.start();
    std::mutex mutex;
    QList<qint64> drainStart;
    QList<qint64> drainEnd;
    NativePort::SetDrainForTest([&](NativePort::Handle) {
        const qint64 start = clock.elapsed();
        QThread::msleep(50);
        std::lock_guard<std::mutex> guard(mutex);
        drainStart << start;
        drainEnd << clock.elapsed();
        return true;
    });
    CDeviceSender sender(port.GetConfig());
    sender.SetSettingsWaits(1000, 150);
    std::vector<PictureEntry> pictures(2);
    pictures[0].bShown = true;
    pictures[0].nDuration = 5;
    pictures[0].nNumber = 3;
    QVERIFY(sender.StartDeviceSettings(true, false, true, pictures));
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Ok);
    const qint64 finishedAt = clock.elapsed();
    NativePort::SetDrainForTest({});
    QTRY_COMPARE(farEnd.Arrivals().size(), 2);
    const auto arrivals = farEnd.Arrivals();
    QCOMPARE(arrivals[0].second, QByteArray("\x00\x05", 2));
    QCOMPARE(arrivals[1].second, QByteArray("\x01\x05\x03\x00", 4));
    // Never shorter than asked: the second frame leaves only after the first drained and the
    // whole pause passed, and the job ends only after the second pause. A coarse timer would end
    // a pause up to 50 ms early.
    QCOMPARE(drainEnd.size(), 2);
    const qint64 pause = drainStart[1] - drainEnd[0];
    QVERIFY2(pause >= 1000, qPrintable(QString::number(pause)));
    QVERIFY2(finishedAt - drainEnd[1] >= 150,
             qPrintable(QString::number(finishedAt - drainEnd[1])));
}

void TestDeviceSender::secondOpenRefused_data()
{
    QTest::addColumn<bool>("otherProgram");
    QTest::newRow("second port of this program") << false;
    // A program that only takes an advisory lock (root passes the kernel's exclusive flag).
    QTest::newRow("another program's lock") << true;
}

void TestDeviceSender::secondOpenRefused()
{
    QFETCH(bool, otherProgram);
    PtyPair pty;
    CSerialPort holder;
    PointAt(holder, pty, 6);
    QVERIFY(holder.Open());
    int otherLock = -1;
    if (otherProgram) {
        holder.Close();
        otherLock = ::open(qPrintable(pty.SlaveName()), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        QVERIFY(otherLock >= 0);
        QCOMPARE(::flock(otherLock, LOCK_EX | LOCK_NB), 0);
    }
    const termios before = pty.SlaveAttributes();
    CSerialPort port;
    PointAt(port, pty, 3);
    CDeviceSender sender(port.GetConfig());
    QVERIFY(StartText(sender, Pattern(4)));
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::OpenFailed);
    QCOMPARE(sender.Outcome().refusal.lastError, QStringLiteral("Не удается открыть порт."));
    QVERIFY(sender.Outcome().refusal.serialError != 0);
    QVERIFY(sender.Outcome().refusal.systemError != 0);
    // The refused attempt left the holder's line as it was.
    termios after = pty.SlaveAttributes();
    QCOMPARE(cfgetospeed(&after), cfgetospeed(&before));
    QCOMPARE(after.c_cflag, before.c_cflag);

    holder.Close();
    if (otherLock >= 0)
        ::close(otherLock);
    QVERIFY(StartText(sender, Pattern(4)));
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Ok);
}

void TestDeviceSender::lockHeldWhileOpen()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty);
    QVERIFY(port.Open());
    const int other = ::open(qPrintable(pty.SlaveName()), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), -1);
    port.Close();
    QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

void TestDeviceSender::deviceVanishes()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty);
    pty.SuspendSlaveOutput();
    CDeviceSender sender(port.GetConfig());
    QVERIFY(StartText(sender, Pattern(2000))); // a 40 s budget
    QObject scope; // a failed check returns early: the timer must not outlive the pty
    QTimer::singleShot(100, &scope, [&] { pty.CloseMaster(); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::WriteFailed);
    QVERIFY2(clock.elapsed() < 20000, "waited out the budget instead of seeing the hang-up");
    QCOMPARE(CDeviceSender::TextMessage(sender.GetResult()),
             QStringLiteral("Передача данных не удалась."));
    QVERIFY(!port.IsOpen());

    PtyPair next;
    PointAt(port, next);
    sender.SetConfig(port.GetConfig());
    FarEnd farEnd(next);
    QVERIFY(StartText(sender, Pattern(10)));
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Ok);
    QTRY_COMPARE(farEnd.m_received, TextFrameOf(Pattern(10)));
}

void TestDeviceSender::stalledFarEnd()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty);
    pty.SuspendSlaveOutput();
    CDeviceSender sender(port.GetConfig());
    QVERIFY(StartText(sender, Pattern(6))); // 10 bytes: 200 ms
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::WriteFailed);
    QVERIFY(clock.elapsed() >= 190);
    QVERIFY(!port.IsOpen());
}

void TestDeviceSender::openFailureReported()
{
    CSerialPort port;
    PortConfig config;
    config.portName = QStringLiteral("/dev/tavrix-no-such-port");
    port.SetConfig(config);
    CDeviceSender sender(port.GetConfig());
    QSignalSpy finished(&sender, &CDeviceSender::finished);
    QVERIFY(StartText(sender, Pattern(4)));
    QVERIFY(!StartText(sender, Pattern(4))); // one job at a time
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::OpenFailed);
    QVERIFY(!sender.IsRunning());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(sender.Outcome().refusal.lastError, QStringLiteral("Не удается открыть порт."));
    QCOMPARE(sender.Outcome().refusal.systemError, ENOENT);
}

void TestDeviceSender::cancelHoldsInEveryPhase_data()
{
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<bool>("held");   // the far end takes nothing: the bytes wait in the driver
    QTest::addColumn<int>("drainMs"); // a drain that takes this long, 0: the system's
    QTest::addColumn<int>("cancelAtMs");
    QTest::addColumn<QByteArray>("wire");
    const QByteArray flags("\x00\x05", 2);
    // Counted from the start when held, from the drain's start, or from the flags' arrival.
    QTest::newRow("queued in the driver") << 3 << true << 0 << 100 << QByteArray();
    QTest::newRow("in the drain") << 3 << false << 400 << 100 << flags;
    // 4 characters of 12 bits at 110 baud take 436 ms after the first byte.
    QTest::newRow("waiting for the line") << 0 << false << 0 << 150 << flags;
    QTest::newRow("pausing") << 3 << false << 0 << 300 << flags;
}

void TestDeviceSender::cancelHoldsInEveryPhase()
{
    QFETCH(int, baudIndex);
    QFETCH(bool, held);
    QFETCH(int, drainMs);
    QFETCH(int, cancelAtMs);
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty, baudIndex);
    if (held)
        pty.SuspendSlaveOutput();
    StampingFarEnd farEnd(pty);
    std::atomic<qint64> drainAt{-1};
    std::atomic<int> inDrain{0};
    if (drainMs > 0) {
        NativePort::SetDrainForTest([&](NativePort::Handle) {
            ++inDrain;
            drainAt = farEnd.m_clock.elapsed();
            QThread::msleep(ulong(drainMs));
            --inDrain;
            return true;
        });
    }
    CDeviceSender sender(port.GetConfig());
    sender.SetSettingsWaits(1000, 150);
    std::vector<PictureEntry> pictures(1);
    pictures[0].bShown = true;
    QVERIFY(sender.StartDeviceSettings(true, false, true, pictures));
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        const auto arrivals = farEnd.Arrivals();
        const qint64 from = held                 ? 0
                            : drainMs > 0        ? qint64(drainAt)
                            : arrivals.isEmpty() ? -1
                                                 : arrivals.first().first;
        if (from >= 0 && farEnd.m_clock.elapsed() - from >= cancelAtMs) {
            poll.stop();
            sender.Cancel();
        }
    });
    poll.start(2);
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Cancelled);
    QTRY_COMPARE(int(inDrain), 0);
    NativePort::SetDrainForTest({});
    // The job has closed the port: nothing more can reach the line.
    CSerialPort other;
    PointAt(other, pty);
    QVERIFY2(other.Open(), qPrintable(other.m_szLastError));
    other.Close();
    pty.ResumeSlaveOutput();
    QTest::qWait(50);
    QByteArray wire;
    for (const auto& arrival : farEnd.Arrivals())
        wire += arrival.second;
    QTEST(wire, "wire");
}

// A pseudo-terminal drains at once, as a USB bridge without a transmitter-empty report does.
void TestDeviceSender::sentNoEarlierThanTheLine()
{
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty); // 1200 baud, 8 bits, mark parity, 2 stop bits: 100 characters a second
    FarEnd farEnd(pty);
    CDeviceSender sender(port.GetConfig());
    QElapsedTimer clock;
    QList<QPair<qint64, qint64>> shown; // elapsed, bytes shown as sent
    connect(&sender, &CDeviceSender::progress, this, [&](qint64 sent) {
        shown.append({clock.elapsed(), sent});
    });
    clock.start();
    QVERIFY(StartText(sender, Pattern(46))); // 50 bytes, and two characters more: 520 ms
    QCOMPARE(sender.WaitForResult(), CDeviceSender::Result::Ok);
    const qint64 finishedAt = clock.elapsed();
    QVERIFY2(finishedAt >= 520, qPrintable(QString::number(finishedAt)));
    QCOMPARE(farEnd.m_received.size(), 50);
    // The bar follows the line, not the pseudo-terminal that took everything at once.
    QVERIFY(shown.size() >= 3);
    for (const auto& [at, sent] : shown.mid(0, shown.size() - 1))
        QVERIFY2(sent <= at / 10 + 1,
                 qPrintable(QStringLiteral("%1 bytes at %2 ms").arg(sent).arg(at)));
}

void TestDeviceSender::drainThatNeverReturns_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<CDeviceSender::Result>("result");
    QTest::newRow("deadline") << false << CDeviceSender::Result::WriteFailed;
    QTest::newRow("cancelled") << true << CDeviceSender::Result::Cancelled;
}

void TestDeviceSender::drainThatNeverReturns()
{
    QFETCH(bool, cancel);
    PtyPair pty;
    CSerialPort port;
    PointAt(port, pty, 10);
    std::atomic<bool> release{false};
    std::atomic<int> inDrain{0};
    NativePort::SetDrainForTest([&](NativePort::Handle) {
        ++inDrain;
        while (!release)
            QThread::msleep(5);
        --inDrain;
        return true;
    });
    QElapsedTimer clock;
    clock.start();
    {
        CDeviceSender sender(port.GetConfig());
        sender.SetDeadlineMargin(cancel ? 60000 : 300);
        QVERIFY(StartText(sender, Pattern(4)));
        if (cancel)
            QTimer::singleShot(100, &sender, &CDeviceSender::Cancel);
        QTEST(sender.WaitForResult(), "result");
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(int(inDrain), 1);              // the job's thread is still held; the owner went on
        QVERIFY(StartText(sender, Pattern(4))); // and may start the next job
    } // the sender goes while both threads are held: it waits its grace, no longer
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    release = true;
    QTRY_COMPARE(int(inDrain), 0);
    NativePort::SetDrainForTest({});
}

void TestDeviceSender::resultTexts_data()
{
    using R = CDeviceSender::Result;
    QTest::addColumn<CDeviceSender::Result>("result");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("settings");
    QTest::newRow("ok") << R::Ok << "Передача данных успешно завершена!!!"
                        << "Настройки успешно переданы в устройство!";
    QTest::newRow("open failed")
        << R::OpenFailed << "Не удается открыть последовательный порт."
        << "Не удается открыть порт. Проверьте настройки последовательного порта.";
    QTest::newRow("write failed") << R::WriteFailed << "Передача данных не удалась."
                                  << "Не удается передать настройки в устройство.";
    QTest::newRow("cancelled") << R::Cancelled << "Передача прервана."
                               << "Передача прервана.";
}

void TestDeviceSender::resultTexts()
{
    QFETCH(CDeviceSender::Result, result);
    QTEST(CDeviceSender::TextMessage(result), "text");
    QTEST(CDeviceSender::SettingsMessage(result), "settings");
}

QTEST_GUILESS_MAIN(TestDeviceSender)
#include "tst_devicesender.moc"
