#include "../cli/clifixture.h"
#include "mosquitto.h"
#include "ptypair.h"

#include <QElapsedTimer>
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
    SlowFarEnd(PtyPair& pty, const QElapsedTimer& clock)
    {
        m_thread = std::thread([this, fd = pty.MasterFd(), &clock] {
            pollfd one{fd, POLLIN, 0};
            while (!m_stop) {
                const bool first = m_received.isEmpty();
                if (first ? ::poll(&one, 1, 5) <= 0 : (usleep(100 * 1000), false))
                    continue;
                char buffer[11];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0 && first)
                    m_firstMs = clock.elapsed();
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
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

class BenchMqtt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sixtyDisplaysOfThreeSites();
};

// One local `send` to a slow display, then three agents of twenty such displays each, all sent
// to at once through the broker: the whole against the one, the delay to each line's first byte,
// and each agent's peak resident memory.
void BenchMqtt::sixtyDisplaysOfThreeSites()
{
    const QStringList sites{QStringLiteral("shop1"), QStringLiteral("shop2"),
                            QStringLiteral("shop3")};
    Mosquitto broker(sites);
    QVERIFY(broker.IsReady());
    CliProgram cli;
    // `agent` hands over to the agent's own build of the program beside it, as installed.
    QVERIFY(cli.IsValid() && QFile::copy(QStringLiteral(TAVRIX_AGENT_EXE),
                                         cli.Path(QStringLiteral("tavrix-editor-agent"))));
    QByteArray stream(2000, 'A');
    for (int i = 0; i < stream.size(); i += 50)
        stream[i] = char('0' + i / 50 % 10);
    const QString file = cli.WriteFile(QStringLiteral("m.tvd"), stream);
    const QByteArray frame = HexBytes("02 00 00") + stream + '\r';
    QElapsedTimer clock;

    PtyPair local;
    clock.start();
    SlowFarEnd localEnd(local, clock);
    const CliResult sent = cli.Run(
        QStringLiteral("send %1 --port %2 --baud 1200").arg(file, local.SlaveName()).split(u' '),
        false, 60000);
    const qint64 localMs = clock.elapsed();
    QCOMPARE(sent.exitCode, 0);
    QTest::qWait(1500);
    QCOMPARE(localEnd.Received(), frame);

    std::vector<std::unique_ptr<PtyPair>> ptys;
    std::vector<std::unique_ptr<QProcess>> agents;
    std::vector<std::unique_ptr<QProcess>> publishers;
    auto start = [&](std::vector<std::unique_ptr<QProcess>>& set, const QString& args) {
        set.push_back(std::make_unique<QProcess>());
        cli.Prepare(*set.back());
        set.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        set.back()->start(cli.Program(), args.split(u' '));
    };
    for (const QString& site : sites) {
        QByteArray list;
        for (int d = 1; d <= kDisplaysEach; ++d) {
            ptys.push_back(std::make_unique<PtyPair>());
            list += QStringLiteral("[Табло %1]\nport = %2\nbaud = 1200\n")
                        .arg(d)
                        .arg(ptys.back()->SlaveName())
                        .toUtf8();
        }
        start(agents, QStringLiteral("agent --broker %1 --site %2 --displays %3 --user agent "
                                     "--password-file %4")
                          .arg(broker.Url(), site, cli.WriteFile(site + ".ini", list),
                               broker.PasswordFile(QStringLiteral("agent"))));
    }
    QElapsedTimer wait;
    wait.start();
    for (const QString& site : sites)
        while (broker.Retained(QStringLiteral("tavrix/%1/status").arg(site), 1) != "online" &&
               wait.elapsed() < 10000) {
        }

    std::vector<std::unique_ptr<SlowFarEnd>> farEnds;
    clock.restart();
    for (const auto& pty : ptys)
        farEnds.push_back(std::make_unique<SlowFarEnd>(*pty, clock));
    for (const QString& site : sites)
        start(publishers,
              QStringLiteral("publish %1 --all --broker %2 --site %3 --user publisher "
                             "--password-file %4")
                  .arg(file, broker.Url(), site, broker.PasswordFile(QStringLiteral("publisher"))));
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
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(agent->processId())).symLinkTarget(),
                 cli.Path(QStringLiteral("tavrix-editor-agent")));
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
