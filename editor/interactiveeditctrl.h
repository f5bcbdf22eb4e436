#pragma once

#include "editor/editcontrol.h"
#include "editor/messagetext.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

class CSymbolGlyphs;
class CTextSnapshot;
class CTavrixEditorDoc;

// The control in which the operator types the message. Plain text is black "Verdana"; control
// codes and device symbols are marked by exact colours (see CMessageCodec). It enforces its own
// text limit, keeps the marking through its clipboard, offers no undo, and marks the document
// modified when the text really changes.
class CInteractiveEditCtrl : public QTextEdit, public IEditControl
{
    Q_OBJECT
public:
    explicit CInteractiveEditCtrl(QWidget* parent = nullptr);
    ~CInteractiveEditCtrl() override;

    void SetDocument(CTavrixEditorDoc* doc) { m_pDoc = doc; }
    // Draws the device symbols as their pictures; without it they show as the font's boxes.
    void SetSymbolGlyphs(CSymbolGlyphs* glyphs) { m_pGlyphs = glyphs; }

    // IEditControl
    QByteArray GetText() const override;
    int GetTextLength() const override;
    void SetText(const QByteArray& text) override;
    void GetSel(int& start, int& end) const override;
    void SetSel(int start, int end) override;
    void SetSelectionCharFormat(const CharFormat& format) override;
    // Refused whole when the result would exceed the text limit, so a code is never cut in two.
    void ReplaceSel(const QByteArray& text) override;
    quint32 GetCharColor(int index) const override;
    int GetLimitText() const override { return m_nLimit; }
    void SetMarkedText(const QByteArray& text, const QList<FormatRun>& runs) override;
    void BeginBulkEdit() override;
    void EndBulkEdit() override;

    // One walk over the fragments: a long message has far fewer of them than characters.
    CTextSnapshot Snapshot() const override;

    static constexpr int kDefaultLimit = 32767;
    void SetLimitText(int limit);
    bool CanPaste() const;
    bool HasSelectedText() const;

    QTextCharFormat m_cfNormal;  // "Verdana", black
    QTextCharFormat m_cfControl; // "Courier New", 0xFF0000 (blue)
    int m_nSelStart = 0;
    int m_nSelEnd = 0;

Q_SIGNALS:
    // How far a whole new text has gone in, in percent, now and then while it does.
    void insertProgress(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void OnContentsChange(int position, int removed, int added);
    QTextCursor ActiveCursor() const;
    void SetActiveCursor(const QTextCursor& cursor);
    int RoomFor(const QTextCursor& cursor) const;
    void InsertPlainTyped(const QString& text);
    void InsertRuns(QList<MessageText::Run> runs);
    QList<MessageText::Run> SelectedRuns() const;
    QTextCharFormat FormatForColor(quint32 color) const;

    CTavrixEditorDoc* m_pDoc = nullptr;
    CSymbolGlyphs* m_pGlyphs = nullptr;
    int m_nLimit = kDefaultLimit;
    int m_nBulk = 0;
    QTextCursor m_bulkCursor;
    QTextCharFormat m_pendingFormat;
};
