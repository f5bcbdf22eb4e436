#pragma once

#include "settings/cp1251.h"

#include <QByteArray>

// Device streams of a chosen size in the shapes a long message takes. Every kind of item shows
// up: plain Latin, Cyrillic and other bytes, symbols of the four pages, the font, "i", effect and
// "v" codes and the full stop. Items are whole and 0x0D never occurs, so decoding and encoding
// give the same bytes back.
namespace SampleStreams
{

inline const QByteArray& Characters()
{
    static const QByteArray chars = [] {
        QByteArray all;
        for (int byte = 0x04; byte <= 0xFF; ++byte) {
            if (byte != 0x0A && byte != 0x0D)
                all += char(byte);
        }
        return all;
    }();
    return chars;
}

// What an operator writes: Russian and Latin words, digits, punctuation and a device symbol.
inline const QByteArray& Words()
{
    static const QByteArray words =
        Cp1251::FromUnicode(u"Бегущая строка: скидки 20% на всё, Tavrix! ") + "\x85";
    return words;
}

// The n-th character item, stepping through the whole table in an order that mixes kinds.
inline char Character(int n)
{
    const QByteArray& chars = Characters();
    return chars[qsizetype(n) * 37 % chars.size()];
}

// The n-th code with its parameter: font, "i", effect, "v" (1–9) and the full stop (1–9) in turn.
inline QByteArray Code(int n)
{
    static const char kCodes[] = {0x00, 0x01, 0x02, 0x03, 0x03};
    const int kind = n % 5;
    const int digit = n / 5 % 10;
    QByteArray code(1, kCodes[kind]);
    if (kind == 4)
        code += char((digit % 9 + 1) << 4);
    else
        code += char(kind == 3 ? digit % 9 + 1 : digit);
    return code;
}

// size bytes: runs of plainRun characters each followed by a code, a line break once a line
// holds lineLength characters (never when lineLength is 0). The characters are every byte that is
// not a code, or else the words in turn.
inline QByteArray Stream(int size, int lineLength, int plainRun, bool words = false)
{
    QByteArray stream;
    stream.reserve(size);
    int column = 0;
    int inRun = 0;
    int n = 0;
    while (stream.size() < size) {
        if (lineLength > 0 && column >= lineLength) {
            stream += '\n';
            column = 0;
        } else if (inRun == plainRun && size - stream.size() >= 2) {
            stream += Code(n++);
            column += 2;
            inRun = 0;
        } else {
            stream += words ? Words()[n++ % Words().size()] : Character(n++);
            ++column;
            ++inRun;
        }
    }
    return stream;
}

// Lines of 80 characters with a code every 16 characters.
inline QByteArray Lines(int size, bool words = false)
{
    return Stream(size, 80, 14, words);
}

// One paragraph whose format changes every 2 characters: the hardest text for the layout.
inline QByteArray Paragraph(int size, bool words = false)
{
    return Stream(size, 0, 2, words);
}

} // namespace SampleStreams
