#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Whether the display can read a stream as it stands in a text frame. The frame ends at the first
// 0x0D, so one inside the message cuts it short; and a code (0x00–0x03) takes the byte after it as
// its parameter, so one at the end takes the frame's 0x0D. The editor never writes either; a
// .tvd file or raw bytes in markup may hold them.
namespace StreamCheck
{

struct Fault {
    qsizetype offset = 0; // of the byte at fault
    QString text;         // Russian, without the position
};

std::optional<Fault> FirstFault(QByteArrayView stream);

} // namespace StreamCheck
