#include "editor/interactiveeditctrl.h"

#include "editor/markcolor.h"
#include "editor/messagecodec.h"
#include "editor/symbolglyphs.h"
#include "editor/tavrixeditordoc.h"
#include "editor/textsnapshot.h"
#include "settings/cp1251.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QTextDocument>

namespace
{

QTextCharFormat ToQtFormat(const CharFormat& format)
{
    QTextCharFormat result;
    result.setFontFamilies({format.face});
    result.setForeground(MarkColor::ToQColor(format.color));
    if (MessageText::IsMarkingColor(format.color) && format.color != CMessageCodec::kControlColor)
        CSymbolGlyphs::WidenCell(result);
    return result;
}

} // namespace

CInteractiveEditCtrl::CInteractiveEditCtrl(QWidget* parent) : QTextEdit(parent)
{
    m_cfNormal = ToQtFormat({QStringLiteral("Verdana"), 0x000000});
    m_cfControl = ToQtFormat({QStringLiteral("Courier New"), CMessageCodec::kControlColor});
    m_pendingFormat = m_cfNormal;
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAccessibleName(tr("Текст сообщения")); // no label stands beside it
    // A scroll bar that comes and goes changes the text width, and every change lays the whole
    // text out again: with a long message that costs seconds after each decoding.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCurrentCharFormat(m_cfNormal);
    connect(document(), &QTextDocument::contentsChange, this,
            &CInteractiveEditCtrl::OnContentsChange);
}

CInteractiveEditCtrl::~CInteractiveEditCtrl() = default;

void CInteractiveEditCtrl::OnContentsChange(int /*position*/, int removed, int added)
{
    if (m_nBulk == 0 && m_pDoc && (removed != 0 || added != 0))
        m_pDoc->SetModifiedFlag(true);
}

QByteArray CInteractiveEditCtrl::GetText() const
{
    return EditorTextBytes(document()->toRawText());
}

CTextSnapshot CInteractiveEditCtrl::Snapshot() const
{
    std::vector<CTextSnapshot::ColorRun> runs;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const quint32 color = MarkColor::Of(fragment.charFormat());
            if (color == 0)
                continue;
            const int start = fragment.position();
            if (!runs.empty() && runs.back().color == color &&
                runs.back().start + runs.back().length == start)
                runs.back().length += fragment.length();
            else
                runs.push_back({start, fragment.length(), color});
        }
    }
    return CTextSnapshot(document()->toRawText(), std::move(runs));
}

int CInteractiveEditCtrl::GetTextLength() const
{
    return document()->characterCount() - 1;
}

QTextCursor CInteractiveEditCtrl::ActiveCursor() const
{
    return m_nBulk > 0 ? m_bulkCursor : textCursor();
}

void CInteractiveEditCtrl::SetActiveCursor(const QTextCursor& cursor)
{
    if (m_nBulk > 0) {
        m_bulkCursor = cursor;
        return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

int CInteractiveEditCtrl::RoomFor(const QTextCursor& cursor) const
{
    return m_nLimit - (GetTextLength() - (cursor.selectionEnd() - cursor.selectionStart()));
}

// Clearing the whole document (rather than removing its text) lets the layout treat a following
// bulk insertion as a fresh document, which it lays out lazily instead of all at once.
void CInteractiveEditCtrl::SetText(const QByteArray& text)
{
    document()->clear();
    QTextCursor cursor(document());
    cursor.insertText(Cp1251::ToUnicode(text.left(m_nLimit)), m_cfNormal);
    SetActiveCursor(cursor);
    if (m_nBulk == 0)
        setCurrentCharFormat(m_cfNormal);
}

void CInteractiveEditCtrl::GetSel(int& start, int& end) const
{
    const QTextCursor cursor = ActiveCursor();
    start = cursor.selectionStart();
    end = cursor.selectionEnd();
}

// As the rich edit does: an end of -1 means the end of the text, a start of -1 removes the
// selection.
void CInteractiveEditCtrl::SetSel(int start, int end)
{
    const int length = GetTextLength();
    QTextCursor cursor = ActiveCursor();
    if (start < 0) {
        cursor.clearSelection();
    } else {
        end = (end < 0 || end > length) ? length : end;
        cursor.setPosition(std::min(start, length));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
    }
    SetActiveCursor(cursor);
}

void CInteractiveEditCtrl::SetSelectionCharFormat(const CharFormat& format)
{
    m_pendingFormat = ToQtFormat(format);
    QTextCursor cursor = ActiveCursor();
    if (!cursor.hasSelection() && m_nBulk == 0) {
        setCurrentCharFormat(m_pendingFormat);
        return;
    }
    if (cursor.hasSelection())
        cursor.mergeCharFormat(m_pendingFormat);
    else
        cursor.setCharFormat(m_pendingFormat);
    SetActiveCursor(cursor);
}

void CInteractiveEditCtrl::ReplaceSel(const QByteArray& text)
{
    QTextCursor cursor = ActiveCursor();
    const QString unicode = Cp1251::ToUnicode(text);
    if (unicode.size() > RoomFor(cursor))
        return;
    cursor.insertText(unicode, m_pendingFormat);
    SetActiveCursor(cursor);
}

quint32 CInteractiveEditCtrl::GetCharColor(int index) const
{
    if (index < 0 || index >= GetTextLength())
        return 0;
    const QTextBlock block = document()->findBlock(index);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (index < fragment.position() + fragment.length())
            return MarkColor::Of(fragment.charFormat());
    }
    return 0; // the line break that ends the block: always plain
}

// One cursor in one edit block on a freshly cleared document: the layout sees a single change
// and lays the text out lazily, from the top, after the first paint. The caret waits at the top
// before a placeholder, so the text goes in after it and nothing has to move it back: moving the
// caret makes the control lay out the whole text at once.
void CInteractiveEditCtrl::SetMarkedText(const QByteArray& text, const QList<FormatRun>& runs)
{
    const QString unicode = Cp1251::ToUnicode(text);
    QList<std::pair<CharFormat, QTextCharFormat>> formats; // a message uses a handful
    const auto qtFormat = [&formats](const CharFormat& format) {
        for (const auto& known : formats) {
            if (known.first == format)
                return known.second;
        }
        formats.append({format, ToQtFormat(format)});
        return formats.last().second;
    };
    BeginBulkEdit();
    document()->clear();
    QTextCursor cursor(document());
    cursor.insertText(QStringLiteral(" "));
    setTextCursor(QTextCursor(document()));
    constexpr qsizetype kProgressStep = 32768;
    qsizetype position = 0;
    qsizetype reported = 0;
    for (const FormatRun& run : runs) {
        const qsizetype length = std::min<qsizetype>(run.length, m_nLimit - position);
        if (length <= 0)
            break;
        cursor.insertText(unicode.mid(position, length), qtFormat(run.format));
        position += length;
        if (position - reported >= kProgressStep) {
            reported = position;
            Q_EMIT insertProgress(int(position * 100 / unicode.size()));
        }
    }
    // A selection, not deleteChar: finding the next cursor position lays out the whole text.
    cursor.setPosition(0);
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_bulkCursor = textCursor();
    EndBulkEdit();
}

void CInteractiveEditCtrl::BeginBulkEdit()
{
    if (m_nBulk++ > 0)
        return;
    m_bulkCursor = textCursor();
    m_bulkCursor.beginEditBlock();
}

void CInteractiveEditCtrl::EndBulkEdit()
{
    if (m_nBulk == 0)
        return;
    if (m_nBulk == 1) {
        // Still counted as bulk while the document reports the whole edit at once.
        m_bulkCursor.endEditBlock();
        if (m_bulkCursor != textCursor())
            setTextCursor(m_bulkCursor);
        m_bulkCursor = QTextCursor();
    }
    if (--m_nBulk == 0) {
        if (!textCursor().hasSelection())
            setCurrentCharFormat(m_cfNormal);
        ensureCursorVisible();
    }
}

void CInteractiveEditCtrl::SetLimitText(int limit)
{
    m_nLimit = limit > 0 ? limit : kDefaultLimit;
}

bool CInteractiveEditCtrl::CanPaste() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return !isReadOnly() && data && canInsertFromMimeData(data);
}

bool CInteractiveEditCtrl::HasSelectedText() const
{
    return textCursor().hasSelection();
}

void CInteractiveEditCtrl::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    if (m_pGlyphs)
        m_pGlyphs->Paint(event->rect());
}

void CInteractiveEditCtrl::keyPressEvent(QKeyEvent* event)
{
    const bool undoKey =
        event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::AltModifier);
    if (undoKey) {
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers mods =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = event->text();
    const bool printable = !text.isEmpty() && (text.at(0).isPrint() || text.at(0) == u'\t');
    // Alt and AltGr (Ctrl+Alt on X11) produce characters, not shortcuts: they take the same
    // path as plain typing so the limit and the code page hold for them too.
    const bool shortcutMods =
        (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) ||
        mods.testFlag(Qt::MetaModifier);
    const bool typed = (enter && mods == Qt::NoModifier) || (printable && !shortcutMods);
    if (typed && !isReadOnly()) {
        // Typed text is always plain, even right after a marked symbol.
        InsertPlainTyped(enter ? QStringLiteral("\n") : MessageText::ThroughCodePage(text));
        event->accept();
    } else if (printable && shortcutMods) {
        // The base control would insert the text of a shortcut it does not know; keep only
        // the shortcut so no character gets past the limit or the code page.
        QKeyEvent bare(event->type(), event->key(), event->modifiers(), QString(),
                       event->isAutoRepeat(), ushort(event->count()));
        QTextEdit::keyPressEvent(&bare);
        event->setAccepted(bare.isAccepted());
    } else {
        QTextEdit::keyPressEvent(event);
    }
    GetSel(m_nSelStart, m_nSelEnd);
    if (m_nSelStart == m_nSelEnd)
        setCurrentCharFormat(m_cfNormal);
}

void CInteractiveEditCtrl::InsertPlainTyped(const QString& text)
{
    QTextCursor cursor = textCursor();
    const QString fitting = text.left(std::max(0, RoomFor(cursor)));
    if (fitting.isEmpty())
        return;
    cursor.insertText(fitting, m_cfNormal);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CInteractiveEditCtrl::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->commitString().isEmpty()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    const QString commit = MessageText::CleanForeignText(event->commitString());
    const QString fitting = commit.left(std::max(0, RoomFor(textCursor())));
    QInputMethodEvent limited(event->preeditString(), event->attributes());
    limited.setCommitString(fitting, event->replacementStart(), event->replacementLength());
    if (!textCursor().hasSelection())
        setCurrentCharFormat(m_cfNormal);
    QTextEdit::inputMethodEvent(&limited);
    if (!textCursor().hasSelection())
        setCurrentCharFormat(m_cfNormal);
}

QTextCharFormat CInteractiveEditCtrl::FormatForColor(quint32 color) const
{
    if (color == 0)
        return m_cfNormal;
    QTextCharFormat format = m_cfControl;
    format.setForeground(MarkColor::ToQColor(color));
    if (color != CMessageCodec::kControlColor)
        CSymbolGlyphs::WidenCell(format);
    return format;
}

QList<MessageText::Run> CInteractiveEditCtrl::SelectedRuns() const
{
    QList<MessageText::Run> runs;
    const auto append = [&runs](const QString& text, quint32 color) {
        if (!runs.isEmpty() && runs.last().color == color)
            runs.last().text += text;
        else
            runs.append({text, color});
    };
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            const quint32 color = MarkColor::Of(fragment.charFormat());
            append(fragment.text().mid(from - fragment.position(), to - from),
                   MessageText::IsMarkingColor(color) ? color : 0);
        }
        const int lineBreak = block.position() + block.length() - 1;
        if (lineBreak >= start && lineBreak < end)
            append(QStringLiteral("\n"), 0);
    }
    return runs;
}

QMimeData* CInteractiveEditCtrl::createMimeDataFromSelection() const
{
    QMimeData* data = QTextEdit::createMimeDataFromSelection();
    data->setData(MessageText::kMimeType, MessageText::ToMimeData(SelectedRuns()));
    return data;
}

bool CInteractiveEditCtrl::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasFormat(MessageText::kMimeType) || source->hasHtml() || source->hasText();
}

void CInteractiveEditCtrl::insertFromMimeData(const QMimeData* source)
{
    QList<MessageText::Run> runs;
    if (source->hasFormat(MessageText::kMimeType)) {
        runs = MessageText::FromMimeData(source->data(MessageText::kMimeType));
    } else if (source->hasHtml()) {
        QTextDocument html;
        html.setHtml(source->html());
        for (QTextBlock block = html.begin(); block.isValid(); block = block.next()) {
            if (block != html.begin())
                runs.append({QStringLiteral("\n"), 0});
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                MessageText::AppendPasted(runs, it.fragment().text(),
                                          MarkColor::Of(it.fragment().charFormat()));
            }
        }
    } else if (source->hasText()) {
        runs = MessageText::FromPlainText(source->text());
    }
    InsertRuns(std::move(runs));
}

void CInteractiveEditCtrl::InsertRuns(QList<MessageText::Run> runs)
{
    QTextCursor cursor = textCursor();
    MessageText::CutToRoom(runs, RoomFor(cursor));
    const bool any = std::any_of(runs.cbegin(), runs.cend(),
                                 [](const MessageText::Run& run) { return !run.text.isEmpty(); });
    if (!any)
        return;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    for (const MessageText::Run& run : runs)
        cursor.insertText(run.text, FormatForColor(run.color));
    cursor.endEditBlock();
    setTextCursor(cursor);
    setCurrentCharFormat(m_cfNormal);
    ensureCursorVisible();
}
