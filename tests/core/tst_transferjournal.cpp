#include "device/transferjournal.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTransferJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void line_data();
    void line();
    void keptBounded();
};

void TestTransferJournal::line_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("line");
    QTest::newRow("named display, done")
        << "Вокзал"
        << "Передача данных успешно завершена!!!" << QString()
        << "2026-12-09 08:00:03\tВокзал\tttyUSB0\t2004 из 2004 байт\t"
           "Передача данных успешно завершена!!!";
    QTest::newRow("COM port of the settings file")
        << QString() << "Передача прервана." << QString()
        << "2026-12-09 08:00:03\t-\tttyUSB0\t2004 из 2004 байт\tПередача прервана.";
    // A reason of several lines, or a name with a tab in it, must not split the line.
    QTest::newRow("reason of several lines")
        << "Склад\t2"
        << "Не удается открыть последовательный порт."
        << "Устройства /dev/ttyUSB0 нет в системе.\n\nСообщение системы: No such file"
        << "2026-12-09 08:00:03\tСклад 2\tttyUSB0\t2004 из 2004 байт\t"
           "Не удается открыть последовательный порт.\tУстройства /dev/ttyUSB0 нет в системе. "
           "Сообщение системы: No such file";
}

void TestTransferJournal::line()
{
    QFETCH(QString, display);
    QFETCH(QString, result);
    QFETCH(QString, reason);
    QTEST(CTransferJournal::Line(QStringLiteral("2026-12-09 08:00:03"), display,
                                 QStringLiteral("ttyUSB0"), 2004, 2004, result, reason),
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

QTEST_GUILESS_MAIN(TestTransferJournal)
#include "tst_transferjournal.moc"
