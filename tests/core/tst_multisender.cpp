#include "device/multisender.h"
#include "device/transferjournal.h"
#include "ptypair.h"
#include "ser2net.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TestMultiSender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portKey_data();
    void portKey();
    void cancelOneThenAll();
    void oneServerManyWords();
    void journalLines_data();
    void journalLines();
};

void TestMultiSender::portKey_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("key");
#ifdef _WIN32
    // Windows names a port the same in any case.
    QTest::newRow("first PC port in lower case") << "com1"
                                                 << "COM1";
    QTest::newRow("port above COM9") << "Com10"
                                     << "COM10";
#else
    QTest::newRow("short pty name") << "pts/3"
                                    << "/dev/pts/3";
    QTest::newRow("full device path") << "/dev/pts/3"
                                      << "/dev/pts/3";
    QTest::newRow("first PC port") << "COM1"
                                   << "/dev/ttyS0";
#endif
    QTest::newRow("server word in any case") << "TCP://Host:4001"
                                             << "host:4001";
    QTest::newRow("server word, either scheme") << "rfc2217://host:4001"
                                                << "host:4001";
}

void TestMultiSender::portKey()
{
    QFETCH(QString, word);
    QFETCH(QString, key);
    QCOMPARE(CMultiSender::PortKey(word), key);
}

// The second display on a stalled port is cancelled while it waits for its turn, then all are:
// the display on a port of its own has already got its frame.
void TestMultiSender::cancelOneThenAll()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    PtyPair stalled;
    PtyPair free;
    stalled.SuspendSlaveOutput();
    const auto entry = [](const char* name, const PtyPair& pty) {
        return DisplayEntry{QString::fromUtf8(name), PortConfig{pty.SlaveName(), 6, 4, 2, 1}};
    };
    CMultiSender multi;
    QSignalSpy ended(&multi, &CMultiSender::displayFinished);
    QSignalSpy all(&multi, &CMultiSender::finished);
    QVERIFY(multi.Start({entry("Склад", stalled), entry("Касса", stalled), entry("Зал", free)},
                        {CDeviceSender::Frame{QByteArray(500, 'A'), 0}}));
    QVERIFY(!multi.Start({entry("Зал", free)}, {}));
    multi.Cancel(1);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended[0][0].toInt(), 1);
    QTRY_VERIFY(multi.IsDone(2));
    QVERIFY(!multi.IsDone(0));
    multi.Cancel();
    multi.WaitForAll();
    QCOMPARE(all.size(), 1);
    QCOMPARE(multi.Result(0), CDeviceSender::Result::Cancelled);
    QCOMPARE(multi.Result(1), CDeviceSender::Result::Cancelled);
    QCOMPARE(multi.Result(2), CDeviceSender::Result::Ok);
    QCOMPARE(multi.OkCount(), 1);
    QCOMPARE(free.ReadAll().size(), 500);
}

// One raw port of a server, named by three words: the frames go one after another, each whole.
void TestMultiSender::oneServerManyWords()
{
#ifdef Q_OS_WIN
    QSKIP("ser2net, the server in front of the line, is a Linux program");
#endif
    PtyPair pty;
    Ser2Net server(pty.SlaveName(), false);
    QVERIFY(server.IsReady());
    QByteArray frame(304, '\0');
    for (int i = 0; i < frame.size(); ++i)
        frame[i] = char('A' + i % 26);
    QList<DisplayEntry> displays;
    for (const char* word : {"tcp://127.0.0.1:%1", "tcp://localhost:%1", "TCP://127.0.0.1:%1"})
        displays.append({QString::fromUtf8(word).arg(server.Port()),
                         PortConfig{QString::fromUtf8(word).arg(server.Port()), 9, 4, 2, 1}});
    CMultiSender multi;
    QVERIFY(multi.Start(displays, {CDeviceSender::Frame{frame, 0}}));
    multi.WaitForAll();
    QCOMPARE(multi.OkCount(), 3);
    QByteArray shown;
    for (QByteArray got; !(got = pty.ReadAll(300)).isEmpty();)
        shown += got;
    QCOMPARE(shown, frame.repeated(3));
}

// Each row: whether two displays on one stalled line are sent to (the second cancelled before
// its turn, then both) or the port of the settings file through one sender, the frames, and the
// journal the senders write, as a pattern (PORT the line's device).
void TestMultiSender::journalLines_data()
{
    QTest::addColumn<bool>("several");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("journal");
    QTest::newRow("a message") << false << 1 << "^\\S+ \\S+\t-\tPORT\t2/2\tok\n$";
    QTest::newRow("a port check is no transfer") << false << 0 << "^$";
    QTest::newRow("none for a display cancelled before its turn")
        << true << 1 << "^\\S+ \\S+\tСклад\tPORT\t\\d/2\tcancelled\n$";
}

void TestMultiSender::journalLines()
{
    QFETCH(bool, several);
    QFETCH(int, frames);
    QFETCH(QString, journal);
    if (several && !PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    const qsizetype before = CTransferJournal().Text().size();
    PtyPair pty;
    if (several)
        pty.SuspendSlaveOutput();
    const PortConfig config{pty.SlaveName(), 9};
    const QList<CDeviceSender::Frame> sent(frames, CDeviceSender::Frame{"AB", 0});
    CDeviceSender sender(config);
    CMultiSender multi;
    if (several) {
        QVERIFY(multi.Start({{"Склад", config}, {"Касса", config}}, sent));
        multi.Cancel(1);
        multi.Cancel();
        multi.WaitForAll();
    } else {
        QVERIFY(sender.Start(sent));
        sender.WaitForResult();
    }
    journal.replace(QStringLiteral("PORT"), QRegularExpression::escape(pty.SlaveName()));
    const QString written = CTransferJournal().Text().mid(before);
    QVERIFY2(QRegularExpression(journal).match(written).hasMatch(), qPrintable(written));
}

QTEST_GUILESS_MAIN(TestMultiSender)
#include "tst_multisender.moc"
