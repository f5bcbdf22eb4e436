#pragma once

#include "fonts/chartablestyle.h"
#include "fonts/exfont.h"
#include "fonts/glyphview.h"

#include <QDialog>
#include <QRect>

class AppSettings;
class CFontLibrary;
class CMessageCodec;
class IPrompt;
class QLabel;
class QPainter;
class QPushButton;

// "Набор символов шрифта": every character of the current device font as a dot picture in a
// 16 × 16 table, an enlarged preview of the selected one, and "Вставить" to insert it.
class CSymbolSetDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSymbolSetDlg(QWidget* parent = nullptr);
    ~CSymbolSetDlg() override;

    // The insert-symbol command: shows the dialog on a copy of the current font and inserts the
    // chosen character at the caret.
    static void OnInsertSymbol(QWidget* parent, const AppSettings& settings,
                               const CFontLibrary& fonts, IPrompt& prompt, CMessageCodec& codec);
    // The symbol type under which a character code enters the editor.
    static quint32 SymTypeFor(quint8 code);

    // Makes the working copy of the font and lays out the table and preview for it.
    bool SetFont(const CEXFont& font);
    int GetSel() const { return m_nSel; }
    const QRect& TableRect() const { return m_rcTable; }
    const QRect& PreviewRect() const { return m_rcPreview; }
    QRect CellRect(int c) const;

    static QString Caption();
    static QString Hint();
    static QString NotLoaded();
    static QString ReservedCode();

    CEXFont m_font;
    int m_nChars = 0;
    GlyphView m_view;
    QRect m_rcGlyph;
    QRect m_rcPreview;
    CharTableStyle m_style;
    QRect m_rcTable;
    int m_nSel = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ResetPreviewLayout();
    void ResetTableLayout();
    void DrawDot(QPainter& painter, int c, int x, int y);
    void DrawGlyph(QPainter& painter, int c, bool clear);
    void DrawCell(QPainter& painter, int c);
    void DrawTable(QPainter& painter);
    bool SelectAt(const QPoint& point);
    void PlaceControls();

    QPushButton* m_pInsert = nullptr;
    QPushButton* m_pCancel = nullptr;
    QLabel* m_pHint = nullptr;
};
