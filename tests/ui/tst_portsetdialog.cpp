#include "device/portsetdialog.h"
#include "device/serialport.h"
#include "editorfixture.h"

#include <QComboBox>
#include <QRadioButton>

namespace
{

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

QStringList Shown(const CPortSetDialog& dlg)
{
    QStringList texts;
    for (QComboBox* list : {dlg.m_pBaud, dlg.m_pDataBits, dlg.m_pStopBits, dlg.m_pParity})
        texts << (list->isEnabled() ? QStringLiteral("enabled!") : list->currentText());
    return texts;
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
    QTest::addColumn<int>("checked"); // position of the checked button
    QTest::newRow("COM1") << "COM1" << 0;
    QTest::newRow("COM3") << "COM3" << 2;
    QTest::newRow("COM4") << "COM4" << 3;
    QTest::newRow("lower case") << "com2" << 3;
    QTest::newRow("device path") << "/dev/ttyUSB0" << 3;
}

void TestPortSetDialog::opensWithPortChecked()
{
    QFETCH(QString, stored);
    QFETCH(int, checked);
    CPortSetDialog dlg(Config(stored, 3, 4, 2, 1), PortConfig{});
    QStringList names;
    for (int n = 0; n < dlg.m_pPorts.size(); ++n) {
        names << dlg.m_pPorts[n]->text();
        QCOMPARE(dlg.m_pPorts[n]->isChecked(), n == checked);
    }
    QCOMPARE(names, QStringList({"COM1", "COM2", "COM3", "COM4"}));
}

void TestPortSetDialog::commandStores_data()
{
    QTest::addColumn<PortConfig>("before");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<PortConfig>("after");
    const PortConfig com3 = Config("COM3", 6, 3, 0, 0);
    QTest::newRow("COM3, OK unchanged") << com3 << QStringList{"okButton"} << com3;
    QTest::newRow("COM2 changes only the name")
        << com3 << QStringList{"COM2", "okButton"} << Config("COM2", 6, 3, 0, 0);
    QTest::newRow("reset and cancel") << com3 << QStringList{"resetButton", "cancelButton"} << com3;
    QTest::newRow("reset and OK") << com3 << QStringList{"resetButton", "okButton"} << PortConfig();
    QTest::newRow("other name stores COM4")
        << Config("ttyUSB0", 3, 4, 2, 1) << QStringList{"okButton"} << Config("COM4", 3, 4, 2, 1);
    QTest::newRow("cancel keeps a choice out")
        << com3 << QStringList{"COM1", "cancelButton"} << com3;
    QTest::newRow("position the lists lack is kept, parity shown as present is 0")
        << Config("COM1", 42, 4, 2, 7) << QStringList{"okButton"} << Config("COM1", 42, 4, 2, 0);
    QTest::newRow("stored parity 2 is written back as 0")
        << Config("COM1", 3, 4, 2, 2) << QStringList{"okButton"} << Config("COM1", 3, 4, 2, 0);
}

void TestPortSetDialog::commandStores()
{
    QFETCH(PortConfig, before);
    QFETCH(QStringList, clicks);
    QFETCH(PortConfig, after);
    CSerialPort port;
    port.SetConfig(before);
    WhenModal<CPortSetDialog>([clicks](CPortSetDialog* dlg) {
        for (const QString& name : clicks)
            Click(dlg, qPrintable(name));
    });
    CPortSetDialog::OnPortSettings(nullptr, port);
    QCOMPARE(port.GetConfig(), after);
}

void TestPortSetDialog::listsAreDisabledAndShowTheLine()
{
    CPortSetDialog dlg(Config("COM2", 6, 3, 0, 1), PortConfig{});
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройки COM порта"));
    QCOMPARE(Shown(dlg), QStringList({"9600", "7", "1", "Нет"}));
    CPortSetDialog present(Config("COM2", 6, 3, 1, 0), PortConfig{});
    QCOMPARE(Shown(present), QStringList({"9600", "7", "1.5", "Есть"}));
    present.OnReset();
    QCOMPARE(Shown(present), QStringList({"1200", "8", "2", "Нет"}));
    QVERIFY(present.m_pPorts[0]->isChecked());
}

QTEST_MAIN(TestPortSetDialog)
#include "tst_portsetdialog.moc"
