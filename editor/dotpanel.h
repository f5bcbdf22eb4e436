#pragma once

#include "editor/dotstrip.h"

#include <QWidget>

class QPainter;

// Draws dots as the display lights them: round lit dots on a dark panel, unlit dots dim. On top
// the display's window as the animation shows it; below, every line of the message whole, with
// the codes that light nothing marked under the strip. Assistive technology sees it as a picture
// named "Изображение табло", whose description the owner keeps up to date.
class CDotPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CDotPanel(QWidget* parent = nullptr);

    void SetContent(const QList<DotLine>* lines, const QByteArray& window, int width, int pitch);
    void SetWindow(const QByteArray& window);

    // The lines alone (what "Сохранить изображение табло…" writes).
    static QImage StillImage(const QList<DotLine>& lines, int width, int pitch);
    static QSize StillSize(const QList<DotLine>& lines, int width, int pitch);
    static void PaintStill(QPainter& painter, QPoint origin, const QList<DotLine>& lines, int width,
                           int pitch);
    // One strip of `width` columns (shorter `columns` leave the rest dark) at origin.
    static void PaintStrip(QPainter& painter, QPoint origin, const QByteArray& columns, int width,
                           int pitch);

    static const QPixmap& ColumnPicture(quint8 dots, int pitch);

    static constexpr int kMargin = 6;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Resize();

    const QList<DotLine>* m_pLines = nullptr;
    QByteArray m_window;
    int m_nWidth = 96;
    int m_nPitch = 4;
};
