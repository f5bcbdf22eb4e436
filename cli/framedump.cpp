#include "cli/framedump.h"

#include "device/deviceframes.h"
#include "editor/messagemarkup.h"

namespace
{

constexpr qsizetype kBytesPerLine = 16;
constexpr qsizetype kHeaderLength = 3; // 0x02 0x00 0x00 before the stream

QString HexBytes(QByteArrayView bytes)
{
    QString hex = QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
    return hex.leftJustified(kBytesPerLine * 3 - 1);
}

} // namespace

namespace FrameDump
{

QString Text(QByteArrayView stream)
{
    const QByteArray frame =
        DeviceFrames::TextFrame(reinterpret_cast<const quint8*>(stream.data()), int(stream.size()));
    const QList<MessageMarkup::Item> items = MessageMarkup::Items(stream);
    const int offsetWidth = frame.size() > 0xFFFF ? 8 : 4;
    QString text;
    qsizetype item = 0;
    for (qsizetype start = 0; start < frame.size(); start += kBytesPerLine) {
        const qsizetype end = std::min(start + kBytesPerLine, frame.size());
        QString markup;
        for (; item < items.size() && items[item].offset + kHeaderLength < end; ++item)
            markup += QString(items[item].text).replace(u'\n', QStringLiteral("\\n"));
        const QString offset =
            QString::number(start, 16).toUpper().rightJustified(offsetWidth, u'0');
        const QString hex = HexBytes(QByteArrayView(frame).sliced(start, end - start));
        text += markup.isEmpty()
                    ? offset + QStringLiteral("  ") + hex.trimmed()
                    : offset + QStringLiteral("  ") + hex + QStringLiteral("  ") + markup;
        text += u'\n';
    }
    return text;
}

} // namespace FrameDump
