#pragma once

#include <QByteArray>
#include <QString>

// Where the stream holds a byte that does not stand for what the text shows: a code byte
// 0x00-0x03 without its parameter, a 0x0D, or a 0x0A that is not one of the text's line breaks.
inline QString StreamFault(const QByteArray& stream, const QByteArray& text)
{
    int lineBreaks = 0;
    for (qsizetype i = 0; i < stream.size(); ++i) {
        const quint8 byte = quint8(stream[i]);
        if (byte <= 0x03 && i + 1 >= stream.size())
            return QStringLiteral("code without parameter at %1").arg(i);
        if (byte <= 0x03)
            ++i;
        else if (byte == 0x0D)
            return QStringLiteral("0D at %1").arg(i);
        else if (byte == 0x0A)
            ++lineBreaks;
    }
    if (lineBreaks != text.count('\n'))
        return QStringLiteral("%1 line feeds for %2 line breaks")
            .arg(lineBreaks)
            .arg(text.count('\n'));
    return {};
}
