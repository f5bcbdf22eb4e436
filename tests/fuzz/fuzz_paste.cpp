#include "editor/messagecodec.h"
#include "editor/messagetext.h"
#include "editor/textsnapshot.h"
#include "streamfault.h"

#include <QDataStream>
#include <QIODevice>
#include <cstdlib>

namespace
{

// The first byte picks the clipboard kind; the rest is its content. The editor's own format comes
// as its bytes, whatever they hold, or built as runs of (UTF-16 character, colour from a table
// holding every marking colour).
QList<MessageText::Run> Pasted(const QByteArray& input)
{
    const QByteArray rest = input.mid(1);
    switch (input.isEmpty() ? 0 : quint8(input[0]) % 3) {
    case 0:
        return MessageText::FromPlainText(QString::fromUtf8(rest));
    case 1:
        return MessageText::FromMimeData(rest);
    default: {
        static const quint32 colors[] = {0,        0xFF0000, 0xFA0000, 0xF90000,
                                         0xF80000, 0xF70000, 0x0000F7, 0x123456};
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        const qsizetype runs = rest.size() / 3;
        stream << quint32(runs);
        for (qsizetype i = 0; i < runs; ++i) {
            const QChar c(quint16(quint8(rest[3 * i]) << 8 | quint8(rest[3 * i + 1])));
            stream << QString(c) << colors[quint8(rest[3 * i + 2]) % 8];
        }
        return MessageText::FromMimeData(bytes);
    }
    }
}

// The runs as the edit control holds them once pasted: each marked run in its colour.
CTextSnapshot AsPasted(const QList<MessageText::Run>& runs)
{
    QString text;
    std::vector<CTextSnapshot::ColorRun> colors;
    for (const MessageText::Run& run : runs) {
        if (run.color != 0 && !run.text.isEmpty())
            colors.push_back({int(text.size()), int(run.text.size()), run.color});
        text += run.text;
    }
    return CTextSnapshot(text, std::move(colors));
}

} // namespace

// Nothing pasted puts a byte into the stream that does not stand for what the text shows.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const CTextSnapshot pasted = AsPasted(Pasted(input));
    // Room for all of it, so that every line break has to reach the stream.
    QByteArray stream(pasted.GetTextLength() + 1, '\0');
    int dropped = 0;
    stream.truncate(CMessageCodec::EncodeInto(pasted, reinterpret_cast<quint8*>(stream.data()),
                                              int(stream.size()), dropped));
    const QString fault = StreamFault(stream, pasted.GetText());
    if (!fault.isEmpty()) {
        qWarning("%s in %s from %s", qPrintable(fault), stream.toHex(' ').constData(),
                 input.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
