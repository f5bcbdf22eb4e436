#include "device/deviceframes.h"

#include <QCoreApplication>

#include <algorithm>

namespace DeviceFrames
{

QByteArray TextFrame(const quint8* stream, int length)
{
    QByteArray frame("\x02\x00\x00", 3);
    if (stream && length > 0)
        frame.append(reinterpret_cast<const char*>(stream), length);
    frame.append('\x0D');
    return frame;
}

QByteArray FlagsFrame(bool greeting, bool demoString, bool demoPictures)
{
    const char mask =
        char((greeting ? 0x01 : 0) | (demoString ? 0x02 : 0) | (demoPictures ? 0x04 : 0));
    QByteArray frame(1, '\x00');
    frame.append(mask);
    return frame;
}

QByteArray PictureListFrame(const std::vector<PictureEntry>& pictures)
{
    const int shown = ShownCount(pictures);
    if (shown > kMaxShownPictures)
        return {};
    QByteArray frame;
    frame.reserve(2 * shown + 2);
    frame.append('\x01');
    for (const PictureEntry& picture : pictures) {
        if (!picture.bShown)
            continue;
        // The device takes one byte for each: larger values go as their low byte.
        frame.append(char(picture.nDuration & 0xFF));
        frame.append(char(picture.nNumber & 0xFF));
    }
    frame.append('\x00');
    return frame;
}

QString TooManyShownText()
{
    return QCoreApplication::translate(
        "DeviceFrames", "Устройство может показывать не более 127 изображений. Отключите показ "
                        "лишних изображений.");
}

int ShownCount(const std::vector<PictureEntry>& pictures)
{
    return int(std::count_if(pictures.begin(), pictures.end(),
                             [](const PictureEntry& picture) { return picture.bShown; }));
}

} // namespace DeviceFrames
