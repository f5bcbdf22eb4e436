#include "editor/symbolglyphs.h"

#include "editor/markcolor.h"
#include "editor/messagecodec.h"
#include "fonts/exfont.h"
#include "fonts/fontlibrary.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <climits>

CSymbolGlyphs::CSymbolGlyphs(const CFontLibrary& fonts, QTextEdit& edit)
    : QObject(&edit), m_fonts(fonts), m_edit(edit)
{
    connect(edit.document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int) { OnContentsChange(position); });
}

void CSymbolGlyphs::WidenCell(QTextCharFormat& format)
{
    QFont font;
    font.setFamilies(format.fontFamilies().toStringList());
    const QFontMetricsF metrics(font);
    format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    format.setFontLetterSpacing(
        std::max<qreal>(0, metrics.height() - metrics.horizontalAdvance(QChar(0x10))));
}

void CSymbolGlyphs::OnContentsChange(int position)
{
    // Blocks up to the changed one still start where they did.
    const int block = m_edit.document()->findBlock(position).blockNumber();
    if (block >= 0 && size_t(block) + 1 < m_blockFont.size())
        m_blockFont.resize(size_t(block) + 1);
    if (block < 0)
        m_blockFont.clear();
}

int CSymbolGlyphs::FontAtBlockStart(const QTextBlock& block)
{
    const int number = block.blockNumber();
    if (m_blockFont.empty())
        m_blockFont.push_back(0);
    while (m_blockFont.size() <= size_t(number)) {
        const QTextBlock known = m_edit.document()->findBlockByNumber(int(m_blockFont.size()) - 1);
        m_blockFont.push_back(WalkBlock(known, m_blockFont.back(), nullptr, {}));
    }
    return m_blockFont[size_t(number)];
}

// A control letter pairs with the control-coloured character after it, as the encoder reads
// them; only "f" with a digit changes the font.
int CSymbolGlyphs::WalkBlock(const QTextBlock& block, int font, QPainter* painter, QPointF offset)
{
    QChar pendingLetter;
    QTextLayout* layout = block.layout();
    // Only the lines in sight are drawn: one paragraph can hold a whole long message.
    int visibleFrom = 0;
    int visibleTo = -1;
    if (painter && layout) {
        const QRectF clip = painter->clipBoundingRect();
        visibleFrom = INT_MAX;
        for (int n = 0; n < layout->lineCount(); ++n) {
            const QTextLine line = layout->lineAt(n);
            const qreal top = offset.y() + line.y();
            if (top > clip.bottom())
                break;
            if (top + line.height() < clip.top())
                continue;
            visibleFrom = std::min(visibleFrom, line.textStart());
            visibleTo = line.textStart() + line.textLength();
        }
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const quint32 color = MarkColor::Of(fragment.charFormat());
        if (color == CMessageCodec::kControlColor) {
            for (QChar ch : fragment.text()) {
                if (pendingLetter.isNull()) {
                    if (CMessageCodec::IsControlLetter(ch))
                        pendingLetter = ch;
                    continue;
                }
                if (pendingLetter == u'f')
                    font = ch.isDigit() ? ch.digitValue() : 0;
                pendingLetter = QChar();
            }
            continue;
        }
        pendingLetter = QChar();
        const int page = CMessageCodec::PageOfColor(color);
        const int start = fragment.position() - block.position();
        if (page < 0 || !painter || !layout || start + fragment.length() <= visibleFrom ||
            start >= visibleTo)
            continue;
        const QString text = fragment.text();
        const CEXFont* loaded = m_fonts.LoadedFont(font);
        if (!loaded)
            continue; // no picture to show: the control's own box stays
        const CEXFont& device = *loaded;
        const int from = std::max(0, visibleFrom - start);
        const int to = std::min(int(text.size()), visibleTo - start);
        for (int n = from; n < to; ++n) {
            const int code = (text[n].unicode() & 0x0F) | (0x80 + page * 0x10);
            const int position = start + n;
            const QTextLine line = layout->lineForTextPosition(position);
            if (!line.isValid() || code >= device.m_nCount)
                continue;
            const qreal left = line.cursorToX(position);
            const qreal right = line.cursorToX(position + 1);
            const QRectF cell(offset.x() + left, offset.y() + line.y(), std::max(1.0, right - left),
                              line.height());
            painter->fillRect(cell, m_edit.palette().base());
            const CEXFont::Glyph& glyph = device.m_pGlyphs[code];
            const qreal pitch =
                std::min(cell.height() / 8, glyph.m_nLen ? cell.width() / glyph.m_nLen : 1.0);
            const qreal x0 = cell.left() + (cell.width() - pitch * glyph.m_nLen) / 2;
            const qreal y0 = cell.top() + (cell.height() - pitch * 8) / 2;
            for (int x = 0; x < glyph.m_nLen; ++x) {
                for (int y = 0; y < 8; ++y) {
                    if ((glyph.m_pCols[x] >> y) & 1)
                        painter->fillRect(QRectF(x0 + x * pitch, y0 + y * pitch, pitch, pitch),
                                          fragment.charFormat().foreground());
                }
            }
        }
    }
    return font;
}

void CSymbolGlyphs::Paint(const QRect& exposed)
{
    QTextDocument* document = m_edit.document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QPoint scroll(m_edit.horizontalScrollBar()->value(), m_edit.verticalScrollBar()->value());
    QPainter painter(m_edit.viewport());
    painter.setClipRect(exposed);
    QTextBlock block = m_edit.cursorForPosition(exposed.topLeft()).block();
    int font = -1;
    for (; block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block).translated(-scroll);
        if (box.top() > exposed.bottom())
            break;
        if (font < 0)
            font = FontAtBlockStart(block);
        font = WalkBlock(block, font, box.bottom() < exposed.top() ? nullptr : &painter,
                         box.topLeft());
    }
}
