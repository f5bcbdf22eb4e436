#pragma once

#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"

#include <QWidget>
#include <functional>
#include <optional>

class AppSettings;
class CFontLibrary;
class CTavrixEditorDoc;
class IPrompt;
class QComboBox;

// The upper pane, in which the message is written. It owns the edit control, fills and answers
// the frame's toolbar lists, carries out the editing commands the frame routes to it (the
// clipboard, the symbol and effect insertions, the text-editor settings) and offers the encoded
// message to the frame's commands that send it.
class CTavrixEditorView : public QWidget
{
    Q_OBJECT
public:
    // The toolbar lists the view fills; the frame owns them.
    struct ToolbarLists {
        QComboBox* font = nullptr;  // 102
        QComboBox* i = nullptr;     // 103
        QComboBox* v = nullptr;     // 104
        QComboBox* scale = nullptr; // 101
    };

    // The toolbar lists that insert a code.
    enum class CodeList { Font, I, V };

    CTavrixEditorView(AppSettings& settings, CFontLibrary& fonts, IPrompt& prompt,
                      CTavrixEditorDoc& doc, QWidget* parent = nullptr);
    ~CTavrixEditorView() override;

    // Without them FillToolbarCombos fills nothing.
    void SetToolbarLists(const ToolbarLists& lists) { m_lists = lists; }

    // Run after every new or opened document: refill the lists, rebuild the text from the stream.
    void OnInitialUpdate();
    void FillToolbarCombos();

    bool CatchChar(quint32 type, quint8 value, qint8 param);
    bool EncodeText();
    bool DecodeDocument();
    // A copy of the text as it stands, and the work that turns it into the stream the encoder
    // would write now. The work may run on any thread, and the document's own stream is left
    // as it was.
    std::function<QByteArray()> PreviewWork() const;
    QByteArray PreviewStream() const { return PreviewWork()(); }

    // What the editing commands need to be available now.
    bool HasSelectedText() const;
    bool CanPaste() const;
    bool CanInsertAtCaret(); // a symbol or a code still fits before the limit
    bool HasText() const;
    // A selection change in one of the lists.
    void OnListSelChange(CodeList list, int index);
    // The message as the display is to get it, encoded from the text as it stands; when it does
    // not fit, only once the operator has agreed to send it shortened (nothing otherwise).
    std::optional<QByteArray> MessageToSend();

    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnInsertSymbol();
    void OnEffects();
    void OnEditorSettings();

    CInteractiveEditCtrl& Edit() { return m_wndEdit; }
    CMessageCodec& Codec() { return m_codec; }
    AppSettings& Settings() { return m_settings; }

    // Asked before a message that does not fit is sent shortened: kept bytes, total bytes.
    static QString SendShortenedQuestion(int kept, qint64 total);
    // Told when a change of the maximum size cut the message: kept bytes, bytes before.
    static QString CapacityCutText(int kept, int total, bool newSize);

    CTavrixEditorDoc* m_pDoc = nullptr;
    int m_nSelStart = 0;
    int m_nSelEnd = 0;

Q_SIGNALS:
    // Something the enabled state of the editing and sending commands depends on has changed.
    void commandStateChanged();
    // The text, or the fonts it is drawn with, changed: the stream may read differently now.
    void previewStale();

private:
    bool ConfirmShortenedSend();

    AppSettings& m_settings;
    CFontLibrary& m_fonts;
    IPrompt& m_prompt;
    ToolbarLists m_lists;
    CInteractiveEditCtrl m_wndEdit;
    CMessageCodec m_codec;
};
