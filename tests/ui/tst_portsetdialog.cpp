#include "device/portsetdialog.h"
#include "device/serialport.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

void Click(QDialog* dlg, const QString& name)
{
    auto* button = dlg->findChild<QAbstractButton*>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

PortConfig Config(const QString& name, int baud, int data, int stop, int parity)
{
    PortConfig config;
    config.portName = name;
    config.baudIndex = baud;
    config.dataBitsIndex = data;
    config.stopBitsIndex = stop;
    config.parityIndex = parity;
    return config;
}

} // namespace

class TestPortSetDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithPortChecked_data();
    void opensWithPortChecked();
    void commandStores_data();
    void commandStores();
    void listsAreDisabledAndShowTheLine();
};

void TestPortSetDialog::opensWithPortChecked_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("checked");
    QTest::newRow("COM1") << "COM1"
                          << "COM1";
    QTest::newRow("COM3") << "COM3"
                          << "COM3";
    QTest::newRow("COM4") << "COM4"
                          << "COM4";
    QTest::newRow("lower case") << "com2"
                                << "COM4";
    QTest::newRow("device path") << "/dev/ttyUSB0"
                                 << "COM4";
}

void TestPortSetDialog::opensWithPortChecked()
{
    QFETCH(QString, stored);
    QFETCH(QString, checked);
    CPortSetDialog dlg(Config(stored, 3, 4, 2, 1), PortConfig{});
    for (QRadioButton* button : dlg.m_pPorts)
        QCOMPARE(button->isChecked(), button->text() == checked);
}

void TestPortSetDialog::commandStores_data()
{
    QTest::addColumn<PortConfig>("before");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<PortConfig>("after");
    const PortConfig com3 = Config("COM3", 6, 3, 0, 0);
    const PortConfig defaults;
    QTest::newRow("COM3, OK unchanged") << com3 << QStringList{"okButton"} << com3;
    QTest::newRow("COM2 changes only the name")
        << com3 << QStringList{"COM2", "okButton"} << Config("COM2", 6, 3, 0, 0);
    QTest::newRow("reset and cancel") << com3 << QStringList{"resetButton", "cancelButton"} << com3;
    QTest::newRow("reset and OK") << com3 << QStringList{"resetButton", "okButton"} << defaults;
    QTest::newRow("other name stores COM4")
        << Config("ttyUSB0", 3, 4, 2, 1) << QStringList{"okButton"} << Config("COM4", 3, 4, 2, 1);
    QTest::newRow("cancel keeps a choice out")
        << com3 << QStringList{"COM1", "cancelButton"} << com3;
    QTest::newRow("position the lists lack is kept")
        << Config("COM1", 42, 4, 2, 7) << QStringList{"okButton"} << Config("COM1", 42, 4, 2, 7);
}

void TestPortSetDialog::commandStores()
{
    QFETCH(PortConfig, before);
    QFETCH(QStringList, clicks);
    QFETCH(PortConfig, after);
    CSerialPort port;
    port.SetConfig(before);
    QTimer::singleShot(0, [clicks] {
        auto* dlg = qobject_cast<CPortSetDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        for (const QString& name : clicks)
            Click(dlg, name);
    });
    CPortSetDialog::OnPortSettings(nullptr, port);
    QCOMPARE(port.GetConfig(), after);
}

void TestPortSetDialog::listsAreDisabledAndShowTheLine()
{
    CPortSetDialog dlg(Config("COM2", 6, 3, 0, 1), PortConfig{});
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройки COM порта"));
    for (QComboBox* list : {dlg.m_pBaud, dlg.m_pDataBits, dlg.m_pStopBits, dlg.m_pParity})
        QVERIFY(!list->isEnabled());
    QCOMPARE(dlg.m_pBaud->currentText(), QStringLiteral("9600"));
    QCOMPARE(dlg.m_pDataBits->currentText(), QStringLiteral("7"));
    QCOMPARE(dlg.m_pStopBits->currentText(), QStringLiteral("1"));
    QCOMPARE(dlg.m_pParity->currentText(), QStringLiteral("Нет"));
    CPortSetDialog present(Config("COM2", 6, 3, 1, 0), PortConfig{});
    QCOMPARE(present.m_pParity->currentText(), QStringLiteral("Есть"));
    QCOMPARE(present.m_pStopBits->currentText(), QStringLiteral("1.5"));
    present.OnReset();
    QCOMPARE(present.m_pParity->currentText(), QStringLiteral("Нет"));
    QCOMPARE(present.m_pBaud->currentText(), QStringLiteral("1200"));
    QVERIFY(present.m_pPorts[0]->isChecked());
}

QTEST_MAIN(TestPortSetDialog)
#include "tst_portsetdialog.moc"
