#include "device/deviceframes.h"
#include "device/devicesender.h"
#include "device/serialport.h"
#include "ptypair.h"
#include "testbytes.h"

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

QByteArray TextFrame(const QByteArray& stream)
{
    return DeviceFrames::TextFrame(reinterpret_cast<const quint8*>(stream.constData()),
                                   int(stream.size()));
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
};

void TestDeviceFrames::textFrame_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty stream") << QByteArray() << HexBytes("02 00 00 0D");
    QTest::newRow("control code and text")
        << HexBytes("41 42 00 03 43") << HexBytes("02 00 00 41 42 00 03 43 0D");
    QTest::newRow("600 bytes") << QByteArray(600, 'x')
                               << HexBytes("020000") + QByteArray(600, 'x') + HexBytes("0D");
    QTest::newRow("line end and 0x0D inside")
        << HexBytes("0A 0D FF") << HexBytes("02 00 00 0A 0D FF 0D");
}

void TestDeviceFrames::textFrame()
{
    QFETCH(QByteArray, stream);
    QTEST(TextFrame(stream), "expected");
}

void TestDeviceFrames::flagsFrame_data()
{
    QTest::addColumn<bool>("greeting");
    QTest::addColumn<bool>("demoString");
    QTest::addColumn<bool>("demoPictures");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("none") << false << false << false << HexBytes("00 00");
    QTest::newRow("greeting and demo pictures") << true << false << true << HexBytes("00 05");
    QTest::newRow("demo string only") << false << true << false << HexBytes("00 02");
    QTest::newRow("all") << true << true << true << HexBytes("00 07");
}

void TestDeviceFrames::flagsFrame()
{
    QFETCH(bool, greeting);
    QFETCH(bool, demoString);
    QFETCH(bool, demoPictures);
    QTEST(DeviceFrames::FlagsFrame(greeting, demoString, demoPictures), "expected");
}

void TestDeviceFrames::pictureListFrame_data()
{
    QTest::addColumn<std::vector<PictureEntry>>("pictures");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("shown");

    QTest::newRow("hidden one between two shown")
        << std::vector{Picture(true, 3, 5), Picture(false, 7, 9), Picture(true, 1, 10)}
        << HexBytes("01 05 03 0A 01 00") << 2;
    QTest::newRow("none shown") << std::vector{Picture(false, 1, 1)} << HexBytes("01 00") << 0;
    QTest::newRow("empty list") << std::vector<PictureEntry>{} << HexBytes("01 00") << 0;
    QTest::newRow("duration 300, number 257 and -1")
        << std::vector{Picture(true, 257, 300), Picture(true, -1, 0)}
        << HexBytes("01 2C 01 00 FF 00") << 2;

    QByteArray full = HexBytes("01");
    for (int i = 0; i < DeviceFrames::kMaxShownPictures; ++i)
        full.append(char(1)).append(char(i));
    QTest::newRow("127 shown") << ShownPictures(127) << full + HexBytes("00") << 127;
    QTest::newRow("128 shown") << ShownPictures(128) << QByteArray() << 128;
}

void TestDeviceFrames::pictureListFrame()
{
    QFETCH(std::vector<PictureEntry>, pictures);
    QTEST(DeviceFrames::ShownCount(pictures), "shown");
    QTEST(DeviceFrames::PictureListFrame(pictures), "expected");
}

void TestDeviceFrames::sendPutsFrameOnTheLine_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("text frame of an empty stream") << TextFrame(QByteArray());
    QTest::newRow("text frame of 600 bytes") << TextFrame(QByteArray(600, '\x0A'));
    QTest::newRow("empty frame of 128 pictures refused")
        << DeviceFrames::PictureListFrame(ShownPictures(128));
}

void TestDeviceFrames::sendPutsFrameOnTheLine()
{
    QFETCH(QByteArray, frame);
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(PortConfig{pty.SlaveName(), 10}); // 56000 baud: the line time stays short
    CDeviceSender sender(port.GetConfig());
    QVERIFY(sender.Start({CDeviceSender::Frame{frame, 0}}));
    QCOMPARE(sender.WaitForResult(),
             frame.isEmpty() ? CDeviceSender::Result::WriteFailed : CDeviceSender::Result::Ok);
    QCOMPARE(pty.ReadAll(frame.isEmpty() ? 100 : 1000), frame);
}

QTEST_GUILESS_MAIN(TestDeviceFrames)
#include "tst_deviceframes.moc"
