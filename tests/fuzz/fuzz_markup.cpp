#include "editor/messagemarkup.h"

#include <QStringList>
#include <cstdlib>

namespace
{

// The offset in markup of a 1-based line and column counted in characters, or -1 when the text
// has no such character. A line ends at LF; the CR of a CR LF belongs to the break.
qsizetype OffsetOf(const QString& markup, int line, int column)
{
    if (line < 1 || column < 1)
        return -1;
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        start = markup.indexOf(u'\n', start);
        if (start < 0)
            return -1;
        ++start;
    }
    qsizetype end = markup.indexOf(u'\n', start);
    if (end < 0)
        end = markup.size();
    else if (end > start && markup[end - 1] == u'\r')
        --end;
    qsizetype offset = start;
    for (int n = 1; n < column; ++n) {
        if (offset >= end)
            return -1;
        offset += markup[offset].isHighSurrogate() && offset + 1 < end &&
                          markup[offset + 1].isLowSurrogate()
                      ? 2
                      : 1;
    }
    return offset < end ? offset : -1;
}

[[noreturn]] void Fail(const char* what, const QString& markup, const QString& detail)
{
    qWarning("%s: %s\nmarkup: %s", what, qPrintable(detail),
             markup.toUtf8().toHex(' ').constData());
    std::abort();
}

// A fault names a character of the text, and the stream holds what the text before it reads as.
void CheckFault(const QString& markup, const QByteArray& stream, const MessageMarkup::Error& error)
{
    const qsizetype offset = OffsetOf(markup, error.line, error.column);
    if (offset < 0)
        Fail("fault outside the text", markup, MessageMarkup::Describe(error));
    QByteArray before;
    MessageMarkup::Error none;
    if (!MessageMarkup::FromMarkup(QStringView(markup).first(offset), before, none) ||
        before != stream)
        Fail("the text before a fault reads otherwise", markup, MessageMarkup::Describe(error));
}

// What markup reads as is written as markup that reads as the same stream.
void CheckMarkup(const QString& markup)
{
    QByteArray stream;
    MessageMarkup::Error error;
    if (!MessageMarkup::FromMarkup(markup, stream, error)) {
        CheckFault(markup, stream, error);
        return;
    }
    const QString written = MessageMarkup::ToMarkup(stream);
    QByteArray again;
    if (!MessageMarkup::FromMarkup(written, again, error) || again != stream)
        Fail("written markup reads otherwise", markup, written);
}

// Whatever a stream holds, its markup reads back to the same bytes.
void CheckStream(const QByteArray& stream)
{
    const QString markup = MessageMarkup::ToMarkup(stream);
    QByteArray back;
    MessageMarkup::Error error;
    if (!MessageMarkup::FromMarkup(markup, back, error) || back != stream)
        Fail("stream's markup reads otherwise", markup, QString::fromLatin1(stream.toHex(' ')));
}

} // namespace

// The input is both markup in UTF-8, as files and command lines give it, and a stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckMarkup(QString::fromUtf8(input));
    CheckStream(input);
    return 0;
}
