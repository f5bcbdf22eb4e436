#pragma once

#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"

#include <QWidget>
#include <functional>

class AppSettings;
class CTavrixEditorDoc;
class IPrompt;
class QComboBox;

// The upper pane, in which the message is written. It owns the edit control, fills and answers
// the frame's toolbar lists, and carries out the editor's commands: the clipboard, the symbol and
// effect insertions, sending the message and the three settings dialogs.
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

    CTavrixEditorView(AppSettings& settings, IPrompt& prompt, CTavrixEditorDoc& doc,
                      QWidget* parent = nullptr);
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

    // Runs a command the frame routed here; false when the view does not handle it.
    bool OnCommand(int id);
    // The update handlers: whether a command of the view is available now.
    bool IsCommandEnabled(int id);
    // A selection change in list 102, 103 or 104.
    void OnListSelChange(int listId, int index);

    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnInsertSymbol();
    void OnEffects();
    void OnSendText();
    // The message to the displays the operator ticks, all at once.
    void OnSendMany();
    void OnDisplayList();
    void OnPortSettings();
    void OnDeviceSettings();
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
    // Something the enabled state of the view's commands depends on has changed.
    void commandStateChanged();
    // The text, or the fonts it is drawn with, changed: the stream may read differently now.
    void previewStale();

private:
    bool ConfirmShortenedSend();

    AppSettings& m_settings;
    IPrompt& m_prompt;
    ToolbarLists m_lists;
    CInteractiveEditCtrl m_wndEdit;
    CMessageCodec m_codec;
};
