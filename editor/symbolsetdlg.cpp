#include "editor/symbolsetdlg.h"

#include "editor/messagecodec.h"
#include "editor/symtype.h"
#include "fonts/fontlibrary.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

QString CSymbolSetDlg::Caption()
{
    return tr("Набор символов шрифта");
}

QString CSymbolSetDlg::Hint()
{
    return tr("Выберите символ и нажмите кнопку \"Вставить\"\n"
              "или  дважды щелкните левой кнопкой мыши на выбраном символе.  ");
}

QString CSymbolSetDlg::NotLoaded()
{
    return tr("Данный шрифт не загружен и не может быть отображен.");
}

QString CSymbolSetDlg::ReservedCode()
{
    return tr("Символы с кодами 0, 1, 2 и 3 заняты управляющими кодами устройства и не "
              "могут быть вставлены в текст.");
}

namespace
{

// Rectangles here are left, top, right, bottom with right and bottom exclusive; QRect's
// contains() then tests a point exactly like the table's hit test wants.
QRect Ltrb(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

void FrameRect(QPainter& painter, const QRect& rect, QRgb colour)
{
    const QColor c(colour);
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), c);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), c);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), c);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), c);
}

void OutlinedRect(QPainter& painter, const QRect& rect, QRgb pen)
{
    painter.fillRect(rect, Qt::white);
    FrameRect(painter, rect, pen);
}

constexpr int kMargin = 20;
constexpr int kGap = 12;
constexpr int kButtonW = 90;
constexpr int kButtonH = 26;
constexpr int kBelowTable = 110;

} // namespace

CSymbolSetDlg::CSymbolSetDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Caption());
    setMouseTracking(true);
    m_pInsert = new QPushButton(tr("Вставить"), this);
    m_pInsert->setObjectName(QStringLiteral("insertButton"));
    m_pInsert->setDefault(true);
    m_pCancel = new QPushButton(tr("Отмена"), this);
    m_pCancel->setObjectName(QStringLiteral("cancelButton"));
    m_pHint = new QLabel(Hint(), this);
    m_pHint->setObjectName(QStringLiteral("hintText"));
    m_pHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(m_pInsert, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    ResetPreviewLayout();
    ResetTableLayout();
    PlaceControls();
}

CSymbolSetDlg::~CSymbolSetDlg() = default;

void CSymbolSetDlg::OnInsertSymbol(QWidget* parent, const AppSettings& settings,
                                   const CFontLibrary& fonts, IPrompt& prompt, CMessageCodec& codec)
{
    const CEXFont* loaded = fonts.LoadedFont(settings.m_nCurFont);
    CSymbolSetDlg dlg(parent);
    if (!loaded || !dlg.SetFont(*loaded)) {
        prompt.Inform(NotLoaded());
        return;
    }
    if (dlg.exec() != QDialog::Accepted)
        return;
    const quint8 code = quint8(dlg.GetSel() & 0xFF);
    // A plain 0x00–0x03 would reach the stream as a control code and swallow the next byte.
    if (code <= 0x03) {
        prompt.Inform(ReservedCode());
        return;
    }
    codec.CatchChar(SymTypeFor(code), code, qint8(code));
}

quint32 CSymbolSetDlg::SymTypeFor(quint8 code)
{
    if (code >= 0x80 && code <= 0xBF && code != 0xA8 && code != 0xB8 && code != 0xB9)
        return CMessageCodec::GetByteType(code);
    return SYM_PLAIN;
}

bool CSymbolSetDlg::SetFont(const CEXFont& font)
{
    m_nChars = std::clamp(font.m_nCount, 0, 256);
    if (!m_font.Create(font.m_nCount, font.m_nWidth, font.m_nAux) || !m_font.CopyGlyphs(font)) {
        m_nChars = 0;
        return false;
    }
    ResetPreviewLayout();
    ResetTableLayout();
    PlaceControls();
    update();
    return true;
}

QRect CSymbolSetDlg::CellRect(int c) const
{
    const int left = m_style.nLeft + (c % m_style.nPerRow) * m_style.nCellW;
    const int top = m_style.nTop + (c / m_style.nPerRow) * m_style.nCellH;
    return Ltrb(left, top, left + m_style.nCellW, top + m_style.nCellH);
}

void CSymbolSetDlg::ResetPreviewLayout()
{
    const int w = m_font.m_nWidth;
    m_view.nCols = w;
    m_view.nRows = 8;
    m_view.nScaleX = 1;
    m_view.nScaleY = 1;
    m_view.nLeft = 645;
    m_view.nTop = 50;
    m_view.nDot = 5;
    m_view.crBack = qRgb(0, 0, 0);
    m_view.crLit = qRgb(255, 0, 0);
    m_view.crUnlit = qRgb(0, 0, 0);
    m_rcGlyph = Ltrb(645, 50, 645 + 5 * w, 90);
    const int h = 5 * w / 2;
    m_rcPreview = Ltrb(645 - h, 30, 645 + 5 * w + h, 110);
}

void CSymbolSetDlg::ResetTableLayout()
{
    m_style.nPerRow = 16;
    m_style.nCellW = 2 * (m_view.nScaleX * m_view.nCols) + 4;
    m_style.nCellH = 2 * (m_view.nScaleY * m_view.nRows) + 4;
    m_style.nOuterPen = 1;
    m_style.nInnerPen = 1;
    m_style.nLeft = 10;
    m_style.nTop = 20;
    m_style.nDot = 2;
    m_style.crFrame = qRgb(0, 0, 255);
    m_style.crLit = qRgb(0, 0, 0);
    m_style.crCell = qRgb(255, 255, 255);
    m_style.crSelLit = qRgb(0, 0, 0);
    m_style.crSelCell = qRgb(255, 255, 0);
    m_style.crSelFrame = qRgb(255, 0, 0);
    m_rcTable = Ltrb(10, 20, 16 * m_style.nCellW + 10, 16 * m_style.nCellH + 20);
}

void CSymbolSetDlg::PlaceControls()
{
    // Wide enough for the table and for the enlarged preview to its right.
    const int width =
        std::max(m_rcTable.x() + m_rcTable.width(), m_rcPreview.x() + m_rcPreview.width()) +
        kMargin;
    const int height = m_rcTable.height() + kBelowTable;
    const int top = m_rcTable.y() + m_rcTable.height() + kGap;
    m_pInsert->setGeometry(10, top, kButtonW, kButtonH);
    m_pCancel->setGeometry(10, top + kButtonH + 8, kButtonW, kButtonH);
    const int hintLeft = 10 + kButtonW + kGap;
    const int hintWidth = std::max(m_pHint->sizeHint().width(), width - hintLeft - 10);
    m_pHint->setGeometry(hintLeft, top + 4, hintWidth, 2 * kButtonH + 8);
    setFixedSize(std::max(width, hintLeft + hintWidth + 10), height);
    move(100, 100);
}

void CSymbolSetDlg::DrawDot(QPainter& painter, int c, int x, int y)
{
    const int dw = m_view.nDot * m_view.nScaleX;
    const int dh = m_view.nDot * m_view.nScaleY;
    const QRgb colour = m_font.IsDotSet(c, x, y) ? m_view.crLit : m_view.crUnlit;
    painter.fillRect(QRect(m_view.nLeft + x * dw, m_view.nTop + y * dh, dw, dh), QColor(colour));
}

void CSymbolSetDlg::DrawGlyph(QPainter& painter, int c, bool clear)
{
    if (clear)
        painter.fillRect(m_rcPreview, QColor(m_view.crBack));
    for (int x = 0; x < m_view.nCols; ++x) {
        for (int y = 0; y < m_view.nRows; ++y)
            DrawDot(painter, c, x, y);
    }
}

void CSymbolSetDlg::DrawCell(QPainter& painter, int c)
{
    const bool selected = c == m_nSel;
    const QRect cell = CellRect(c);
    OutlinedRect(painter, cell, selected ? m_style.crSelFrame : m_style.crFrame);
    const int pen = m_style.nOuterPen;
    OutlinedRect(painter, cell.adjusted(pen, pen, -pen, -pen),
                 selected ? m_style.crSelCell : m_style.crCell);
    m_view.nLeft = cell.x() + m_style.nOuterPen + m_style.nInnerPen;
    m_view.nTop = cell.y() + m_style.nOuterPen + m_style.nInnerPen;
    m_view.nDot = m_style.nDot;
    m_view.crLit = selected ? m_style.crSelLit : m_style.crLit;
    m_view.crUnlit = selected ? m_style.crSelCell : m_style.crCell;
    DrawGlyph(painter, c, false);
    ResetPreviewLayout();
}

void CSymbolSetDlg::DrawTable(QPainter& painter)
{
    for (int c = 0; c < m_nChars; ++c)
        DrawCell(painter, c);
    const int d = 2 * m_style.nInnerPen;
    FrameRect(painter, m_rcTable.adjusted(-d, -d, d, d), m_style.crFrame);
}

bool CSymbolSetDlg::SelectAt(const QPoint& point)
{
    if (!m_rcTable.contains(point))
        return false;
    const int c = (point.y() - m_style.nTop) / m_style.nCellH * m_style.nPerRow +
                  (point.x() - m_style.nLeft) / m_style.nCellW;
    if (c >= m_nChars)
        return false;
    m_nSel = c;
    update();
    return true;
}

void CSymbolSetDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawTable(painter);
    if (m_nChars > 0)
        DrawGlyph(painter, m_nSel, true);
}

void CSymbolSetDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        SelectAt(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void CSymbolSetDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && SelectAt(event->position().toPoint())) {
        accept();
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}

void CSymbolSetDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_rcTable.contains(event->position().toPoint()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QDialog::mouseMoveEvent(event);
}
