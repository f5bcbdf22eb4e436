#include "editor/dotstrip.h"

#include "editor/messagecodec.h"
#include "fonts/exfont.h"
#include "fonts/fontlibrary.h"
#include "settings/cp1251.h"

#include <algorithm>

namespace
{

void AppendGlyph(DotLine& line, const CEXFont* font, quint8 code)
{
    if (!font || !font->m_pGlyphs || code >= font->m_nCount)
        return;
    const CEXFont::Glyph& glyph = font->m_pGlyphs[code];
    line.columns.append(reinterpret_cast<const char*>(glyph.m_pCols.get()), glyph.m_nLen);
}

} // namespace

QList<DotLine> CDotStrip::Build(const QByteArray& stream, const std::vector<const CEXFont*>& fonts)
{
    QList<DotLine> lines(1);
    const CEXFont* font = fonts.empty() ? nullptr : fonts.front();
    int pendingEffect = -1;
    const qsizetype n = stream.size();
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 byte = quint8(stream[i]);
        DotLine& line = lines.last();
        if (byte == 0x0D)
            continue;
        if (byte == 0x0A) {
            lines.append(DotLine{});
            lines.last().effect = pendingEffect;
            pendingEffect = -1;
            continue;
        }
        if (byte > 0x03) {
            AppendGlyph(line, font, byte);
            if (byte >= 0x20 && CMessageCodec::GetByteType(byte) == SYM_PLAIN)
                line.text += Cp1251::ToUnicode(byte);
            continue;
        }
        if (i + 1 >= n)
            break; // a code cut from its parameter
        const quint8 param = quint8(stream[++i]);
        DotMarker marker{int(line.columns.size()), 0, param};
        switch (byte) {
        case 0x00:
            font = param < fonts.size() ? fonts[param] : nullptr;
            marker.letter = 'f';
            break;
        case 0x01:
            marker.letter = 'i';
            break;
        case 0x02:
            // An effect before anything of its line is lit brings that very line on.
            if (param > 4)
                ; // not one of the five effects: the line runs in as usual
            else if (line.columns.isEmpty())
                line.effect = param;
            else
                pendingEffect = param;
            marker.letter = 'e';
            break;
        default:
            marker.letter = (param & 0x0F) == 0 ? 's' : 'v';
            marker.value = marker.letter == 's' ? param >> 4 : param;
            break;
        }
        line.markers.append(marker);
    }
    return lines;
}

std::vector<const CEXFont*> CDotStrip::FontsOf(const CFontLibrary& library)
{
    std::vector<const CEXFont*> fonts;
    for (int n = 0; n < library.m_nFontCount; ++n)
        fonts.push_back(library.LoadedFont(n));
    return fonts;
}

std::shared_ptr<const DotFonts> CDotStrip::CopyFontsOf(const CFontLibrary& library)
{
    auto copy = std::make_shared<DotFonts>();
    for (const CEXFont* font : FontsOf(library)) {
        copy->copies.push_back(font ? font->Clone() : nullptr);
        copy->fonts.push_back(copy->copies.back().get());
    }
    return copy;
}

QList<DotLine> CDotStrip::Wrap(const QList<DotLine>& lines, int columns)
{
    if (columns <= 0)
        return lines;
    QList<DotLine> rows;
    for (const DotLine& line : lines) {
        const int length = int(line.columns.size());
        const int first = int(rows.size());
        for (int start = 0; start == 0 || start < length; start += columns) {
            DotLine row;
            row.columns = line.columns.mid(start, columns);
            row.effect = start == 0 ? line.effect : -1;
            rows.append(row);
        }
        for (DotMarker marker : line.markers) {
            const int row = std::min(marker.column / columns, int(rows.size()) - first - 1);
            marker.column -= row * columns;
            rows[first + row].markers.append(marker);
        }
    }
    return rows;
}
