#include "device/journaldlg.h"
#include "settings/uilanguage.h"
#include "testbytes.h"

#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TestJournalDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rows_data();
    void rows();
};

// Each row: a journal line, the language, and what its row shows: bytes, result, whether it is
// marked failed, and what a screen reader hears for the result. English once installed stays.
void TestJournalDlg::rows_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("heard");
    const QByteArray time = "2026-12-09 08:00:03\tВокзал\t";
    QTest::newRow("serial port done") << time + "ttyUSB0\t2004/2004\tok" << false << "2004 из 2004"
                                      << "передано" << false << "передано";
    QTest::newRow("network failure with its reason")
        << time + "rfc2217://h:4001\t354/2004\tfailed\tСоединение потеряно." << false
        << "354 из 2004"
        << "не удалось" << true << "Ошибка: не удалось";
    QTest::newRow("older line kept as written")
        << time + "ttyUSB0\t2004 из 2004 байт\tПередача данных не удалась." << false
        << "2004 из 2004 байт"
        << "Передача данных не удалась." << true << "Ошибка: Передача данных не удалась.";
    QTest::newRow("server took it, in English")
        << time + "tcp://h:4001\t2004/2004\thanded-to-server" << true << "2004 of 2004"
        << "taken by the server" << false << "taken by the server";
    QTest::newRow("port would not open, in English")
        << time + "COM1\t0/2004\topen-failed\tНет порта." << true << "0 of 2004"
        << "port did not open" << true << "Error: port did not open";
}

void TestJournalDlg::rows()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, english);
    QFETCH(QString, bytes);
    QFETCH(QString, result);
    QFETCH(bool, failed);
    QFETCH(QString, heard);
    if (english) // for the rest of the run: the English rows come last
        UiLanguage::Install(UiLanguage::Id::English, false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("transfers.log"));
    QVERIFY(WriteFileBytes(path, line + '\n'));
    CJournalDlg dialog(path);
    QTableWidget* table = dialog.m_pTable;
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 3)->text(), bytes);
    const QTableWidgetItem* shown = table->item(0, 4);
    QCOMPARE(shown->text(), result);
    QCOMPARE(!shown->icon().isNull(), failed);
    QCOMPARE(shown->foreground().color() == QColor(0xB0, 0x00, 0x00), failed);
    const QVariant accessible = shown->data(Qt::AccessibleTextRole);
    QCOMPARE(accessible.isValid() ? accessible.toString() : shown->text(), heard);
}

QTEST_MAIN(TestJournalDlg)
#include "tst_journaldlg.moc"
