#include "device/devicesender.h"
#include "device/transferjournal.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// Run as a second process ("PATH\tNAME"): appends numbered lines to the journal, 1.8 MB between
// two of them, so that it is trimmed 7 times. Few long lines, as each turn costs the lock file's
// sync to disk.
const char* const kWriterVariable = "TST_JOURNAL_WRITER";
constexpr int kWriterLines = 400;

} // namespace

class TestTransferJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void line_data();
    void line();
    void keptBounded();
    void twoWritersAtTheLimit();
};

// The stored word follows the outcome and the kind of port, never the language.
void TestTransferJournal::line_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("port");
    QTest::addColumn<CDeviceSender::Result>("result");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("line");
    using Result = CDeviceSender::Result;
    QTest::newRow("named display, done") << "Вокзал"
                                         << "ttyUSB0" << Result::Ok << QString()
                                         << "2026-12-09 08:00:03\tВокзал\tttyUSB0\t1998/2004\tok";
    QTest::newRow("COM port of the settings file")
        << QString() << "ttyUSB0" << Result::Cancelled << QString()
        << "2026-12-09 08:00:03\t-\tttyUSB0\t1998/2004\tcancelled";
    QTest::newRow("a server took it, upper-case word")
        << "Касса"
        << "RFC2217://h:4001" << Result::Ok << QString()
        << "2026-12-09 08:00:03\tКасса\tRFC2217://h:4001\t1998/2004\thanded-to-server";
    QTest::newRow("a server lost") << "Касса"
                                   << "tcp://h:4001" << Result::WriteFailed << "Связь потеряна."
                                   << "2026-12-09 08:00:03\tКасса\ttcp://h:4001\t1998/2004\tfailed"
                                      "\tСвязь потеряна.";
    // A reason of several lines, or a name with a tab in it, must not split the line.
    QTest::newRow("reason of several lines")
        << "Склад\t2"
        << "ttyUSB0" << Result::OpenFailed
        << "Устройства /dev/ttyUSB0 нет в системе.\n\nСообщение системы: No such file"
        << "2026-12-09 08:00:03\tСклад 2\tttyUSB0\t1998/2004\topen-failed\tУстройства "
           "/dev/ttyUSB0 нет в системе. Сообщение системы: No such file";
}

void TestTransferJournal::line()
{
    QFETCH(QString, display);
    QFETCH(QString, port);
    QFETCH(CDeviceSender::Result, result);
    QFETCH(QString, reason);
    QTEST(CTransferJournal::Line(QStringLiteral("2026-12-09 08:00:03"), display, port, 1998, 2004,
                                 CTransferJournal::Word(result, port), reason),
          "line");
}

// Past the bound the oldest lines go, whole, and the newest stays last.
void TestTransferJournal::keptBounded()
{
    QTemporaryDir dir;
    CTransferJournal journal(dir.filePath(QStringLiteral("sub/transfers.log")));
    QVERIFY(journal.Text().isEmpty());
    const QString filler(200, u'ж'); // 400 bytes in UTF-8
    int lines = 0;
    while (QFile(journal.Path()).size() <= CTransferJournal::kMaxBytes - 500)
        QVERIFY(journal.Append(QStringLiteral("%1 %2").arg(++lines, 6).arg(filler)));
    QCOMPARE(journal.Text().count(u'\n'), lines);
    QVERIFY(journal.Append(QStringLiteral("%1 %2").arg(++lines, 6).arg(filler)));
    QVERIFY(journal.Append(QStringLiteral("последняя")));
    const qint64 size = QFile(journal.Path()).size();
    QVERIFY2(size <= CTransferJournal::kMaxBytes * 3 / 4, qPrintable(QString::number(size)));
    QVERIFY(size > CTransferJournal::kMaxBytes / 2);
    const QStringList kept = journal.Text().split(u'\n');
    QCOMPARE(kept.last(), QString());
    QCOMPARE(kept[kept.size() - 2], QStringLiteral("последняя"));
    QVERIFY(kept.first().endsWith(filler));
    QCOMPARE(kept[kept.size() - 3].left(6).trimmed().toInt(), lines);
}

// Two processes append to a journal at its bound, which is trimmed again and again while the
// other one writes: what remains of each one's numbered lines must run without a gap to its last.
void TestTransferJournal::twoWritersAtTheLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("transfers.log"));
    CTransferJournal journal(path);
    while (QFile(path).size() <= CTransferJournal::kMaxBytes - 2400)
        QVERIFY(journal.Append(QString(2300, u'x')));
    QList<QProcess*> writers;
    for (const char* name : {"A", "B"}) {
        writers << new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kWriterVariable), path + u'\t' + QLatin1String(name));
        writers.last()->setProcessEnvironment(env);
        writers.last()->start(QCoreApplication::applicationFilePath(), {});
    }
    for (QProcess* writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitCode(), 0);
    }
    QMap<QString, int> last;
    for (const QString& line : journal.Text().split(u'\n', Qt::SkipEmptyParts)) {
        const QString name = line.section(u' ', 0, 0);
        const int n = line.section(u' ', 1, 1).toInt();
        if (name.size() == 1)
            QVERIFY2(!last.contains(name) || last[name] + 1 == n, qPrintable(line.left(12)));
        last[name] = n;
    }
    QCOMPARE(last.value(QStringLiteral("A")), kWriterLines);
    QCOMPARE(last.value(QStringLiteral("B")), kWriterLines);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kWriterVariable)) {
        const QStringList job = qEnvironmentVariable(kWriterVariable).split(u'\t');
        for (int n = 1; n <= kWriterLines; ++n) {
            if (!CTransferJournal(job[0]).Append(
                    QStringLiteral("%1 %2 %3").arg(job[1]).arg(n).arg(QString(2300, u'x'))))
                return 1;
        }
        return 0;
    }
    TestTransferJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_transferjournal.moc"
