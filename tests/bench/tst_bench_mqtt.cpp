#include "../cli/clifixture.h"
#include "mosquitto.h"
#include "ptypair.h"
#include "slowfarend.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>

namespace
{

constexpr int kAgents = 3;
constexpr int kDisplaysEach = 20;

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
    SlowFarEnd localEnd(local, &clock);
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
        farEnds.push_back(std::make_unique<SlowFarEnd>(*pty, &clock));
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
        peaks << ProcStatusKb("VmHWM", QString::number(agent->processId()));
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
