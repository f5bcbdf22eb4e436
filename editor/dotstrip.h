#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

class CEXFont;
class CFontLibrary;

// A code of the stream that lights no dots but is shown beside the strip: 'f' font, 'i', 'v',
// 's' full stop (value in seconds) and 'e' effect, at the column where it stands.
struct DotMarker {
    int column = 0;
    char letter = 0;
    int value = 0;
};

// One line of running text as the display lays it out: column bytes (bit y = row y, row 0 at the
// top), and the effect that brings it on (-1: it runs in from the right).
struct DotLine {
    QByteArray columns;
    QList<DotMarker> markers;
    int effect = -1;
    // The characters the line shows, for those who cannot see the dots: codes and device symbols
    // have no letters and are left out.
    QString text{};
};

// Device fonts copied whole, so dots can be laid out on a worker while the program reloads its
// own fonts.
struct DotFonts {
    std::vector<std::unique_ptr<CEXFont>> copies;
    std::vector<const CEXFont*> fonts; // as CDotStrip::FontsOf gives them, into the copies
};

// Lays a device byte stream out in dots, glyph by glyph from the device font in force.
class CDotStrip
{
public:
    // fonts[n] is device font n, or null when that font is not loaded: its characters then light
    // nothing, though the codes around them still count.
    static QList<DotLine> Build(const QByteArray& stream, const std::vector<const CEXFont*>& fonts);
    static std::vector<const CEXFont*> FontsOf(const CFontLibrary& library);
    static std::shared_ptr<const DotFonts> CopyFontsOf(const CFontLibrary& library);
    // Cuts every line longer than `columns` into rows of that many columns, each code going with
    // the row its column falls in (a code after a row's last column, with the next row). Only
    // the first row of a line keeps its effect.
    static QList<DotLine> Wrap(const QList<DotLine>& lines, int columns);
};
