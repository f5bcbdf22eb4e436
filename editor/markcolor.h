#pragma once

#include <QColor>

class QTextCharFormat;

// The marking colours travel as 0x00BBGGRR values (the codec's constants); the edit control and
// the glyph painter both turn them into Qt colours and back.
namespace MarkColor
{
QColor ToQColor(quint32 bgr);
quint32 Of(const QTextCharFormat& format);
} // namespace MarkColor
