#include "device/portsetdialog.h"
#include "device/serialport.h"
#include "editorfixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
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
    void choosingFromTheList_data();
    void choosingFromTheList();
    void refreshRereadsTheList_data();
    void refreshRereadsTheList();
    void typedNameIsChecked_data();
    void typedNameIsChecked();
    void portListText_data();
    void portListText();
    void init();
    void cleanup();
};

const QList<PortListEntry> kPorts = {
    {"ttyS0", "ttyS0"},
    {"ttyUSB1", "ttyUSB1 — FT232R USB UART (FTDI) 0403:6001"},
    {"pts/4", "pts/4"},
};

void TestPortSetDialog::init()
{
    CPortSetDialog::SetPortListFunction([] { return kPorts; });
}

void TestPortSetDialog::cleanup()
{
    CPortSetDialog::SetPortListFunction({});
}

void TestPortSetDialog::opensWithPortChecked_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("checked"); // position of the checked button
    QTest::newRow("COM1") << "COM1" << 0;
    QTest::newRow("COM3") << "COM3" << 2;
    QTest::newRow("COM4") << "COM4" << 3;
    QTest::newRow("lower case") << "com2" << 4;
    QTest::newRow("device path") << "/dev/ttyUSB0" << 4;
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
    QCOMPARE(dlg.m_pOther->isChecked(), checked == 4);
    QCOMPARE(dlg.m_pOther->text(), QStringLiteral("Другой порт:"));
    QCOMPARE(dlg.m_pOtherList->currentText(), checked == 4 ? stored : QString());
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
    QTest::newRow("other name stays") << Config("ttyUSB0", 3, 4, 2, 1) << QStringList{"okButton"}
                                      << Config("ttyUSB0", 3, 4, 2, 1);
    QTest::newRow("other name, then COM2")
        << Config("ttyUSB0", 3, 4, 2, 1) << QStringList{"COM2", "okButton"}
        << Config("COM2", 3, 4, 2, 1);
    QTest::newRow("COM4 stays COM4")
        << Config("COM4", 3, 4, 2, 1) << QStringList{"okButton"} << Config("COM4", 3, 4, 2, 1);
    QTest::newRow("listed name stays") << Config("ttyUSB1", 3, 4, 2, 1) << QStringList{"okButton"}
                                       << Config("ttyUSB1", 3, 4, 2, 1);
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
    PortConfig port = before;
    WhenModal<CPortSetDialog>([clicks](CPortSetDialog* dlg) {
        for (const QString& name : clicks)
            Click(dlg, qPrintable(name));
    });
    CPortSetDialog::OnPortSettings(nullptr, port);
    QCOMPARE(port, after);
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

void TestPortSetDialog::choosingFromTheList_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("stored");
    QTest::newRow("serial port") << 0 << "ttyS0";
    QTest::newRow("USB adapter: its name, not its description") << 1 << "ttyUSB1";
    QTest::newRow("pseudo-terminal") << 2 << "pts/4";
}

void TestPortSetDialog::choosingFromTheList()
{
    QFETCH(int, row);
    QFETCH(QString, stored);
    PortConfig port = Config("COM3", 6, 3, 0, 0);
    QStringList shown;
    WhenModal<CPortSetDialog>([row, &shown](CPortSetDialog* dlg) {
        for (int i = 0; i < dlg->m_pOtherList->count(); ++i)
            shown << dlg->m_pOtherList->itemText(i);
        dlg->m_pOtherList->showPopup();
        QAbstractItemView* view = dlg->m_pOtherList->view();
        view->setCurrentIndex(dlg->m_pOtherList->model()->index(row, 0));
        QTest::keyClick(view, Qt::Key_Return);
        Click(dlg, "okButton");
    });
    CPortSetDialog::OnPortSettings(nullptr, port);
    QCOMPARE(shown, QStringList({"ttyS0", "ttyUSB1 — FT232R USB UART (FTDI) 0403:6001", "pts/4"}));
    QCOMPARE(port, Config(stored, 6, 3, 0, 0));
}

void TestPortSetDialog::refreshRereadsTheList_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<PortListEntry>>("after");
    QTest::addColumn<QString>("shown");
    const QList<PortListEntry> acm = {{"ttyACM0", "ttyACM0"}};
    QTest::newRow("typed name stays")
        << "/dev/serial/by-id/usb-x" << acm << "/dev/serial/by-id/usb-x";
    // OK used to keep the vanished adapter's line, which no port name can be, and did nothing.
    QTest::newRow("chosen adapter gone: its name stays") << "ttyUSB1" << acm << "ttyUSB1";
    QTest::newRow("chosen adapter described anew")
        << "ttyUSB1" << QList<PortListEntry>{{"ttyUSB1", "ttyUSB1 — CH340 1a86:7523"}}
        << "ttyUSB1 — CH340 1a86:7523";
}

void TestPortSetDialog::refreshRereadsTheList()
{
    QFETCH(QString, stored);
    QFETCH(QList<PortListEntry>, after);
    CPortSetDialog dlg(Config(stored, 3, 4, 2, 1), PortConfig{});
    QCOMPARE(dlg.m_pOtherList->count(), 3);
    CPortSetDialog::SetPortListFunction([after] { return after; });
    Click(&dlg, "refreshButton");
    QCOMPARE(dlg.m_pOtherList->count(), after.size());
    QCOMPARE(dlg.m_pOtherList->itemText(0), after[0].text);
    QTEST(dlg.m_pOtherList->currentText(), "shown");
    QVERIFY(dlg.findChild<QPushButton*>("okButton")->isEnabled());
    QVERIFY(dlg.m_pNameHint->isHidden());
    Click(&dlg, "okButton");
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_config.portName, stored);
}

void TestPortSetDialog::typedNameIsChecked_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("hint");
    const QString name = QStringLiteral("Имя порта не может быть пустым, содержать пробелы или "
                                        "быть длиннее 255 символов.");
    const QString word = QStringLiteral("Сетевой порт записывается как tcp://СЕРВЕР:ПОРТ или "
                                        "rfc2217://СЕРВЕР:ПОРТ, где ПОРТ — число от 1 до 65535.");
    QTest::newRow("device path") << "/dev/ttyACM0" << true << name;
    QTest::newRow("blanks around are dropped") << "  ttyUSB3 " << true << name;
    QTest::newRow("blank inside") << "tty USB0" << false << name;
    QTest::newRow("nothing") << "" << false << name;
    QTest::newRow("255 characters") << QString(255, u'a') << true << name;
    QTest::newRow("256 characters") << QString(256, u'a') << false << name;
    QTest::newRow("serial device server") << "rfc2217://10.0.0.5:4001" << true << word;
    QTest::newRow("server without its port") << "tcp://10.0.0.5" << false << word;
}

void TestPortSetDialog::typedNameIsChecked()
{
    QFETCH(QString, typed);
    QFETCH(bool, kept);
    CPortSetDialog dlg(Config("COM1", 3, 4, 2, 1), PortConfig{});
    dlg.show();
    dlg.m_pOtherList->setFocus();
    QTest::keyClicks(dlg.m_pOtherList, typed);
    QCOMPARE(dlg.m_pOther->isChecked(), !typed.isEmpty()); // typing chooses "Другой порт:"
    dlg.m_pOther->click();
    dlg.m_pOtherList->setEditText(typed); // keyClicks may cut a long text short
    QCOMPARE(dlg.findChild<QPushButton*>("okButton")->isEnabled(), kept);
    QCOMPARE(dlg.m_pNameHint->isVisibleTo(&dlg), !kept);
    QTEST(dlg.m_pNameHint->text(), "hint");
    dlg.accept();
    QCOMPARE(dlg.result() == QDialog::Accepted, kept);
    QCOMPARE(dlg.m_config.portName, kept ? typed.trimmed() : QStringLiteral("COM1"));
}

void TestPortSetDialog::portListText_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<QString>("text");
    QTest::newRow("USB adapter") << "FT232R USB UART"
                                 << "FTDI" << 0x0403 << 0x6001
                                 << "ttyUSB0 — FT232R USB UART (FTDI) 0403:6001";
    QTest::newRow("nothing known") << ""
                                   << "" << -1 << -1 << "ttyUSB0";
    QTest::newRow("description only") << "ACM modem"
                                      << "" << -1 << -1 << "ttyUSB0 — ACM modem";
    QTest::newRow("ids padded") << ""
                                << "" << 0x1a << 0x7 << "ttyUSB0 — 001a:0007";
}

void TestPortSetDialog::portListText()
{
    QFETCH(QString, description);
    QFETCH(QString, manufacturer);
    QFETCH(int, vendor);
    QFETCH(int, product);
    QTEST(CSerialPort::PortListText("ttyUSB0", description, manufacturer, vendor, product), "text");
}

QTEST_MAIN(TestPortSetDialog)
#include "tst_portsetdialog.moc"
