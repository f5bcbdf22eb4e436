#pragma once

#include "settings/pictureentry.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The three frames the display understands. None has a length field or a checksum.
namespace DeviceFrames
{

// Most pictures the picture-list frame can carry (1 + 2 × 127 + 1 = 256 bytes).
constexpr int kMaxShownPictures = 127;

// 0x02 0x00 0x00, the stream, 0x0D.
QByteArray TextFrame(const quint8* stream, int length);
// 0x00, then bit 0 greeting, bit 1 demonstration string, bit 2 demonstration pictures.
QByteArray FlagsFrame(bool greeting, bool demoString, bool demoPictures);
// 0x01, then duration and number (low bytes) of every shown picture in list order, then 0x00.
QByteArray PictureListFrame(const std::vector<PictureEntry>& pictures);
int ShownCount(const std::vector<PictureEntry>& pictures);
// What the operator is told when more pictures are shown than the frame can carry.
QString TooManyShownText();

} // namespace DeviceFrames
