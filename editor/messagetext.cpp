#include "editor/messagetext.h"

#include "editor/messagecodec.h"
#include "settings/cp1251.h"

#include <QDataStream>
#include <QIODevice>
#include <algorithm>

namespace
{

// Below 0x20 a character would turn into a stream code (0x00–0x03), a stray 0x0D or an unmarked
// device symbol (0x10–0x1F).
bool IsControlCharacter(char16_t ch)
{
    return ch < 0x20 || ch == 0x7F;
}

} // namespace

namespace MessageText
{

const QString kMimeType = QStringLiteral("application/x-tavrix-marked-text");

bool IsDeviceSymbol(quint8 byte)
{
    const quint32 type = CMessageCodec::GetByteType(byte);
    return type >= SYM_PAGE_80 && type <= SYM_PAGE_B0;
}

// The markup refuses what the display would not show as itself; foreign text is only cleaned
// (below), since an operator may type a tab or a character that the display shows as a symbol.
bool IsShownCharacter(quint8 byte)
{
    return !IsControlCharacter(byte) && byte != 0x98 && !IsDeviceSymbol(byte);
}

QString ThroughCodePage(const QString& text)
{
    return Cp1251::ToUnicode(Cp1251::FromUnicode(text));
}

// Line breaks arrive as CR LF, a lone CR or a Unicode separator; each becomes one LF. A tab stays,
// as a typed one does.
QString CleanForeignText(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                continue;
            result += u'\n';
        } else if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) {
            result += u'\n';
        } else if (ch == u'\n' || ch == u'\t' ||
                   (!IsControlCharacter(ch.unicode()) && ch != QChar::ObjectReplacementCharacter)) {
            result += ch;
        }
    }
    return ThroughCodePage(result);
}

bool IsMarkingColor(quint32 color)
{
    return color == CMessageCodec::kControlColor || CMessageCodec::PageOfColor(color) >= 0;
}

// A control letter or digit in the control colour, a symbol character of the page a page colour
// names: anything else in a marking colour would encode as something other than it shows.
bool KeepsMarking(QChar ch, quint32 color)
{
    if (color == CMessageCodec::kControlColor)
        return CMessageCodec::IsControlLetter(ch) || (ch >= u'0' && ch <= u'9');
    const int page = CMessageCodec::PageOfColor(color);
    return page >= 0 && ch.unicode() < 0x100 &&
           CMessageCodec::IsPageSymbol(page, quint8(ch.unicode()));
}

// Only the marking survives: other colours, fonts and sizes become plain text.
void AppendPasted(QList<Run>& runs, const QString& text, quint32 color)
{
    if (!IsMarkingColor(color)) {
        runs.append({CleanForeignText(text), 0});
        return;
    }
    qsizetype start = 0;
    while (start < text.size()) {
        const bool marked = KeepsMarking(text[start], color);
        qsizetype end = start + 1;
        while (end < text.size() && KeepsMarking(text[end], color) == marked)
            ++end;
        const QString part = text.sliced(start, end - start);
        runs.append(marked ? Run{part, color} : Run{CleanForeignText(part), 0});
        start = end;
    }
}

QList<Run> FromPlainText(const QString& text)
{
    return {{CleanForeignText(text), 0}};
}

QByteArray ToMimeData(const QList<Run>& runs)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << quint32(runs.size());
    for (const Run& run : runs)
        stream << run.text << run.color;
    return bytes;
}

QList<Run> FromMimeData(const QByteArray& data)
{
    QList<Run> runs;
    QDataStream stream(data);
    quint32 count = 0;
    stream >> count;
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        Run run;
        stream >> run.text >> run.color;
        if (stream.status() != QDataStream::Ok)
            break;
        AppendPasted(runs, run.text, run.color);
    }
    return runs;
}

void CutToRoom(QList<Run>& runs, int room)
{
    room = std::max(0, room);
    quint32 cutColor = 0;
    bool cut = false;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        if (runs[i].text.size() <= room) {
            room -= int(runs[i].text.size());
            continue;
        }
        cut = true;
        cutColor = runs[i].color;
        runs[i].text.truncate(room);
        runs.resize(i + 1);
        break;
    }
    if (!cut || cutColor != CMessageCodec::kControlColor)
        return;
    for (qsizetype i = runs.size() - 1; i >= 0; --i) {
        if (runs[i].text.isEmpty())
            continue;
        if (runs[i].color == CMessageCodec::kControlColor &&
            CMessageCodec::IsControlLetter(runs[i].text.back()))
            runs[i].text.chop(1);
        break;
    }
}

} // namespace MessageText
