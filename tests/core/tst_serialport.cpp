#include "device/serialport.h"
#include "ptypair.h"

#include <QTest>

namespace
{

PortConfig ConfigFor(const QString& name, int baud = 3, int dataBits = 4, int stopBits = 2,
                     int parity = 1)
{
    return PortConfig{name, baud, dataBits, stopBits, parity};
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + 3); // every byte value, line ends and XON/XOFF among them
    return bytes;
}

// The bytes known to have left the line: all once drained, else none.
qint64 WriteBytes(CSerialPort& port, const QByteArray& bytes)
{
    port.ClearBuffers();
    WriteControl control;
    const auto outcome = port.WriteDrained(bytes.constData(), bytes.size(), control);
    return outcome == CSerialPort::WriteOutcome::Drained ? bytes.size() : 0;
}

// Points the port at the pseudo-terminal's slave, with the line settings of `config`.
void Configure(CSerialPort& port, const PtyPair& pty, PortConfig config = PortConfig{})
{
    QVERIFY(pty.IsValid());
    config.portName = pty.SlaveName();
    port.SetConfig(config);
}

const QString kCannotConfigure = QStringLiteral("Не удается настроить порт.");

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writeArrivesInOrder_data();
    void writeArrivesInOrder();
    void lineSettings_data();
    void lineSettings();
    void openTwiceKeepsFirstPort();
    void openFailure_data();
    void openFailure();
    void configRefused_data();
    void configRefused();
    void setConfigAppliesAtNextOpen();
    void writeGivesUpWhenNothingLeaves();
    void systemPortName_data();
    void systemPortName();
};

void TestSerialPort::writeArrivesInOrder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ten bytes") << Pattern(10);
    QTest::newRow("longer than the driver queue") << Pattern(1200);
}

void TestSerialPort::writeArrivesInOrder()
{
    QFETCH(QByteArray, bytes);
    PtyPair pty;
    CSerialPort port;
    Configure(port, pty, ConfigFor({}, 10)); // 56000 baud: the line time stays short
    QVERIFY2(port.Open(), qPrintable(port.m_szLastError));
    QCOMPARE(WriteBytes(port, bytes), bytes.size());
    QCOMPARE(pty.ReadAll(), bytes);
    port.Close();
    QVERIFY(!port.IsOpen());
}

void TestSerialPort::lineSettings_data()
{
    QTest::addColumn<PortConfig>("config");
    QTest::addColumn<speed_t>("speed");
    QTest::addColumn<tcflag_t>("charSize");
    QTest::addColumn<bool>("twoStopBits");

    QTest::newRow("defaults") << PortConfig{} << speed_t(B1200) << tcflag_t(CS8) << true;
    QTest::newRow("9600, one stop bit")
        << ConfigFor({}, 6, 4, 0) << speed_t(B9600) << tcflag_t(CS8) << false;
    QTest::newRow("110, two stop bits")
        << ConfigFor({}, 0, 4, 2) << speed_t(B110) << tcflag_t(CS8) << true;
    QTest::newRow("parity present")
        << ConfigFor({}, 3, 4, 2, 0) << speed_t(B1200) << tcflag_t(CS8) << true;
    QTest::newRow("5 bits") << ConfigFor({}, 3, 1) << speed_t(B1200) << tcflag_t(CS5) << true;
    QTest::newRow("6 bits") << ConfigFor({}, 3, 2) << speed_t(B1200) << tcflag_t(CS6) << true;
    QTest::newRow("9600, 7 bits, one stop bit")
        << ConfigFor({}, 6, 3, 0) << speed_t(B9600) << tcflag_t(CS7) << false;
}

void TestSerialPort::lineSettings()
{
    QFETCH(PortConfig, config);
    QFETCH(speed_t, speed);
    QFETCH(tcflag_t, charSize);
    QFETCH(bool, twoStopBits);
    PtyPair pty;
    CSerialPort port;
    Configure(port, pty, config);
    // Linux forces CS8 on a pseudo-terminal: the other sizes are checked where it keeps them.
    const PtyPair::CharSize support =
        charSize == CS8 ? PtyPair::CharSize::Kept : pty.TryCharSize(charSize);
    if (support == PtyPair::CharSize::Replaced)
        QSKIP("this pseudo-terminal quietly replaces the character size");
    if (support == PtyPair::CharSize::Refused) {
        QVERIFY(!port.Open());
        QCOMPARE(port.m_szLastError, kCannotConfigure);
        return;
    }
    QVERIFY2(port.Open(), qPrintable(port.m_szLastError));

    const termios t = pty.SlaveAttributes();
    QCOMPARE(cfgetospeed(&t), speed);
    QCOMPARE(t.c_cflag & CSIZE, charSize);
    QCOMPARE(bool(t.c_cflag & CSTOPB), twoStopBits);
    QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
    // Mark parity is PARENB | CMSPAR | PARODD. A Linux pseudo-terminal drops PARENB whatever is
    // asked but keeps the other two, which only mark parity sets together.
    QCOMPARE(t.c_cflag & (CMSPAR | PARODD), tcflag_t(CMSPAR | PARODD));
}

void TestSerialPort::openTwiceKeepsFirstPort()
{
    PtyPair pty;
    CSerialPort port;
    Configure(port, pty);
    QVERIFY(port.Open());
    QVERIFY(!port.Open());
    QCOMPARE(port.m_szLastError, QStringLiteral("Порт уже открыт."));
    QCOMPARE(port.m_dwLastError, 0xFFFFFFFFu);
    QVERIFY(port.IsOpen());
    const QByteArray bytes = Pattern(20);
    QCOMPARE(WriteBytes(port, bytes), bytes.size());
    QCOMPARE(pty.ReadAll(), bytes);
}

void TestSerialPort::openFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("busy");
    QTest::newRow("missing device") << QStringLiteral("/dev/tavrix-no-such-port") << false;
    QTest::newRow("empty name") << QString() << false;
    QTest::newRow("held by another port") << QString() << true;
}

void TestSerialPort::openFailure()
{
    QFETCH(QString, name);
    QFETCH(bool, busy);
    PtyPair pty;
    CSerialPort holder;
    if (busy) {
        Configure(holder, pty);
        QVERIFY(holder.Open());
        name = pty.SlaveName();
    }
    CSerialPort port;
    QCOMPARE(WriteBytes(port, Pattern(4)), qint64(0)); // never opened
    port.SetConfig(ConfigFor(name));
    QVERIFY(!port.Open());
    QCOMPARE(port.m_szLastError, QStringLiteral("Не удается открыть порт."));
    QVERIFY(port.m_dwLastError != 0);
    QVERIFY(!port.IsOpen());
    port.Close();
    port.Close();

    // The failed attempt holds nothing: once the port is free, the next Open works.
    holder.Close();
    Configure(port, pty);
    QVERIFY2(port.Open(), qPrintable(port.m_szLastError));
    const QByteArray bytes = Pattern(5);
    QCOMPARE(WriteBytes(port, bytes), bytes.size());
    QCOMPARE(pty.ReadAll(), bytes);
}

void TestSerialPort::configRefused_data()
{
    QTest::addColumn<PortConfig>("config");
    QTest::newRow("baud index -1") << ConfigFor({}, -1);
    QTest::newRow("baud index 11") << ConfigFor({}, 11);
    QTest::newRow("data bits index -1") << ConfigFor({}, 3, -1);
    QTest::newRow("four data bits") << ConfigFor({}, 3, 0);
    QTest::newRow("data bits index 5") << ConfigFor({}, 3, 5);
    QTest::newRow("stop bits index -1") << ConfigFor({}, 3, 4, -1);
    QTest::newRow("one and a half stop bits") << ConfigFor({}, 3, 4, 1);
    QTest::newRow("stop bits index 3") << ConfigFor({}, 3, 4, 3);
}

void TestSerialPort::configRefused()
{
    QFETCH(PortConfig, config);
    PtyPair pty;
    CSerialPort port;
    Configure(port, pty, config);
    QVERIFY(!port.Open());
    QCOMPARE(port.m_szLastError, kCannotConfigure);
    QVERIFY(port.m_dwLastError != 0);
    QVERIFY(!port.IsOpen());
    port.Close();

    CSerialPort other;
    Configure(other, pty);
    QVERIFY2(other.Open(), qPrintable(other.m_szLastError));
}

void TestSerialPort::setConfigAppliesAtNextOpen()
{
    PtyPair pty;
    CSerialPort port;
    Configure(port, pty);
    QVERIFY(port.Open());
    Configure(port, pty, ConfigFor({}, 6, 4, 0));
    termios t = pty.SlaveAttributes();
    QCOMPARE(cfgetospeed(&t), speed_t(B1200));
    QVERIFY(t.c_cflag & CSTOPB);

    port.Close();
    QVERIFY2(port.Open(), qPrintable(port.m_szLastError));
    t = pty.SlaveAttributes();
    QCOMPARE(cfgetospeed(&t), speed_t(B9600));
    QVERIFY(!(t.c_cflag & CSTOPB));
}

void TestSerialPort::writeGivesUpWhenNothingLeaves()
{
    PtyPair pty;
    CSerialPort port;
    Configure(port, pty);
    QVERIFY(port.Open());
    pty.SuspendSlaveOutput();
    QCOMPARE(WriteBytes(port, Pattern(10)), qint64(0));

    // The next write discards what the stuck one left behind.
    pty.ResumeSlaveOutput();
    const QByteArray next = Pattern(3);
    QCOMPARE(WriteBytes(port, next), next.size());
    QCOMPARE(pty.ReadAll(), next);
}

void TestSerialPort::systemPortName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* expected) {
        QTest::newRow(name) << QString(name) << QString(expected);
    };
#ifdef Q_OS_LINUX
    row("COM1", "/dev/ttyS0");
    row("COM4", "/dev/ttyS3");
    row("com2", "/dev/ttyS1");
#else
    row("COM1", "COM1");
#endif
    row("COM5", "COM5");
    row("COM10", "COM10");
    row("/dev/pts/3", "/dev/pts/3");
}

void TestSerialPort::systemPortName()
{
    QFETCH(QString, name);
    QTEST(CSerialPort::SystemPortName(name), "expected");
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
