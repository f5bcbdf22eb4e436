#include "editorfixture.h"
#include "fuzzapp.h"
#include "streamfault.h"

#include <QClipboard>
#include <QDataStream>
#include <QMimeData>
#include <cstdlib>

namespace
{

// The first byte picks the clipboard kind; the rest is its content. The editor's own format is
// built as runs of (UTF-16 character, colour from a table holding every marking colour).
QMimeData* Clip(const QByteArray& input)
{
    auto* mime = new QMimeData;
    const QByteArray rest = input.mid(1);
    switch (input.isEmpty() ? 0 : quint8(input[0]) % 3) {
    case 0:
        mime->setText(QString::fromUtf8(rest));
        break;
    case 1:
        mime->setHtml(QString::fromUtf8(rest));
        break;
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
        mime->setData(QStringLiteral("application/x-tavrix-marked-text"), bytes);
    }
    }
    return mime;
}

} // namespace

// Nothing pasted puts a byte into the stream that does not stand for what the text shows.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication<QApplication>("fuzz_paste");
    // One control for the process, on a new message for each input, so that a finding replays
    // from its input alone. Never destroyed, as the application.
    static auto* fixture = new EditorFixture;
    EditorFixture& f = *fixture;
    f.Reset();
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QApplication::clipboard()->setMimeData(Clip(input));
    f.edit.paste();
    const QByteArray stream = f.Encode();
    const QString fault = StreamFault(stream, f.edit.GetText());
    if (!fault.isEmpty()) {
        qWarning("%s in %s from %s", qPrintable(fault), stream.toHex(' ').constData(),
                 input.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
