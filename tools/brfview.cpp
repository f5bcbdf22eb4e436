// Shows a device font file without the editor: the header, glyphs as text art, and the whole
// 16 x 16 table as a PNG.
#include "fonts/exfont.h"
#include "settings/cp1251.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTextStream>
#include <algorithm>
#include <optional>

namespace
{

constexpr QRgb kBackground = qRgb(16, 16, 16);
constexpr QRgb kCell = qRgb(48, 40, 32);
constexpr QRgb kGrid = qRgb(90, 90, 90);
constexpr QRgb kDot = qRgb(255, 176, 0);
constexpr QRgb kLabel = qRgb(140, 200, 255);

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

int GlyphLen(const CEXFont& font, int code)
{
    return std::min(font.m_pGlyphs[code].m_nLen, font.m_nWidth);
}

void PrintHeader(const CEXFont& font, qint64 fileSize)
{
    int empty = 0;
    int shortest = 255;
    int longest = 0;
    for (int c = 0; c < font.m_nCount; ++c) {
        const int len = GlyphLen(font, c);
        empty += len == 0;
        if (len > 0)
            shortest = std::min(shortest, len);
        longest = std::max(longest, len);
    }
    Out() << "width " << font.m_nWidth << ", aux " << font.m_nAux << ", " << fileSize << " bytes, "
          << font.m_nCount << " glyphs: " << empty << " empty";
    if (longest > 0)
        Out() << ", lengths " << shortest << ".." << longest;
    Out() << Qt::endl;
}

void PrintText(const CEXFont& font, const QByteArray& codes)
{
    for (int y = 0; y < 8; ++y) {
        QString line;
        for (const char ch : codes) {
            const int c = quint8(ch);
            for (int x = 0; x < GlyphLen(font, c); ++x)
                line += font.IsDotSet(c, x, y) ? QLatin1Char('#') : QLatin1Char('.');
            if (codes.size() == 1)
                continue;
            line += QLatin1Char(' ');
        }
        Out() << line << Qt::endl;
    }
}

// A glyph given as a number ("0x41", "65") or as one character ("A", "Ж").
std::optional<int> ParseCode(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 0);
    if (ok && value >= 0 && value <= 255)
        return value;
    if (text.size() == 1)
        return Cp1251::FromUnicode(text.at(0));
    return std::nullopt;
}

void FillRect(QImage& image, const QRect& rect, QRgb colour)
{
    const QRect clipped = rect.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            image.setPixel(x, y, colour);
}

void DrawGlyph(QImage& image, const CEXFont& font, int code, QPoint origin, int scale, QRgb dot)
{
    for (int x = 0; x < GlyphLen(font, code); ++x) {
        for (int y = 0; y < 8; ++y) {
            if (!font.IsDotSet(code, x, y))
                continue;
            for (int dy = 0; dy < scale - (scale > 2); ++dy)
                for (int dx = 0; dx < scale - (scale > 2); ++dx)
                    image.setPixel(origin.x() + x * scale + dx, origin.y() + y * scale + dy, dot);
        }
    }
}

// Splits the sample into lines no wider than the table.
QList<QByteArray> SampleLines(const CEXFont& font, const QByteArray& sample, int maxWidth)
{
    QList<QByteArray> lines;
    QByteArray line;
    int width = 0;
    for (const char ch : sample) {
        const int len = GlyphLen(font, quint8(ch));
        if (width + len > maxWidth && !line.isEmpty()) {
            lines << line;
            line.clear();
            width = 0;
        }
        line += ch;
        width += len;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QImage TableImage(const CEXFont& font, int scale, const QByteArray& sample)
{
    const int cellW = (font.m_nWidth + 2) * scale;
    const int cellH = 10 * scale;
    const int margin = cellH;
    const int width = margin + 16 * cellW + 1;
    const QList<QByteArray> lines = SampleLines(font, sample, (width - 2 * scale) / scale);
    const int height = margin + 16 * cellH + 1 + int(lines.size()) * cellH;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBackground);
    for (int c = 0; c < 256; ++c) {
        const QRect cell(margin + (c % 16) * cellW, margin + (c / 16) * cellH, cellW + 1,
                         cellH + 1);
        FillRect(image, cell, kGrid);
        FillRect(image, cell.adjusted(1, 1, -1, -1), kBackground);
        // The defined columns are shaded, so that empty and blank glyphs can be told apart.
        FillRect(image,
                 QRect(cell.x() + scale, cell.y() + scale, GlyphLen(font, c) * scale, 8 * scale),
                 kCell);
    }
    static const char hex[] = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        const int digit = quint8(hex[i]);
        DrawGlyph(image, font, digit, {margin + i * cellW + scale, scale}, scale, kLabel);
        DrawGlyph(image, font, digit, {scale, margin + i * cellH + scale}, scale, kLabel);
    }
    for (int c = 0; c < 256; ++c) {
        const QPoint origin(margin + (c % 16) * cellW + scale, margin + (c / 16) * cellH + scale);
        DrawGlyph(image, font, c, origin, scale, kDot);
    }
    for (int i = 0; i < lines.size(); ++i) {
        QPoint pen(scale, margin + 16 * cellH + i * cellH + scale);
        for (const char ch : lines[i]) {
            DrawGlyph(image, font, quint8(ch), pen, scale, kDot);
            pen.rx() += GlyphLen(font, quint8(ch)) * scale;
        }
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows a .brf device font: its header, glyphs as text art "
                                     "and the 16 x 16 table as a PNG.");
    parser.addHelpOption();
    parser.addPositionalArgument("font", "The .brf file.");
    const QCommandLineOption glyphOption({"g", "glyph"}, "Print glyph <code> (0x41, 65 or A).",
                                         "code");
    const QCommandLineOption textOption({"t", "text"}, "Print <text> as text art.", "text");
    const QCommandLineOption pngOption({"p", "png"}, "Write the 16 x 16 table to <file>.", "file");
    const QCommandLineOption scaleOption({"s", "scale"}, "Pixels per dot in the PNG (default 4).",
                                         "n", "4");
    parser.addOptions({glyphOption, textOption, pngOption, scaleOption});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    QFile file(parser.positionalArguments().constFirst());
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical("%s: %s", qPrintable(file.fileName()), qPrintable(file.errorString()));
        return 1;
    }
    CEXFont font;
    if (!font.Serialize(file, false)) {
        qCritical("%s: not a complete .brf font", qPrintable(file.fileName()));
        return 1;
    }
    PrintHeader(font, file.size());

    for (const QString& value : parser.values(glyphOption)) {
        const std::optional<int> code = ParseCode(value);
        if (!code) {
            qCritical("bad glyph code: %s", qPrintable(value));
            return 2;
        }
        Out() << QStringLiteral("glyph 0x%1, %2 columns")
                     .arg(*code, 2, 16, QLatin1Char('0'))
                     .arg(GlyphLen(font, *code))
              << Qt::endl;
        PrintText(font, QByteArray(1, char(*code)));
    }
    const QByteArray sample = Cp1251::FromUnicode(parser.value(textOption));
    if (parser.isSet(textOption))
        PrintText(font, sample);

    if (parser.isSet(pngOption)) {
        const int scale = std::clamp(parser.value(scaleOption).toInt(), 1, 32);
        if (!TableImage(font, scale, sample).save(parser.value(pngOption), "PNG")) {
            qCritical("cannot write %s", qPrintable(parser.value(pngOption)));
            return 1;
        }
    }
    return 0;
}
