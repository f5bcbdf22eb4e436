#include "editor/streamcheck.h"

#include <QCoreApplication>

#include "editor/messagecodec.h"
#include "editor/symtype.h"

namespace
{

constexpr quint8 kFrameEnd = 0x0D;

bool IsCode(quint8 byte)
{
    const quint32 type = CMessageCodec::GetByteType(byte);
    return type >= SYM_FONT && type <= SYM_STOP;
}

QString Hex(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

namespace StreamCheck
{

std::optional<Fault> FirstFault(QByteArrayView stream)
{
    for (qsizetype i = 0; i < stream.size(); ++i) {
        const quint8 byte = quint8(stream[i]);
        if (byte == kFrameEnd)
            return Fault{i, QCoreApplication::translate("StreamCheck",
                                                        "байт 0D табло примет за конец кадра")};
        if (!IsCode(byte))
            continue;
        if (i + 1 == stream.size())
            return Fault{i,
                         QCoreApplication::translate(
                             "StreamCheck", "у кода %1 нет параметра: сообщение на нем кончается, "
                                            "и табло возьмет параметром конец кадра")
                             .arg(Hex(byte))};
        if (quint8(stream[i + 1]) != kFrameEnd)
            ++i; // the parameter, whatever byte it is
    }
    return std::nullopt;
}

} // namespace StreamCheck
