#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

// Windows-1251, the code page of the settings file, the message stream and the glyph indices.
// The only place in the program that converts between it and QString. Every byte value maps to
// one character and back (0x98, undefined in the code page, maps to U+0098); a character
// outside the code page becomes '?'.
namespace Cp1251
{

QChar ToUnicode(unsigned char byte);
unsigned char FromUnicode(QChar ch);
QString ToUnicode(QByteArrayView bytes);
QByteArray FromUnicode(QStringView text);

} // namespace Cp1251
