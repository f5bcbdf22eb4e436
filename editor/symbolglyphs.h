#pragma once

#include <QObject>
#include <QRect>
#include <vector>

class CFontLibrary;
class QTextBlock;
class QTextCharFormat;
class QTextEdit;

// Draws each device symbol of the edit control (a character 0x10–0x1F in a page colour) as its
// picture from the device font in force at that point, eight dots over the height of the text,
// in the page colour. The characters themselves stay as they are: only the drawing changes.
class CSymbolGlyphs : public QObject
{
    Q_OBJECT
public:
    CSymbolGlyphs(const CFontLibrary& fonts, QTextEdit& edit);

    // Runs after the control has drawn its text, on its viewport.
    void Paint(const QRect& exposed);
    // Gives a symbol's character a square cell at the text's height, room for a glyph of eight
    // columns; the control's own box for the character is narrower.
    static void WidenCell(QTextCharFormat& format);

private:
    void OnContentsChange(int position);
    int FontAtBlockStart(const QTextBlock& block);
    // Walks one block's control codes; with a painter given, draws the symbols on the way.
    int WalkBlock(const QTextBlock& block, int font, class QPainter* painter, QPointF offset);

    const CFontLibrary& m_fonts;
    QTextEdit& m_edit;
    // The device font in force where each block starts, known for the first blocks.
    std::vector<int> m_blockFont;
};
