#include "editor/markcolor.h"

#include <QTextCharFormat>

QColor MarkColor::ToQColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 MarkColor::Of(const QTextCharFormat& format)
{
    const QColor c = format.foreground().color();
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}
