#include "fonts/exfont.h"

#include <QIODevice>
#include <algorithm>

namespace
{

constexpr int kFileGlyphCount = 256;

bool ReadByte(QIODevice& device, quint8& value)
{
    char ch = 0;
    if (!device.getChar(&ch))
        return false;
    value = static_cast<quint8>(ch);
    return true;
}

bool ReadBytes(QIODevice& device, quint8* buffer, int count)
{
    return count == 0 || device.read(reinterpret_cast<char*>(buffer), count) == count;
}

} // namespace

CEXFont::~CEXFont()
{
    FreeGlyphs();
}

bool CEXFont::Create(int count, quint8 width, quint8 aux)
{
    if (count <= 0 || width == 0)
        return false;
    m_nWidth = width;
    m_nCount = count;
    m_nAux = aux;
    m_pGlyphs = std::make_unique<Glyph[]>(count);
    for (int c = 0; c < count; ++c) {
        m_pGlyphs[c].m_nLen = width;
        m_pGlyphs[c].m_pCols = std::make_unique<quint8[]>(width); // zero-filled
    }
    return true;
}

bool CEXFont::CopyGlyphs(const CEXFont& source)
{
    if (!m_pGlyphs)
        return true;
    for (int c = 0; c < m_nCount; ++c) {
        Glyph& glyph = m_pGlyphs[c];
        const int len = std::min(glyph.m_nLen, m_nWidth);
        int n = 0;
        // A source with fewer glyphs than this font gives blank columns, never a read past it.
        if (source.m_pGlyphs && c < source.m_nCount) {
            const Glyph& from = source.m_pGlyphs[c];
            n = std::min({len, int(from.m_nLen), int(source.m_nWidth)});
            std::copy_n(from.m_pCols.get(), n, glyph.m_pCols.get());
        }
        std::fill(glyph.m_pCols.get() + n, glyph.m_pCols.get() + len, quint8(0));
    }
    return true;
}

std::unique_ptr<CEXFont> CEXFont::Clone() const
{
    auto copy = std::make_unique<CEXFont>();
    copy->m_nWidth = m_nWidth;
    copy->m_nAux = m_nAux;
    copy->m_nCount = m_nCount;
    if (!m_pGlyphs)
        return copy;
    copy->m_pGlyphs = std::make_unique<Glyph[]>(size_t(m_nCount));
    for (int c = 0; c < m_nCount; ++c) {
        const Glyph& from = m_pGlyphs[c];
        Glyph& to = copy->m_pGlyphs[c];
        to.m_nLen = from.m_nLen;
        to.m_pCols = std::make_unique<quint8[]>(m_nWidth);
        if (from.m_pCols)
            std::copy_n(from.m_pCols.get(), m_nWidth, to.m_pCols.get());
    }
    return copy;
}

void CEXFont::FreeGlyphs()
{
    m_pGlyphs.reset();
}

bool CEXFont::Serialize(QIODevice& device, bool bStoring)
{
    return bStoring ? Store(device) : Load(device);
}

bool CEXFont::Load(QIODevice& device)
{
    FreeGlyphs();
    m_nCount = kFileGlyphCount;
    quint8 header[4] = {};
    if (!ReadBytes(device, header, 4) || !Create(kFileGlyphCount, header[0], header[1]))
        return false;
    for (int c = 0; c < kFileGlyphCount; ++c) {
        Glyph& glyph = m_pGlyphs[c];
        quint8 len = 0;
        // A record longer than the cell cannot be held, and a file that ends early is not a
        // font: either way the font is left empty so that the load counts as failed.
        if (!ReadByte(device, len) || len > m_nWidth ||
            !ReadBytes(device, glyph.m_pCols.get(), len)) {
            FreeGlyphs();
            return false;
        }
        glyph.m_nLen = len;
    }
    return true;
}

bool CEXFont::Store(QIODevice& device) const
{
    if (!m_pGlyphs)
        return false;
    const char header[4] = {char(m_nWidth), char(m_nAux), 0, 0};
    if (device.write(header, 4) != 4)
        return false;
    // The file always holds 256 records; codes this font lacks are written as empty glyphs.
    for (int c = 0; c < kFileGlyphCount; ++c) {
        const bool has = c < m_nCount;
        const quint8 len = has ? std::min(m_pGlyphs[c].m_nLen, m_nWidth) : 0;
        if (!device.putChar(char(len)))
            return false;
        if (len > 0 &&
            device.write(reinterpret_cast<const char*>(m_pGlyphs[c].m_pCols.get()), len) != len)
            return false;
    }
    return true;
}

bool CEXFont::IsDotSet(int c, int x, int y) const
{
    x &= 0xFF;
    if (!m_pGlyphs || c < 0 || c >= m_nCount || x >= m_nWidth || y < 0 || y > 7)
        return false;
    return (m_pGlyphs[c].m_pCols[x] >> y) & 1;
}
