#include "editor/dotpanel.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <climits>

namespace
{

const QColor kPanel(24, 20, 18);
const QColor kLit(255, 170, 40);
const QColor kUnlit(62, 48, 36);
const QColor kFrame(110, 110, 110);

constexpr int kMarkerRow = 16; // the height of the markers' row under a strip

QColor MarkerColor(char letter)
{
    switch (letter) {
    case 's':
        return QColor(230, 70, 60);
    case 'e':
        return QColor(80, 200, 90);
    case 'f':
        return QColor(120, 160, 255);
    default: // 'i' and 'v': kept in the stream, left to the device
        return QColor(170, 170, 170);
    }
}

void PaintMarkers(QPainter& painter, QPoint origin, const QList<DotMarker>& markers, int pitch)
{
    QFont font = painter.font();
    font.setPixelSize(kMarkerRow - 4);
    painter.setFont(font);
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect()
                                             : QRect(INT_MIN / 2, 0, INT_MAX, 1);
    const QFontMetrics metrics(font);
    int labelEnd = INT_MIN;
    for (const DotMarker& marker : markers) {
        const int x = origin.x() + marker.column * pitch;
        if (x < clip.left() - 40 || x > clip.right() + 4)
            continue;
        const QColor color = MarkerColor(marker.letter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        const QPolygon tick(
            {QPoint(x, origin.y()), QPoint(x - 3, origin.y() + 4), QPoint(x + 3, origin.y() + 4)});
        painter.drawPolygon(tick);
        // Codes at one column (s3 i5 v2) put their labels side by side.
        const QString label =
            QStringLiteral("%1%2").arg(QChar::fromLatin1(marker.letter)).arg(marker.value);
        const int labelX = std::max(x + 3, labelEnd + 3);
        painter.setPen(color);
        painter.drawText(QPoint(labelX, origin.y() + kMarkerRow - 1), label);
        labelEnd = labelX + metrics.horizontalAdvance(label);
    }
}

// A plain widget would be announced as an empty pane; this one is a picture with a description.
QAccessibleInterface* PanelAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String("CDotPanel") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
}

} // namespace

CDotPanel::CDotPanel(QWidget* parent) : QWidget(parent)
{
    [[maybe_unused]] static const bool installed =
        (QAccessible::installFactory(PanelAccessible), true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("previewPanel"));
    setAccessibleName(tr("Изображение табло"));
    setFocusPolicy(Qt::StrongFocus);
    Resize();
}

void CDotPanel::SetContent(const QList<DotLine>* lines, const QByteArray& window, int width,
                           int pitch)
{
    m_pLines = lines;
    m_window = window;
    m_nWidth = std::max(1, width);
    m_nPitch = std::max(1, pitch);
    Resize();
    update();
}

void CDotPanel::SetWindow(const QByteArray& window)
{
    m_window = window;
    update(QRect(kMargin, kMargin, m_nWidth * m_nPitch, 8 * m_nPitch));
}

void CDotPanel::Resize()
{
    const QSize still = m_pLines ? StillSize(*m_pLines, m_nWidth, m_nPitch) : QSize();
    const int windowWidth = m_nWidth * m_nPitch;
    // A message of a megabyte at 500 % would be wider than a widget may be; its end is cut off.
    setFixedSize(std::min(QWIDGETSIZE_MAX, 2 * kMargin + std::max(windowWidth, still.width())),
                 std::min(QWIDGETSIZE_MAX, 3 * kMargin + 8 * m_nPitch + still.height()));
}

QSize CDotPanel::StillSize(const QList<DotLine>& lines, int width, int pitch)
{
    int columns = width;
    for (const DotLine& line : lines)
        columns = std::max(columns, int(line.columns.size()));
    const int lineHeight = 8 * pitch + kMarkerRow;
    return QSize(columns * pitch, int(lines.size()) * (lineHeight + kMargin));
}

void CDotPanel::PaintStrip(QPainter& painter, QPoint origin, const QByteArray& columns, int width,
                           int pitch)
{
    const int count = std::max(width, int(columns.size()));
    QRect area(origin, QSize(count * pitch, 8 * pitch));
    // A long message is far wider than the pane: only the exposed columns are drawn.
    if (painter.hasClipping())
        area &= painter.clipBoundingRect().toAlignedRect();
    if (area.isEmpty())
        return;
    const int first = (area.left() - origin.x()) / pitch;
    const int last = std::min(count, (area.right() - origin.x()) / pitch + 1);
    for (int x = first; x < last; ++x) {
        const quint8 dots = x < columns.size() ? quint8(columns[x]) : 0;
        painter.drawPixmap(origin.x() + x * pitch, origin.y(), ColumnPicture(dots, pitch));
    }
}

// Round dots cost an antialiased ellipse each; a column has only 256 looks, drawn once per pitch.
const QPixmap& CDotPanel::ColumnPicture(quint8 dots, int pitch)
{
    static int cachedPitch = 0;
    static std::array<QPixmap, 256> pictures;
    if (cachedPitch != pitch) {
        pictures.fill(QPixmap());
        cachedPitch = pitch;
    }
    QPixmap& picture = pictures[dots];
    if (!picture.isNull())
        return picture;
    picture = QPixmap(pitch, 8 * pitch);
    picture.fill(kPanel);
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    const bool round = pitch >= 3;
    painter.setRenderHint(QPainter::Antialiasing, round);
    const qreal size = round ? pitch * 0.8 : pitch;
    const qreal inset = (pitch - size) / 2;
    for (int y = 0; y < 8; ++y) {
        painter.setBrush((dots >> y) & 1 ? kLit : kUnlit);
        const QRectF dot(inset, y * pitch + inset, size, size);
        if (round)
            painter.drawEllipse(dot);
        else
            painter.drawRect(dot);
    }
    return picture;
}

void CDotPanel::PaintStill(QPainter& painter, QPoint origin, const QList<DotLine>& lines, int width,
                           int pitch)
{
    const int lineHeight = 8 * pitch + kMarkerRow + kMargin;
    qsizetype from = 0;
    qsizetype to = lines.size();
    if (painter.hasClipping()) {
        const QRect clip = painter.clipBoundingRect().toAlignedRect();
        from = std::clamp<qsizetype>((clip.top() - origin.y()) / lineHeight, 0, to);
        to = std::clamp<qsizetype>((clip.bottom() - origin.y()) / lineHeight + 1, from, to);
    }
    for (qsizetype n = from; n < to; ++n) {
        const QPoint at = origin + QPoint(0, int(n) * lineHeight);
        PaintStrip(painter, at, lines[n].columns, width, pitch);
        // Where the display's window ends along a longer line.
        painter.setPen(kFrame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(at, QSize(width * pitch, 8 * pitch)).adjusted(0, 0, -1, -1));
        PaintMarkers(painter, at + QPoint(0, 8 * pitch + 1), lines[n].markers, pitch);
    }
}

QImage CDotPanel::StillImage(const QList<DotLine>& lines, int width, int pitch)
{
    const QSize size = StillSize(lines, width, pitch) + QSize(2 * kMargin, kMargin);
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 40, 40));
    QPainter painter(&image);
    PaintStill(painter, QPoint(kMargin, kMargin), lines, width, pitch);
    return image;
}

void CDotPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), palette().window());
    PaintStrip(painter, QPoint(kMargin, kMargin), m_window.left(m_nWidth), m_nWidth, m_nPitch);
    if (m_pLines)
        PaintStill(painter, QPoint(kMargin, 2 * kMargin + 8 * m_nPitch), *m_pLines, m_nWidth,
                   m_nPitch);
    // Inside the margin, so the keyboard user sees where Space will act.
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight(), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void CDotPanel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void CDotPanel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
