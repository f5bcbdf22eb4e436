#pragma once

#include <QByteArrayView>
#include <QString>

// The text frame of a message as it would go on the line: offset, 16 bytes in hex, and the
// markup of the items that begin on that line (a line break shown as \n).
namespace FrameDump
{

QString Text(QByteArrayView stream);

} // namespace FrameDump
