// Draws the program's own pictures: the 500 × 300 start-up picture, the application icon (also in
// the sizes a desktop menu asks for) and the 20 × 20 toolbar buttons. Run once when a picture
// changes:
//   makepictures <source>/app/resources
// Everything is drawn from primitives, so the result does not depend on the fonts installed.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace
{

using Glyph = std::vector<const char*>; // 7 rows of 5 columns, '#' lit

const std::map<char, Glyph>& Glyphs()
{
    static const std::map<char, Glyph> glyphs = {
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    };
    return glyphs;
}

const QColor kLit(255, 176, 32);
const QColor kGlow(255, 120, 0, 70);
const QColor kUnlit(58, 44, 30);
const QColor kPanel(16, 14, 12);

// A grid of LED dots; text is set into it glyph dot by glyph dot.
class DotGrid
{
public:
    DotGrid(int cols, int rows) : m_cols(cols), m_rows(rows), m_lit(size_t(cols * rows), false) {}

    void Text(const char* text, int col, int row, int scale)
    {
        for (int n = 0; text[n]; ++n) {
            const Glyph& glyph = Glyphs().at(text[n]);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 5; ++x)
                    if (glyph[size_t(y)][x] == '#')
                        Block(col + (n * 6 + x) * scale, row + y * scale, scale);
        }
    }
    static int TextWidth(const char* text, int scale)
    {
        return (int(strlen(text)) * 6 - 1) * scale;
    }

    void Draw(QPainter& painter, QRectF area) const
    {
        const qreal pitch = area.width() / m_cols;
        const qreal radius = pitch * 0.38;
        painter.setPen(Qt::NoPen);
        for (int y = 0; y < m_rows; ++y) {
            for (int x = 0; x < m_cols; ++x) {
                const QPointF centre(area.left() + (x + 0.5) * pitch,
                                     area.top() + (y + 0.5) * pitch);
                if (m_lit[size_t(y * m_cols + x)]) {
                    painter.setBrush(kGlow);
                    painter.drawEllipse(centre, radius * 1.7, radius * 1.7);
                    painter.setBrush(kLit);
                } else {
                    painter.setBrush(kUnlit);
                }
                painter.drawEllipse(centre, radius, radius);
            }
        }
    }

private:
    void Block(int col, int row, int scale)
    {
        for (int y = row; y < row + scale; ++y)
            for (int x = col; x < col + scale; ++x)
                if (x >= 0 && y >= 0 && x < m_cols && y < m_rows)
                    m_lit[size_t(y * m_cols + x)] = true;
    }

    int m_cols;
    int m_rows;
    std::vector<bool> m_lit;
};

QImage Splash()
{
    QImage image(500, 300, QImage::Format_RGB32);
    image.fill(QColor(10, 12, 16));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bezel(14, 14, 472, 272);
    painter.setPen(QPen(QColor(70, 74, 82), 3));
    painter.setBrush(kPanel);
    painter.drawRoundedRect(bezel, 10, 10);

    const int cols = 76, rows = 42;
    DotGrid grid(cols, rows);
    grid.Text("TAVRIX", (cols - DotGrid::TextWidth("TAVRIX", 2)) / 2, 7, 2);
    grid.Text("EDITOR", (cols - DotGrid::TextWidth("EDITOR", 1)) / 2, 27, 1);
    grid.Draw(painter, QRectF(22, 24, 456, 456.0 * rows / cols));
    return image;
}

QImage Icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPanel);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size * 0.16, size * 0.16);
    DotGrid grid(7, 7);
    grid.Text("T", 1, 0, 1);
    const qreal margin = size * 0.08;
    grid.Draw(painter, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    return image;
}

QImage Button()
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void Page(QPainter& p, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

using Painter = void (*)(QPainter&);

void DrawNew(QPainter& p)
{
    Page(p, QRectF(4.5, 2.5, 11, 15));
}

void DrawOpen(QPainter& p)
{
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(2.5, 5.5, 14, 11));
    p.drawRect(QRectF(2.5, 3.5, 6, 2));
    p.setBrush(QColor(252, 224, 120));
    p.drawPolygon(QPolygonF({{4.5, 8.5}, {18.5, 8.5}, {16.5, 16.5}, {2.5, 16.5}}));
}

void DrawSave(QPainter& p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(60, 100, 190));
    p.drawRect(QRectF(2.5, 2.5, 15, 15));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 2.5, 9, 6));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(5.5, 11.5, 9, 6));
}

void DrawCut(QPainter& p)
{
    p.setPen(QPen(QColor(70, 70, 80), 1.4));
    p.drawLine(QPointF(6, 2), QPointF(13, 13));
    p.drawLine(QPointF(14, 2), QPointF(7, 13));
    p.setPen(QPen(QColor(180, 30, 30), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(6, 15), 2.6, 2.6);
    p.drawEllipse(QPointF(14, 15), 2.6, 2.6);
}

void DrawCopy(QPainter& p)
{
    Page(p, QRectF(2.5, 2.5, 9, 11));
    Page(p, QRectF(8.5, 6.5, 9, 11));
}

void DrawPaste(QPainter& p)
{
    p.setPen(QPen(QColor(90, 60, 20), 1));
    p.setBrush(QColor(190, 140, 70));
    p.drawRoundedRect(QRectF(2.5, 3.5, 12, 14), 1.5, 1.5);
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(5.5, 2.5, 6, 3));
    Page(p, QRectF(9.5, 7.5, 8, 10));
}

void DrawSymbol(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(1, 1, 18, 18), 2, 2);
    static const char* heart[] = {".....", ".#.#.", "#####", "#####", ".###.", "..#..", "....."};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x) {
            p.setBrush(heart[y][x] == '#' ? kLit : kUnlit);
            p.drawEllipse(QPointF(3.2 + x * 3.4, 2.6 + y * 2.45), 1.1, 1.1);
        }
}

void DrawEffects(QPainter& p)
{
    QPolygonF star;
    for (int n = 0; n < 10; ++n) {
        const qreal r = n % 2 ? 3.2 : 8.5;
        const qreal a = -M_PI / 2 + n * M_PI / 5;
        star << QPointF(10 + r * std::cos(a), 10.5 + r * std::sin(a));
    }
    p.setPen(QPen(QColor(160, 100, 0), 1));
    p.setBrush(QColor(255, 210, 40));
    p.drawPolygon(star);
}

void DrawSend(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(11, 3, 8, 14), 1.5, 1.5);
    p.setBrush(kLit);
    for (int y = 0; y < 4; ++y)
        p.drawEllipse(QPointF(15, 5.5 + y * 3), 1.1, 1.1);
    p.setPen(QPen(QColor(30, 140, 50), 1));
    p.setBrush(QColor(60, 190, 80));
    p.drawPolygon(
        QPolygonF({{1.5, 8}, {6, 8}, {6, 4.5}, {10.5, 10}, {6, 15.5}, {6, 12}, {1.5, 12}}));
}

// The arrow of "send", fanning out to two displays.
void DrawSendMany(QPainter& p)
{
    p.setPen(Qt::NoPen);
    for (const qreal y : {1.5, 11.0}) {
        p.setBrush(kPanel);
        p.drawRoundedRect(QRectF(11, y, 8, 7.5), 1.2, 1.2);
        p.setBrush(kLit);
        for (int x = 0; x < 2; ++x)
            p.drawEllipse(QPointF(13.3 + x * 3.4, y + 3.75), 1.0, 1.0);
    }
    p.setPen(QPen(QColor(30, 140, 50), 1));
    p.setBrush(QColor(60, 190, 80));
    p.drawPolygon(
        QPolygonF({{1.5, 8}, {5, 8}, {5, 4.5}, {9.5, 10}, {5, 15.5}, {5, 12}, {1.5, 12}}));
}

void DrawPort(QPainter& p)
{
    p.setPen(QPen(QColor(50, 50, 60), 1));
    p.setBrush(QColor(170, 175, 185));
    p.drawPolygon(QPolygonF({{1.5, 5.5}, {18.5, 5.5}, {16, 14.5}, {4, 14.5}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 50));
    for (int x = 0; x < 5; ++x)
        p.drawEllipse(QPointF(4.8 + x * 2.6, 8.5), 0.9, 0.9);
    for (int x = 0; x < 4; ++x)
        p.drawEllipse(QPointF(6.1 + x * 2.6, 11.5), 0.9, 0.9);
}

void DrawDevice(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(9, 13, 2, 4));
    p.drawRect(QRectF(5, 17, 10, 1.5));
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(1, 4, 18, 9), 1.5, 1.5);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 3; ++y) {
            p.setBrush((x + y) % 3 == 0 ? kUnlit : kLit);
            p.drawEllipse(QPointF(3 + x * 2.35, 6.3 + y * 2.2), 0.85, 0.85);
        }
}

void DrawEditor(QPainter& p)
{
    Page(p, QRectF(2.5, 2.5, 12, 15));
    p.setPen(QPen(QColor(120, 120, 140), 1));
    for (int y = 0; y < 4; ++y)
        p.drawLine(QPointF(4.5, 6.5 + y * 3), QPointF(11.5, 6.5 + y * 3));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(230, 170, 40));
    p.drawPolygon(QPolygonF({{17.5, 5.5}, {19.5, 7.5}, {11.5, 15.5}, {8.5, 16.5}, {9.5, 13.5}}));
}

void DrawAbout(QPainter& p)
{
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(50, 110, 210));
    p.drawEllipse(QPointF(10, 10), 8.5, 8.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10, 5.8), 1.5, 1.5);
    p.drawRoundedRect(QRectF(8.7, 8.5, 2.6, 7.5), 0.8, 0.8);
}

bool Save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makepictures <output directory>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = out.mkpath(QStringLiteral("icons"));
    ok = Save(Splash(), out.filePath(QStringLiteral("splash.png"))) && ok;
    ok = Save(Icon(64), out.filePath(QStringLiteral("icon.png"))) && ok;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        ok = out.mkpath(folder) &&
             Save(Icon(size), out.filePath(folder + QStringLiteral("/tavrix-editor.png"))) && ok;
    }
    const std::map<QString, Painter> buttons = {
        {"new", DrawNew},           {"open", DrawOpen},       {"save", DrawSave},
        {"cut", DrawCut},           {"copy", DrawCopy},       {"paste", DrawPaste},
        {"symbol", DrawSymbol},     {"effects", DrawEffects}, {"send", DrawSend},
        {"sendmany", DrawSendMany}, {"port", DrawPort},       {"device", DrawDevice},
        {"editor", DrawEditor},     {"about", DrawAbout},
    };
    for (const auto& [name, draw] : buttons) {
        QImage image = Button();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        ok = Save(image, out.filePath(QStringLiteral("icons/%1.png").arg(name))) && ok;
    }
    return ok ? 0 : 1;
}
