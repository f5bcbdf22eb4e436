#include "../cli/clifixture.h"
#include "mosquitto.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <atomic>
#include <memory>
#include <poll.h>
#include <thread>

namespace
{

constexpr int kAgents = 3;
constexpr int kDisplaysEach = 20;

// A display that takes in at most 110 bytes a second, as a slow one does; the moment its first
// byte arrives is caught within a few milliseconds.
class SlowFarEnd
{
public:
    explicit SlowFarEnd(PtyPair& pty, const QElapsedTimer& clock)
    {
        m_thread = std::thread([this, fd = pty.MasterFd(), &clock] {
            pollfd one{fd, POLLIN, 0};
            while (!m_stop && m_received.isEmpty()) {
                char buffer[11];
                if (::poll(&one, 1, 5) > 0) {
                    const ssize_t n = ::read(fd, buffer, sizeof buffer);
                    if (n > 0) {
                        m_firstMs = clock.elapsed();
                        m_received.append(buffer, int(n));
                    }
                }
            }
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                char buffer[11];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0)
                    m_received.append(buffer, int(n));
            }
        });
    }
    ~SlowFarEnd() { Received(); }
    QByteArray Received()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_received;
    }
    qint64 FirstMs() const { return m_firstMs; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_firstMs{-1};
    QByteArray m_received;
    std::thread m_thread;
};

qint64 PeakRssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

QByteArray Message()
{
    QByteArray stream(2000, 'A');
    for (int i = 0; i < stream.size(); i += 50)
        stream[i] = char('0' + i / 50 % 10);
    return stream;
}

} // namespace

class BenchMqtt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sixtyDisplaysOfThreeSites();
};

// One local `send` to a slow display, then three agents of twenty such displays each, all of them
// sent to at once through the broker: the whole against the one, the delay to each line's first
// byte, and each agent's peak resident memory.
void BenchMqtt::sixtyDisplaysOfThreeSites()
{
    QStringList sites;
    for (int i = 1; i <= kAgents; ++i)
        sites << QStringLiteral("shop%1").arg(i);
    Mosquitto broker(sites);
    QVERIFY(broker.IsReady());
    CliProgram cli;
    QVERIFY(cli.IsValid());
    // `agent` hands over to the agent's own build of the program beside it, as installed.
    QVERIFY(QFile::copy(QStringLiteral(TAVRIX_AGENT_EXE),
                        cli.Path(QStringLiteral("tavrix-editor-agent"))));
    const QByteArray stream = Message();
    const QString file = cli.WriteFile(QStringLiteral("m.tvd"), stream);
    const QByteArray frame = HexBytes("02 00 00") + stream + '\r';
    QElapsedTimer clock;

    PtyPair local;
    clock.start();
    SlowFarEnd localEnd(local, clock);
    const CliResult sent =
        cli.Run({QStringLiteral("send"), file, QStringLiteral("--port"), local.SlaveName(),
                 QStringLiteral("--baud"), QStringLiteral("1200")},
                false, 60000);
    const qint64 localMs = clock.elapsed();
    QCOMPARE(sent.exitCode, 0);
    QTest::qWait(1500);
    QCOMPARE(localEnd.Received(), frame);

    std::vector<std::unique_ptr<PtyPair>> ptys;
    std::vector<std::unique_ptr<QProcess>> agents;
    for (const QString& site : sites) {
        QByteArray list;
        for (int d = 1; d <= kDisplaysEach; ++d) {
            ptys.push_back(std::make_unique<PtyPair>());
            list += QStringLiteral("[Табло %1]\nport = %2\nbaud = 1200\n\n")
                        .arg(d)
                        .arg(ptys.back()->SlaveName())
                        .toUtf8();
        }
        const QString displays = cli.WriteFile(site + QStringLiteral(".ini"), list);
        agents.push_back(std::make_unique<QProcess>());
        cli.Prepare(*agents.back());
        agents.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        agents.back()->start(cli.Program(),
                             {QStringLiteral("agent"), QStringLiteral("--broker"), broker.Url(),
                              QStringLiteral("--site"), site, QStringLiteral("--displays"),
                              displays, QStringLiteral("--user"), QStringLiteral("agent"),
                              QStringLiteral("--password-file"),
                              broker.PasswordFile(QStringLiteral("agent"))});
    }
    for (const QString& site : sites) {
        QElapsedTimer wait;
        wait.start();
        while (broker.Retained(QStringLiteral("tavrix/%1/status").arg(site), 1) != "online" &&
               wait.elapsed() < 10000) {
        }
    }

    std::vector<std::unique_ptr<SlowFarEnd>> farEnds;
    clock.restart();
    for (const auto& pty : ptys)
        farEnds.push_back(std::make_unique<SlowFarEnd>(*pty, clock));
    std::vector<std::unique_ptr<QProcess>> publishers;
    for (const QString& site : sites) {
        publishers.push_back(std::make_unique<QProcess>());
        cli.Prepare(*publishers.back());
        publishers.back()->start(cli.Program(),
                                 {QStringLiteral("publish"), file, QStringLiteral("--all"),
                                  QStringLiteral("--broker"), broker.Url(),
                                  QStringLiteral("--site"), site, QStringLiteral("--user"),
                                  QStringLiteral("publisher"), QStringLiteral("--password-file"),
                                  broker.PasswordFile(QStringLiteral("publisher"))});
    }
    int ok = 0;
    for (const auto& publisher : publishers) {
        QVERIFY(publisher->waitForFinished(120000));
        QCOMPARE(publisher->exitCode(), 0);
        ok += int(publisher->readAllStandardOutput().count("успешно"));
    }
    const qint64 allMs = clock.elapsed();
    qint64 firstMs = 0;
    for (const auto& farEnd : farEnds)
        firstMs = std::max(firstMs, farEnd->FirstMs());
    QList<qint64> peaks;
    for (const auto& agent : agents) {
        peaks << PeakRssKb(agent->processId());
        QCOMPARE(
            QFileInfo(
                QFileInfo(QStringLiteral("/proc/%1/exe").arg(agent->processId())).symLinkTarget())
                .fileName(),
            QStringLiteral("tavrix-editor-agent"));
    }
    for (const auto& agent : agents) {
        agent->terminate();
        agent->waitForFinished(5000);
    }
    QTest::qWait(1500);
    int intact = 0;
    for (const auto& farEnd : farEnds)
        intact += farEnd->Received() == frame ? 1 : 0;
    QCOMPARE(ok, kAgents * kDisplaysEach);
    QCOMPARE(intact, kAgents * kDisplaysEach);

    qInfo("one local send: %.2f s; %d displays through %d agents: %.2f s (%.3f times one; aim at "
          "most 1.1)",
          localMs / 1000.0, kAgents * kDisplaysEach, kAgents, allMs / 1000.0,
          double(allMs) / double(localMs));
    qInfo("publish to the first byte on every line: at most %lld ms (aim at most 300 ms)", firstMs);
    qInfo("agents' peak resident memory (VmHWM): %lld, %lld, %lld KB (aim at most 20480 KB)",
          peaks.value(0), peaks.value(1), peaks.value(2));
}

QTEST_GUILESS_MAIN(BenchMqtt)
#include "tst_bench_mqtt.moc"
