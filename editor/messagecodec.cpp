#include "editor/messagecodec.h"

#include "editor/tavrixeditordoc.h"
#include "editor/textsnapshot.h"
#include "settings/prompt.h"

#include <algorithm>
#include <charconv>

namespace
{

bool IsControl(quint32 type)
{
    return type >= SYM_FONT && type <= SYM_STOP;
}

} // namespace

CMessageCodec::CMessageCodec(IEditControl& edit, IPrompt& prompt) : m_edit(edit), m_prompt(prompt)
{
}

bool CMessageCodec::CatchChar(quint32 type, quint8 value, qint8 param)
{
    if (InsertSymbol(type, value, param) && m_pDoc)
        m_pDoc->SetModifiedFlag(true);
    return true;
}

bool CMessageCodec::InsertSymbol(quint32 type, quint8 value, qint8 param)
{
    m_edit.GetSel(m_nSelStart, m_nSelEnd);
    QByteArray text;
    CharFormat format;
    if (type > SYM_STOP) {
        m_prompt.Inform(QStringLiteral("Default in CatchChar"));
        m_edit.ReplaceSel(QByteArray());
        m_edit.SetSelectionCharFormat(m_cfNormal);
        return true;
    }
    if (!SymbolText(type, value, param, text, format))
        return false;
    m_edit.SetSelectionCharFormat(format);
    m_edit.ReplaceSel(text);
    m_edit.SetSelectionCharFormat(m_cfNormal);
    return true;
}

bool CMessageCodec::SymbolText(quint32 type, quint8 value, qint8 param, QByteArray& text,
                               CharFormat& format) const
{
    format = m_cfControl;
    switch (type) {
    case SYM_PLAIN:
        // The bytes 0x00–0x03 are codes in the stream: as plain characters they cannot be stored.
        if (value <= 0x03)
            return false;
        text.resize(1);
        text[0] = char(value);
        format = m_cfNormal;
        return true;
    case SYM_PAGE_80:
    case SYM_PAGE_90:
    case SYM_PAGE_A0:
    case SYM_PAGE_B0: {
        static constexpr quint8 kToEditor[4] = {0x70, 0x80, quint8(-0x70), quint8(-0x60)};
        const int page = int(type - SYM_PAGE_80);
        text.resize(1);
        text[0] = char(quint8(value - kToEditor[page]));
        format.color = kPageColor[page];
        return true;
    }
    default:
        // SYM_CONTROL and the control letters: the letter and the parameter as "%1d".
        // In place: a message decodes one item at a time into the same buffer.
        char digits[4];
        const auto written = std::to_chars(std::begin(digits), std::end(digits), int(param)).ptr;
        text.resize(1);
        text[0] = char(value);
        text.append(digits, written - digits);
        return true;
    }
}

bool CMessageCodec::EncodeText()
{
    if (!m_pDoc)
        return true;
    m_pDoc->m_nLength = EncodeInto(m_edit.Snapshot(), m_pDoc->m_pData.get(), m_pDoc->m_nCapacity,
                                   m_pDoc->m_nDropped);
    return true;
}

int CMessageCodec::EncodeInto(const IEditControl& edit, quint8* data, int capacity, int& dropped)
{
    int length = 0;
    dropped = 0;
    const QByteArray text = edit.GetText();
    const int n = int(text.size());
    bool full = false;
    int i = 0;
    while (i < n) {
        const char ch = text[i];
        if (ch == '\r') {
            ++i;
            continue;
        }
        const quint32 type = SymTypeAt(edit, text, i);
        const bool code = IsControl(type) && i < n - 1 && edit.GetCharColor(i + 1) == kControlColor;
        const int size = code ? 2 : 1;
        // A code and its parameter are stored together or not at all, and once an item has not
        // fitted nothing later is stored, so the stream stays a prefix of the message.
        if (!full && length + size >= capacity)
            full = true;
        if (full) {
            dropped += size;
        } else if (code) {
            data[length++] = CTavrixEditorDoc::StreamByte(type, EncodeControl(Letter, ch, false));
            data[length++] = EncodeControl(Digit, text[i + 1], type == SYM_STOP);
        } else {
            data[length] = CTavrixEditorDoc::StreamByte(type, quint8(ch));
            // A lone code byte would swallow the next item as its parameter; such a character
            // (a stray NUL, or a wrongly coloured one) cannot be stored at all.
            if (data[length] > 0x03)
                ++length;
        }
        i += size;
    }
    return length;
}

// The whole text is built here in one pass, its formats merged into runs, and handed to the
// control at once: inserting item by item costs the control a layout step per item.
bool CMessageCodec::DecodeDocument()
{
    QByteArray text;
    QList<FormatRun> runs;
    if (m_pDoc)
        DecodeStream(m_pDoc->m_pData.get(), m_pDoc->m_nLength, text, runs);
    m_edit.BeginBulkEdit();
    m_edit.SetMarkedText(text, runs);
    m_edit.SetSelectionCharFormat(m_cfNormal);
    m_edit.EndBulkEdit();
    m_edit.GetSel(m_nSelStart, m_nSelEnd);
    if (m_pDoc)
        m_pDoc->SetModifiedFlag(false);
    return true;
}

void CMessageCodec::DecodeStream(const quint8* data, int length, QByteArray& text,
                                 QList<FormatRun>& runs) const
{
    const int limit = m_edit.GetLimitText();
    text.reserve(std::min(length, limit));
    QByteArray item;
    CharFormat format;
    int i = 0;
    while (i < length) {
        const quint8 byte = data[i];
        const quint32 type = GetByteType(byte);
        bool shown = false;
        if (byte == 0x0D) {
            ++i;
        } else if (IsControl(type)) {
            // A code without its parameter (a stream cut elsewhere) shows nothing.
            if (i + 1 < length) {
                const quint8 param = data[i + 1];
                const bool stop = (param & 0x0F) == 0;
                shown = SymbolText(type, DecodeControl(Letter, byte, stop),
                                   qint8(DecodeControl(Digit, param, stop)), item, format);
            }
            i += 2;
        } else {
            shown = SymbolText(type, byte, 0, item, format);
            ++i;
        }
        if (!shown)
            continue;
        // A stream that decodes to more than the control holds keeps its whole first items.
        if (item.size() > limit - text.size())
            break;
        text += item;
        if (!runs.isEmpty() && runs.last().format == format)
            runs.last().length += int(item.size());
        else
            runs.append({int(item.size()), format});
    }
}

quint32 CMessageCodec::GetSymType(int index) const
{
    return SymTypeAt(m_edit, m_edit.GetText(), index);
}

quint32 CMessageCodec::SymTypeAt(const IEditControl& edit, const QByteArray& text, int index)
{
    if (index < 0 || index >= text.size())
        return SYM_PLAIN;
    const quint32 color = edit.GetCharColor(index);
    if (const int page = PageOfColor(color); page >= 0)
        return IsPageSymbol(page, quint8(text[index])) ? SYM_PAGE_80 + quint32(page) : SYM_PLAIN;
    if (color != kControlColor)
        return SYM_PLAIN;
    switch (text[index]) {
    case 'e':
        return SYM_EFFECT;
    case 'f':
        return SYM_FONT;
    case 'i':
        return SYM_I;
    case 's':
        return SYM_STOP;
    case 'v':
        return SYM_V;
    default:
        return SYM_PLAIN;
    }
}

// Only the sixteen characters 0x10–0x1F carry symbols, and only where the byte they make is read
// back as a symbol of the same page: any other character with a page colour (pasted text) would
// otherwise wrap into a code, a line break or a plain letter.
bool CMessageCodec::IsPageSymbol(int page, quint8 ch)
{
    if (ch < 0x10 || ch > 0x1F || page < 0 || page > 3)
        return false;
    const quint8 byte = quint8(ch + 0x70 + 0x10 * page);
    return GetByteType(byte) == SYM_PAGE_80 + quint32(page);
}

int CMessageCodec::PageOfColor(quint32 color)
{
    for (int page = 0; page < 4; ++page) {
        if (color == kPageColor[page])
            return page;
    }
    return -1;
}

bool CMessageCodec::IsControlLetter(QChar ch)
{
    return ch == u'e' || ch == u'f' || ch == u'i' || ch == u's' || ch == u'v';
}

quint32 CMessageCodec::GetByteType(quint8 byte)
{
    if (byte == 0xA8 || byte == 0xB8 || byte == 0xB9)
        return SYM_PLAIN;
    if (byte >= 0x80 && byte <= 0xBF)
        return SYM_PAGE_80 + quint32((byte - 0x80) >> 4);
    switch (byte) {
    case 0x00:
        return SYM_FONT;
    case 0x01:
        return SYM_I;
    case 0x02:
        return SYM_EFFECT;
    case 0x03:
        return SYM_V;
    default:
        return SYM_PLAIN;
    }
}

bool CMessageCodec::IsControlType(Source source, int index) const
{
    if (source == FromEditor)
        return IsControl(GetSymType(index));
    if (!m_pDoc || index < 0 || index >= m_pDoc->m_nLength)
        return false;
    return IsControl(GetByteType(m_pDoc->m_pData[index]));
}

quint8 CMessageCodec::EncodeControl(Mode mode, char ch, bool stop)
{
    if (mode == Letter) {
        switch (ch) {
        case 'e':
            return 0x02;
        case 'f':
            return 0x00;
        case 'i':
            return 0x01;
        case 's':
        case 'v':
            return 0x03;
        default:
            return quint8(ch);
        }
    }
    const int value = (ch >= '0' && ch <= '9') ? ch - '0' : 0;
    return quint8(stop ? value << 4 : value);
}

quint8 CMessageCodec::DecodeControl(Mode mode, quint8 byte, bool stop)
{
    if (mode == Letter) {
        switch (byte) {
        case 0x00:
            return 'f';
        case 0x01:
            return 'i';
        case 0x02:
            return 'e';
        case 0x03:
            return stop ? 's' : 'v';
        default:
            return byte;
        }
    }
    return stop ? quint8(byte >> 4) : byte;
}
