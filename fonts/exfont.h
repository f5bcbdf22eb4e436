#pragma once

#include <QtGlobal>
#include <memory>

class QIODevice;

// One device font: 256 glyphs of column bytes, eight dots tall (bit y of a column byte = row y,
// row 0 at the top). Stored as a .brf file: width, aux, two reserved bytes, then 256 records of a
// length byte and that many column bytes.
class CEXFont
{
public:
    struct Glyph {
        quint8 m_nLen = 0;                 // defined columns, never more than the cell width
        std::unique_ptr<quint8[]> m_pCols; // room for m_nWidth columns
    };

    CEXFont() = default;
    ~CEXFont();
    CEXFont(const CEXFont&) = delete;
    CEXFont& operator=(const CEXFont&) = delete;

    bool Create(int count, quint8 width, quint8 aux);
    bool CopyGlyphs(const CEXFont& source);
    // A copy of everything, glyph lengths included.
    std::unique_ptr<CEXFont> Clone() const;
    void FreeGlyphs();
    // Loads (bStoring false) or stores the .brf layout. A load answers false when the font could
    // not be read whole: width 0, a record longer than the cell, or a file that ends too early.
    bool Serialize(QIODevice& device, bool bStoring);
    bool IsDotSet(int c, int x, int y) const;

    quint8 m_nWidth = 0;
    quint8 m_nAux = 0;
    int m_nCount = 0;
    std::unique_ptr<Glyph[]> m_pGlyphs;

private:
    bool Load(QIODevice& device);
    bool Store(QIODevice& device) const;
};
