#include "device/transferjournal.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// Run as a second process: appends this many numbered lines to the journal given.
const char* const kWriterVariable = "TST_JOURNAL_WRITER";

} // namespace

class TestTransferJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void line_data();
    void line();
    void word_data();
    void word();
    void keptBounded();
    void twoWritersAtTheLimit();
};

void TestTransferJournal::line_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("line");
    QTest::newRow("named display, done")
        << "Вокзал"
        << "ok" << QString() << "2026-12-09 08:00:03\tВокзал\tttyUSB0\t1998/2004\tok";
    QTest::newRow("COM port of the settings file")
        << QString() << "cancelled" << QString()
        << "2026-12-09 08:00:03\t-\tttyUSB0\t1998/2004\tcancelled";
    // A reason of several lines, or a name with a tab in it, must not split the line.
    QTest::newRow("reason of several lines")
        << "Склад\t2"
        << "open-failed"
        << "Устройства /dev/ttyUSB0 нет в системе.\n\nСообщение системы: No such file"
        << "2026-12-09 08:00:03\tСклад 2\tttyUSB0\t1998/2004\topen-failed\tУстройства "
           "/dev/ttyUSB0 нет в системе. Сообщение системы: No such file";
}

void TestTransferJournal::line()
{
    QFETCH(QString, display);
    QFETCH(QString, word);
    QFETCH(QString, reason);
    QTEST(CTransferJournal::Line(QStringLiteral("2026-12-09 08:00:03"), display,
                                 QStringLiteral("ttyUSB0"), 1998, 2004, word, reason),
          "line");
}

// The stored word follows the outcome and the kind of port, never the language; the window
// shows it in the language of the run and marks what failed.
void TestTransferJournal::word_data()
{
    QTest::addColumn<CDeviceSender::Result>("result");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("failure");
    using Result = CDeviceSender::Result;
    QTest::newRow("serial port, done") << Result::Ok << "ttyUSB0"
                                       << "ok"
                                       << "передано" << false;
    QTest::newRow("raw server took it") << Result::Ok << "tcp://10.0.0.5:4001"
                                        << "handed-to-server"
                                        << "принято сервером" << false;
    QTest::newRow("RFC 2217 server took it, upper-case word") << Result::Ok << "RFC2217://host:4001"
                                                              << "handed-to-server"
                                                              << "принято сервером" << false;
    QTest::newRow("port would not open") << Result::OpenFailed << "COM1"
                                         << "open-failed"
                                         << "порт не открылся" << true;
    QTest::newRow("server lost") << Result::WriteFailed << "rfc2217://host:4001"
                                 << "failed"
                                 << "не удалось" << true;
    QTest::newRow("cancelled") << Result::Cancelled << "ttyS0"
                               << "cancelled"
                               << "прервано" << true;
}

void TestTransferJournal::word()
{
    QFETCH(CDeviceSender::Result, result);
    QFETCH(QString, port);
    QFETCH(QString, word);
    QFETCH(QString, shown);
    QFETCH(bool, failure);
    QCOMPARE(CTransferJournal::Word(result, port), word);
    QCOMPARE(CTransferJournal::WordText(word), shown);
    QCOMPARE(CTransferJournal::IsFailure(word), failure);
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

// Two processes append to a journal at its bound, so that it is trimmed again and again while
// the other one writes: each one's lines that remain must run without a gap to its last.
void TestTransferJournal::twoWritersAtTheLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("transfers.log"));
    CTransferJournal journal(path);
    const QString filler(2300, u'x');
    while (QFile(path).size() <= CTransferJournal::kMaxBytes - 2400)
        QVERIFY(journal.Append(filler));
    // 1.8 MB between them: the journal is trimmed 7 times. Few long lines, as each turn costs the
    // lock file's sync to disk.
    constexpr int kLines = 400;
    QList<QProcess*> writers;
    for (const QString name : {QStringLiteral("A"), QStringLiteral("B")}) {
        auto* writer = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kWriterVariable),
                   QStringLiteral("%1\t%2\t%3").arg(path, name).arg(kLines));
        writer->setProcessEnvironment(env);
        writer->start(QCoreApplication::applicationFilePath(), {});
        writers << writer;
    }
    for (QProcess* writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitCode(), 0);
    }
    const QStringList lines = journal.Text().split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression numbered(QStringLiteral("^([AB]) (\\d+) x+$"));
    QMap<QString, QList<int>> seen;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = numbered.match(line);
        if (match.hasMatch())
            seen[match.captured(1)] << match.captured(2).toInt();
    }
    for (const QString name : {QStringLiteral("A"), QStringLiteral("B")}) {
        const QList<int>& numbers = seen[name];
        QVERIFY(!numbers.isEmpty());
        QCOMPARE(numbers.last(), kLines);
        for (qsizetype i = 1; i < numbers.size(); ++i)
            QVERIFY2(numbers[i] == numbers[i - 1] + 1, qPrintable(QStringLiteral("%1: %2 after %3")
                                                                      .arg(name)
                                                                      .arg(numbers[i])
                                                                      .arg(numbers[i - 1])));
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kWriterVariable)) {
        const QStringList job = qEnvironmentVariable(kWriterVariable).split(u'\t');
        CTransferJournal journal(job.value(0));
        const QString filler(2300, u'x');
        for (int n = 1; n <= job.value(2).toInt(); ++n) {
            if (!journal.Append(QStringLiteral("%1 %2 %3").arg(job.value(1)).arg(n).arg(filler)))
                return 1;
        }
        return 0;
    }
    TestTransferJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_transferjournal.moc"
