#include "device/serialport.h"
#include "ptypair.h"

#include <QElapsedTimer>
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

qint64 WriteBytes(CSerialPort& port, const QByteArray& bytes)
{
    return port.Write(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.constData()));
}

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writeArrivesInOrder_data();
    void writeArrivesInOrder();
    void lineSettings_data();
    void lineSettings();
    void dataBits_data();
    void dataBits();
    void openTwiceKeepsFirstPort();
    void openFailure_data();
    void openFailure();
    void configRefused_data();
    void configRefused();
    void setConfigAppliesAtNextOpen();
    void writeGivesUpWhenNothingLeaves();
    void writeWithoutOpenPort();
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
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(ConfigFor(pty.SlaveName()));
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
    QTest::addColumn<bool>("twoStopBits");

    QTest::newRow("defaults") << PortConfig{} << speed_t(B1200) << true;
    QTest::newRow("9600, one stop bit") << ConfigFor({}, 6, 4, 0) << speed_t(B9600) << false;
    QTest::newRow("110, two stop bits") << ConfigFor({}, 0, 4, 2) << speed_t(B110) << true;
    QTest::newRow("parity present") << ConfigFor({}, 3, 4, 2, 0) << speed_t(B1200) << true;
}

void TestSerialPort::lineSettings()
{
    QFETCH(PortConfig, config);
    QFETCH(speed_t, speed);
    QFETCH(bool, twoStopBits);
    PtyPair pty;
    QVERIFY(pty.IsValid());
    config.portName = pty.SlaveName();
    CSerialPort port;
    port.SetConfig(config);
    QVERIFY2(port.Open(), qPrintable(port.m_szLastError));

    const termios t = pty.SlaveAttributes();
    QCOMPARE(cfgetospeed(&t), speed);
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(bool(t.c_cflag & CSTOPB), twoStopBits);
    QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
    // Mark parity is PARENB | CMSPAR | PARODD. A Linux pseudo-terminal drops PARENB whatever is
    // asked but keeps the other two, which only mark parity sets together.
    QCOMPARE(t.c_cflag & (CMSPAR | PARODD), tcflag_t(CMSPAR | PARODD));
}

void TestSerialPort::dataBits_data()
{
    QTest::addColumn<PortConfig>("config");
    QTest::addColumn<tcflag_t>("charSize");
    QTest::newRow("5 bits") << ConfigFor({}, 3, 1) << tcflag_t(CS5);
    QTest::newRow("6 bits") << ConfigFor({}, 3, 2) << tcflag_t(CS6);
    QTest::newRow("9600, 7 bits, one stop bit") << ConfigFor({}, 6, 3, 0) << tcflag_t(CS7);
    QTest::newRow("8 bits") << ConfigFor({}, 3, 4) << tcflag_t(CS8);
}

void TestSerialPort::dataBits()
{
    QFETCH(PortConfig, config);
    QFETCH(tcflag_t, charSize);
    PtyPair pty;
    QVERIFY(pty.IsValid());
    config.portName = pty.SlaveName();
    CSerialPort port;
    port.SetConfig(config);
    switch (pty.TryCharSize(charSize)) {
    case PtyPair::CharSize::Kept:
        QVERIFY2(port.Open(), qPrintable(port.m_szLastError));
        QCOMPARE(pty.SlaveAttributes().c_cflag & CSIZE, charSize);
        break;
    case PtyPair::CharSize::Refused:
        QVERIFY(!port.Open());
        QCOMPARE(port.m_szLastError, QStringLiteral("Не удается настроить порт."));
        break;
    case PtyPair::CharSize::Replaced:
        QSKIP("this pseudo-terminal quietly replaces the character size");
    }
}

void TestSerialPort::openTwiceKeepsFirstPort()
{
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(ConfigFor(pty.SlaveName()));
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
    QVERIFY(pty.IsValid());
    CSerialPort holder;
    if (busy) {
        name = pty.SlaveName();
        holder.SetConfig(ConfigFor(name));
        QVERIFY(holder.Open());
    }
    CSerialPort port;
    port.SetConfig(ConfigFor(name));
    QVERIFY(!port.Open());
    QCOMPARE(port.m_szLastError, QStringLiteral("Не удается открыть порт."));
    QVERIFY(port.m_dwLastError != 0);
    QVERIFY(!port.IsOpen());
    port.Close();
    port.Close();

    // The failed attempt holds nothing: once the port is free, the next Open works.
    holder.Close();
    port.SetConfig(ConfigFor(pty.SlaveName()));
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
    QVERIFY(pty.IsValid());
    config.portName = pty.SlaveName();
    CSerialPort port;
    port.SetConfig(config);
    QVERIFY(!port.Open());
    QCOMPARE(port.m_szLastError, QStringLiteral("Не удается настроить порт."));
    QVERIFY(port.m_dwLastError != 0);
    QVERIFY(!port.IsOpen());
    port.Close();

    CSerialPort other;
    other.SetConfig(ConfigFor(pty.SlaveName()));
    QVERIFY2(other.Open(), qPrintable(other.m_szLastError));
}

void TestSerialPort::setConfigAppliesAtNextOpen()
{
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(ConfigFor(pty.SlaveName()));
    QVERIFY(port.Open());
    port.SetConfig(ConfigFor(pty.SlaveName(), 6, 4, 0));
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
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(ConfigFor(pty.SlaveName()));
    QVERIFY(port.Open());
    pty.SuspendSlaveOutput();
    const QByteArray bytes = Pattern(10);
    QCOMPARE(WriteBytes(port, bytes), qint64(0));

    // The next write discards what the stuck one left behind.
    pty.ResumeSlaveOutput();
    const QByteArray next = Pattern(3);
    QCOMPARE(WriteBytes(port, next), next.size());
    QCOMPARE(pty.ReadAll(), next);
}

void TestSerialPort::writeWithoutOpenPort()
{
    CSerialPort port;
    const QByteArray bytes = Pattern(4);
    QCOMPARE(WriteBytes(port, bytes), qint64(0));
}

void TestSerialPort::systemPortName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
#ifdef Q_OS_LINUX
    QTest::newRow("COM1") << "COM1"
                          << "/dev/ttyS0";
    QTest::newRow("COM4") << "COM4"
                          << "/dev/ttyS3";
    QTest::newRow("com2") << "com2"
                          << "/dev/ttyS1";
#else
    QTest::newRow("COM1") << "COM1"
                          << "COM1";
#endif
    QTest::newRow("COM5") << "COM5"
                          << "COM5";
    QTest::newRow("COM10") << "COM10"
                           << "COM10";
    QTest::newRow("full path") << "/dev/pts/3"
                               << "/dev/pts/3";
}

void TestSerialPort::systemPortName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(CSerialPort::SystemPortName(name), expected);
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
