#include "device/deviceframes.h"
#include "device/serialport.h"
#include "ptypair.h"

#include <QTest>

namespace
{

PictureEntry Picture(bool shown, int number, int duration)
{
    PictureEntry entry;
    entry.Set(shown, QStringLiteral("picture"), number, duration);
    return entry;
}

std::vector<PictureEntry> ShownPictures(int count)
{
    std::vector<PictureEntry> pictures;
    for (int i = 0; i < count; ++i)
        pictures.push_back(Picture(true, i, 1));
    return pictures;
}

} // namespace

class TestDeviceFrames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textFrame_data();
    void textFrame();
    void flagsFrame_data();
    void flagsFrame();
    void pictureListFrame_data();
    void pictureListFrame();
    void sendPutsFrameOnTheLine_data();
    void sendPutsFrameOnTheLine();
    void sendRefusesEmptyFrame();
};

void TestDeviceFrames::textFrame_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty stream") << QByteArray() << QByteArray("\x02\x00\x00\x0D", 4);
    QTest::newRow("control code and text") << QByteArray("\x41\x42\x00\x03\x43", 5)
                                           << QByteArray("\x02\x00\x00\x41\x42\x00\x03\x43\x0D", 9);
    QTest::newRow("line end and 0x0D inside")
        << QByteArray("\x0A\x0D\xFF", 3) << QByteArray("\x02\x00\x00\x0A\x0D\xFF\x0D", 7);
}

void TestDeviceFrames::textFrame()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, expected);
    const auto* bytes = reinterpret_cast<const quint8*>(stream.constData());
    QCOMPARE(DeviceFrames::TextFrame(bytes, int(stream.size())), expected);
}

void TestDeviceFrames::flagsFrame_data()
{
    QTest::addColumn<bool>("greeting");
    QTest::addColumn<bool>("demoString");
    QTest::addColumn<bool>("demoPictures");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("none") << false << false << false << QByteArray("\x00\x00", 2);
    QTest::newRow("greeting and demo pictures")
        << true << false << true << QByteArray("\x00\x05", 2);
    QTest::newRow("demo string only") << false << true << false << QByteArray("\x00\x02", 2);
    QTest::newRow("all") << true << true << true << QByteArray("\x00\x07", 2);
}

void TestDeviceFrames::flagsFrame()
{
    QFETCH(bool, greeting);
    QFETCH(bool, demoString);
    QFETCH(bool, demoPictures);
    QFETCH(QByteArray, expected);
    QCOMPARE(DeviceFrames::FlagsFrame(greeting, demoString, demoPictures), expected);
}

void TestDeviceFrames::pictureListFrame_data()
{
    QTest::addColumn<std::vector<PictureEntry>>("pictures");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("shown");

    QTest::newRow("hidden one between two shown")
        << std::vector{Picture(true, 3, 5), Picture(false, 7, 9), Picture(true, 1, 10)}
        << QByteArray("\x01\x05\x03\x0A\x01\x00", 6) << 2;
    QTest::newRow("none shown") << std::vector{Picture(false, 1, 1)} << QByteArray("\x01\x00", 2)
                                << 0;
    QTest::newRow("empty list") << std::vector<PictureEntry>{} << QByteArray("\x01\x00", 2) << 0;
    QTest::newRow("duration 300, number 257 and -1")
        << std::vector{Picture(true, 257, 300), Picture(true, -1, 0)}
        << QByteArray("\x01\x2C\x01\x00\xFF\x00", 6) << 2;

    QByteArray full("\x01", 1);
    for (int i = 0; i < DeviceFrames::kMaxShownPictures; ++i)
        full.append(char(1)).append(char(i));
    full.append('\x00');
    QTest::newRow("127 shown") << ShownPictures(127) << full << 127;
    QTest::newRow("128 shown") << ShownPictures(128) << QByteArray() << 128;
}

void TestDeviceFrames::pictureListFrame()
{
    QFETCH(std::vector<PictureEntry>, pictures);
    QFETCH(QByteArray, expected);
    QFETCH(int, shown);
    QCOMPARE(DeviceFrames::ShownCount(pictures), shown);
    QCOMPARE(DeviceFrames::PictureListFrame(pictures), expected);
}

void TestDeviceFrames::sendPutsFrameOnTheLine_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("empty stream") << QByteArray();
    QTest::newRow("600 bytes") << QByteArray(600, '\x0A');
}

void TestDeviceFrames::sendPutsFrameOnTheLine()
{
    QFETCH(QByteArray, stream);
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(PortConfig{pty.SlaveName()});
    QVERIFY2(port.Open(), qPrintable(port.m_szLastError));
    const QByteArray frame = DeviceFrames::TextFrame(
        reinterpret_cast<const quint8*>(stream.constData()), int(stream.size()));
    QCOMPARE(frame.size(), stream.size() + 4);
    QVERIFY(DeviceFrames::Send(port, frame));
    QCOMPARE(pty.ReadAll(), frame);
}

void TestDeviceFrames::sendRefusesEmptyFrame()
{
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(PortConfig{pty.SlaveName()});
    QVERIFY(port.Open());
    const QByteArray frame = DeviceFrames::PictureListFrame(ShownPictures(128));
    QVERIFY(!DeviceFrames::Send(port, frame));
    QCOMPARE(pty.ReadAll(100), QByteArray());
}

QTEST_GUILESS_MAIN(TestDeviceFrames)
#include "tst_deviceframes.moc"
