#include "clifixture.h"
#include "ptypair.h"

#include <QTest>
#include <array>
#include <optional>
#include <tuple>

namespace
{

const QByteArray kHeader =
    "# Табло tavrix-editor: по разделу на табло, значения линии, не номера.\n"
    "# port: ttyUSB0, COM1, tcp://ХОСТ:ПОРТ, rfc2217://ХОСТ:ПОРТ\n"
    "# baud: 110 ... 56000; data: 5-8; stop: 1, 1.5, 2; parity-check: on, off\n"
    "# (бит четности всегда передается единицей, mark)\n";

const QByteArray kTwo = "[Касса]\nport = ttyS0\n\n[Витрина 1]\nport = ttyS1\nbaud = 9600\n";

} // namespace

class TestCliDisplays : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_cli.emplace().IsValid()); }
    void editList_data();
    void editList();
    void sendToAll();
    void sendToAllEnds_data();
    void sendToAllEnds();
    void sendRefuses_data();
    void sendRefuses();

private:
    std::optional<CliProgram> m_cli;
};

// Each row: the list beside the program before (empty: none), the arguments after "displays
// --displays list.ini", the status and stderr, what "displays" then lists and the file after a
// change (empty where it is the same as before).
void TestCliDisplays::editList_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QByteArray>("written");
    const QString two = QStringLiteral("Касса\tttyS0\t1200\nВитрина 1\tttyS1\t9600\n");
    QTest::newRow("add to a new list")
        << QByteArray() << QStringList{"--add", "Зал", "--port", "tcp://10.0.0.5:4001"} << 0
        << QString() << QStringLiteral("Зал\ttcp://10.0.0.5:4001\t1200\n")
        << kHeader + "\n[Зал]\nport = tcp://10.0.0.5:4001\nbaud = 1200\ndata = 8\nstop = 2\n"
                     "parity-check = on\n";
    QTest::newRow("remove, whatever the case")
        << kTwo << QStringList{"--remove", "касса"} << 0 << QString()
        << QStringLiteral("Витрина 1\tttyS1\t9600\n") << kTwo.mid(kTwo.indexOf("\n\n") + 1);
    QTest::newRow("add keeps what was written by hand")
        << QByteArray("# added by hand\r\n[Касса]\r\n# the till\r\nport = ttyS0\r\n# end\r\n")
        << QStringList{"--add", "Зал", "--port", "ttyS2"} << 0 << QString()
        << QStringLiteral("Касса\tttyS0\t1200\nЗал\tttyS2\t1200\n")
        << QByteArray("# added by hand\r\n[Касса]\r\n# the till\r\nport = ttyS0\r\n# end\r\n\r\n"
                      "[Зал]\r\nport = ttyS2\r\nbaud = 1200\r\ndata = 8\r\nstop = 2\r\n"
                      "parity-check = on\r\n");
    QTest::newRow("empty name") << kTwo << QStringList{"--add", " ", "--port", "ttyS2"} << 2
                                << QStringLiteral("Пустое имя табло.") << two << QByteArray();
    QTest::newRow("duplicate name")
        << kTwo << QStringList{"--add", "КАССА", "--port", "ttyS2"} << 2
        << QStringLiteral("Табло «КАССА» уже есть в списке.") << two << QByteArray();
    QTest::newRow("malformed server word")
        << kTwo << QStringList{"--add", "Зал", "--port", "tcp://10.0.0.5"} << 2
        << QStringLiteral("«tcp://10.0.0.5» — не адрес сетевого порта. Адрес записывается как "
                          "tcp://СЕРВЕР:ПОРТ или rfc2217://СЕРВЕР:ПОРТ.")
        << two << QByteArray();
    QTest::newRow("baud not taken")
        << kTwo << QStringList{"--add", "Зал", "--port", "ttyS2", "--baud", "1000"} << 2
        << QStringLiteral("Скорость «1000» не поддерживается; возможны: 110, 300, 600, 1200, 2400, "
                          "4800, 9600, 14400, 19200, 38400, 56000.")
        << two << QByteArray();
    QTest::newRow("add without a port")
        << kTwo << QStringList{"--add", "Зал"} << 2
        << QStringLiteral("Новому табло нужен порт: «--port».") << two << QByteArray();
    QTest::newRow("remove one not there")
        << kTwo << QStringList{"--remove", "Зал"} << 2
        << QStringLiteral("Табло «Зал» нет в списке «list.ini».") << two << QByteArray();
    QTest::newRow("a broken entry is kept, not rewritten")
        << kTwo + "[Зал]\nport = ttyS2\nparity = odd\n"
        << QStringList{"--remove", "Касса"} << 3
        << QStringLiteral("list.ini:9: табло «Зал» пропущено: Значение parity = odd не "
                          "поддерживается; возможны: mark, none.\n"
                          "tavrix-editor: В списке «list.ini» есть записи с ошибками: исправьте "
                          "их, затем повторите.")
        << two << QByteArray();
}

void TestCliDisplays::editList()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QFETCH(QString, listed);
    QFETCH(QByteArray, written);
    if (!before.isEmpty())
        m_cli->WriteFile(QStringLiteral("list.ini"), before);
    const QStringList list = {"displays", "--displays", "list.ini"};
    const CliResult result = m_cli->Run(list + args);
    QCOMPARE(QString::fromUtf8(result.err), err.isEmpty() ? err : "tavrix-editor: " + err + "\n");
    QCOMPARE(result.exitCode, exitCode);
    const CliResult shown = m_cli->Run(list);
    QCOMPARE(QString::fromUtf8(shown.out), listed);
    QCOMPARE(FileBytes(m_cli->Path(QStringLiteral("list.ini"))),
             written.isEmpty() ? before : written);
}

// Five displays, two on one pseudo-terminal and one whose far end goes away in the middle: each
// gets a line, the one that failed sets the status, and the four others get every byte.
void TestCliDisplays::sendToAll()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    std::array<PtyPair, 4> ptys;
    QByteArray list;
    // The one that goes away is slow enough to be in the middle of its frame when it does.
    const QList<std::tuple<QByteArray, int, QByteArray>> displays = {{"Витрина 1", 0, "9600"},
                                                                     {"Витрина 2", 1, "9600"},
                                                                     {"Касса", 1, "9600"},
                                                                     {"Склад", 2, "1200"},
                                                                     {"Зал", 3, "9600"}};
    for (const auto& [name, pty, baud] : displays)
        list +=
            "[" + name + "]\nport = " + ptys[pty].SlaveName().toUtf8() + "\nbaud = " + baud + "\n";
    QVERIFY(QDir().mkpath(m_cli->ConfigPath(QString())));
    QVERIFY(WriteFileBytes(m_cli->ConfigPath(QStringLiteral("displays.ini")), list));
    ptys[2].SuspendSlaveOutput();
    QProcess process;
    m_cli->Prepare(process);
    const QByteArray message(300, 'A');
    m_cli->WriteFile(QStringLiteral("m.tvd"), message);
    process.start(m_cli->Program(), {"send", "--all", "m.tvd"});
    QVERIFY(process.waitForStarted());
    QTest::qWait(700);
    QCOMPARE(process.state(), QProcess::Running);
    ptys[2].CloseMaster();
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), 5);
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeLast(), QStringLiteral("Передано на 4 из 5 табло."));
    lines.sort();
    const QString ok = QStringLiteral("Передача данных успешно завершена!!!");
    QCOMPARE(lines,
             QStringList({"Витрина 1\t" + ptys[0].SlaveName() + "\t" + ok,
                          "Витрина 2\t" + ptys[1].SlaveName() + "\t" + ok,
                          "Зал\t" + ptys[3].SlaveName() + "\t" + ok,
                          "Касса\t" + ptys[1].SlaveName() + "\t" + ok,
                          "Склад\t" + ptys[2].SlaveName() + "\tПередача данных не удалась."}));
    const QByteArray frame = HexBytes("02 00 00") + message + HexBytes("0D");
    QCOMPARE(ptys[0].ReadAll(), frame);
    QCOMPARE(ptys[1].ReadAll(), frame + frame);
    QCOMPARE(ptys[3].ReadAll(), frame);
    // The journal has the same five ends, bytes included.
    QStringList journal = QString::fromUtf8(FileBytes(m_cli->JournalPath())).split(u'\n');
    QCOMPARE(journal.takeLast(), QString());
    QCOMPARE(journal.size(), 5);
    QVERIFY(std::any_of(journal.begin(), journal.end(), [&](const QString& line) {
        return line.contains("\tЗал\t" + ptys[3].SlaveName() + "\t304/304\tok");
    }));
}

// Each row: the list (a display on each pseudo-terminal, then what follows), whether stdout has
// no reader (as `| head -1` leaves it), the status, the summary and what stderr ends with. Every
// display that was sent to is journalled either way.
void TestCliDisplays::sendToAllEnds_data()
{
    QTest::addColumn<QByteArray>("broken");
    QTest::addColumn<bool>("noReader");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("errEnd");
    const QByteArray broken = "[ВИТРИНА 1]\nport = ttyS7\n[Склад]\nport = ttyS8\nbaud = 1234\n";
    const QString skipped =
        QStringLiteral("Передано на 2 из 4 табло. Пропущено записанных в списке с ошибкой: 2.");
    const QString noReader =
        QStringLiteral("tavrix-editor: Стандартный вывод не принимает строки: Broken pipe.\n");
    QTest::newRow("broken entries counted and skipped")
        << broken << false << 3 << skipped
        << QStringLiteral("1234» не поддерживается; возможны: 110, 300, 600, 1200, 2400, 4800, "
                          "9600, 14400, 19200, 38400, 56000.\n");
    QTest::newRow("no reader on stdout") << QByteArray() << true << 0 << QString() << noReader;
    QTest::newRow("no reader, broken entries") << broken << true << 3 << QString() << noReader;
}

void TestCliDisplays::sendToAllEnds()
{
    QFETCH(QByteArray, broken);
    QFETCH(bool, noReader);
    QFETCH(int, exitCode);
    QFETCH(QString, summary);
    QFETCH(QString, errEnd);
    std::array<PtyPair, 2> ptys;
    const QByteArray list = "[Витрина 1]\nport = " + ptys[0].SlaveName().toUtf8() +
                            "\nbaud = 9600\n[Витрина 2]\nport = " + ptys[1].SlaveName().toUtf8() +
                            "\nbaud = 9600\n" + broken;
    m_cli->WriteFile(QStringLiteral("list.ini"), list);
    const qsizetype journalBefore = FileBytes(m_cli->JournalPath()).size();
    QProcess process;
    m_cli->Prepare(process);
    if (noReader) {
#ifdef Q_OS_WIN
        QSKIP("A standard output whose reader went away is a POSIX pipe's state (SIGPIPE).");
#else
        process.setChildProcessModifier([] {
            int ends[2];
            if (pipe(ends) == 0) {
                dup2(ends[1], STDOUT_FILENO);
                ::close(ends[0]);
                ::close(ends[1]);
            }
        });
#endif
    }
    process.start(m_cli->Program(), {"send", "--text", "A", "--all", "--displays", "list.ini"});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.endsWith(errEnd), qPrintable(err));
    const QStringList out = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    QCOMPARE(out.value(out.size() - 2), summary);
    const QByteArray frame = HexBytes("02 00 00 41 0D");
    QCOMPARE(ptys[0].ReadAll(), frame);
    QCOMPARE(ptys[1].ReadAll(), frame);
    const QString journal = QString::fromUtf8(FileBytes(m_cli->JournalPath()).mid(journalBefore));
    QCOMPARE(journal.count(QStringLiteral("\t5/5\tok\n")), 2);
}

// Each row: the arguments after "send --text A --displays list.ini", over the list of two and one
// broken entry; nothing is sent.
void TestCliDisplays::sendRefuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    const QString broken = QStringLiteral(
        "tavrix-editor: list.ini:9: табло «Зал» пропущено: Ключ «port» уже задан.\n");
    QTest::newRow("unknown display")
        << QStringList{"--display", "Склад"} << 2
        << broken + "tavrix-editor: Табло «Склад» нет в списке «list.ini».\n";
    QTest::newRow("broken display")
        << QStringList{"--display", "Касса", "--display", "зал"} << 3
        << broken + "tavrix-editor: Табло «зал» записано в списке «list.ini» с ошибкой.\n";
    QTest::newRow("both --all and --display")
        << QStringList{"--all", "--display", "Касса"} << 2
        << QStringLiteral("tavrix-editor: Укажите «--display» или «--all», одно из двух.\n");
    QTest::newRow("--port beside --all")
        << QStringList{"--all", "--port", "ttyS0"} << 2
        << QStringLiteral("tavrix-editor: Порт и скорость табло берутся из списка табло: «--port» "
                          "и «--baud» с ними не указываются.\n");
    QTest::newRow("--displays alone")
        << QStringList{} << 2
        << QStringLiteral(
               "tavrix-editor: «--displays» действует вместе с «--display» или «--all».\n");
}

void TestCliDisplays::sendRefuses()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    m_cli->WriteFile(QStringLiteral("list.ini"), kTwo + "[Зал]\nport = ttyS2\nport = ttyS3\n");
    const CliResult result =
        m_cli->Run(QStringList{"send", "--text", "A", "--displays", "list.ini"} + args);
    QCOMPARE(QString::fromUtf8(result.err), err);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.exitCode, exitCode);
}

QTEST_GUILESS_MAIN(TestCliDisplays)
#include "tst_clidisplays.moc"
