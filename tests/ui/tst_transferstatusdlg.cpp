#include "device/devicesender.h"
#include "device/serialport.h"
#include "device/transferstatusdlg.h"
#include "editorfixture.h"
#include "ptypair.h"

#include <QPushButton>

namespace
{

// 20 bytes to a pseudo-terminal that takes nothing in until the test lets it.
struct HeldTransfer {
    HeldTransfer()
    {
        PortConfig config;
        config.portName = pty.SlaveName();
        port.SetConfig(config);
        pty.SuspendSlaveOutput();
        sender.StartText(reinterpret_cast<const quint8*>(stream.constData()), int(stream.size()));
    }
    PtyPair pty;
    CSerialPort port;
    CDeviceSender sender{PortConfig{pty.SlaveName()}};
    QByteArray stream = QByteArray(16, 'x');
};

} // namespace

class TestTransferStatusDlg : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keys_data();
    void keys();
    void endedFromOutside(); // leaves the application quitting: keep it last
};

void TestTransferStatusDlg::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<CDeviceSender::Result>("result");
    // An Enter meant for the window before used to press "Отмена", the only button.
    QTest::newRow("Enter") << int(Qt::Key_Return) << CDeviceSender::Result::Ok;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << CDeviceSender::Result::Ok;
    QTest::newRow("Space") << int(Qt::Key_Space) << CDeviceSender::Result::Ok;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << CDeviceSender::Result::Cancelled;
}

void TestTransferStatusDlg::keys()
{
    QFETCH(int, key);
    HeldTransfer transfer;
    QObject scope;
    QTimer::singleShot(200, &scope, [&] {
        CTransferStatusDlg* status = CTransferStatusDlg::Active();
        QVERIFY(status);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : status, Qt::Key(key));
        transfer.pty.ResumeSlaveOutput();
    });
    QTEST(CTransferStatusDlg::Run(transfer.sender, nullptr), "result");
    QVERIFY(!CTransferStatusDlg::Active());
}

// The desktop session ends while the transfer runs: the application's loops all quit.
void TestTransferStatusDlg::endedFromOutside()
{
    HeldTransfer transfer;
    QTimer::singleShot(200, qApp, [] { QCoreApplication::exit(0); });
    QCOMPARE(CTransferStatusDlg::Run(transfer.sender, nullptr), CDeviceSender::Result::Cancelled);
    QVERIFY(!transfer.sender.IsRunning());
    // The job let the port go and discarded what it held.
    transfer.pty.ResumeSlaveOutput();
    QCOMPARE(transfer.pty.ReadAll(100), QByteArray());
    CSerialPort other;
    other.SetConfig(transfer.port.GetConfig());
    QVERIFY(other.Open());
}

QTEST_MAIN(TestTransferStatusDlg)
#include "tst_transferstatusdlg.moc"
