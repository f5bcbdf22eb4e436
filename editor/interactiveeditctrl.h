#pragma once

#include "editor/editcontrol.h"

#include <QTextCharFormat>
#include <QTextEdit>

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

    // IEditControl
    QByteArray GetText() const override;
    int GetTextLength() const override;
    void SetText(const QByteArray& text) override;
    void GetSel(int& start, int& end) const override;
    void SetSel(int start, int end) override;
    void SetSelectionCharFormat(const CharFormat& format) override;
    void ReplaceSel(const QByteArray& text) override;
    quint32 GetCharColor(int index) const override;
    void BeginBulkEdit() override;
    void EndBulkEdit() override;

    static constexpr int kDefaultLimit = 32767;
    void SetLimitText(int limit);
    int GetLimitText() const { return m_nLimit; }
    bool CanPaste() const;
    bool HasSelectedText() const;

    QTextCharFormat m_cfNormal;  // "Verdana", black
    QTextCharFormat m_cfControl; // "Courier New", 0xFF0000 (blue)
    int m_nSelStart = 0;
    int m_nSelEnd = 0;

private:
    CTavrixEditorDoc* m_pDoc = nullptr;
    int m_nLimit = kDefaultLimit;
};
