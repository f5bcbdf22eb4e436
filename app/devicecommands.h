#pragma once

#include <QObject>

class AppSettings;
class CTavrixEditorView;
class IPrompt;
class QWidget;

// The commands that reach the display: sending the message to the port or to several displays,
// the list of displays, the port and device settings, the journal of transfers. The frame routes
// them here; the editor view only offers the encoded message.
class CDeviceCommands : public QObject
{
    Q_OBJECT
public:
    CDeviceCommands(AppSettings& settings, IPrompt& prompt, CTavrixEditorView& view,
                    QWidget* window);

    // Whether the id is one of these commands.
    static bool Handles(int id);
    // Runs the command; false for an id it does not handle.
    bool OnCommand(int id);
    // Whether the command can be run now (a command of the upper pane, it is asked only while
    // that pane is active; the journal always can).
    bool IsCommandEnabled(int id) const;

    void OnSendText();
    // The message to the displays the operator ticks, all at once.
    void OnSendMany();
    void OnDisplayList();
    void OnPortSettings();
    void OnDeviceSettings();
    void OnTransferJournal();

private:
    AppSettings& m_settings;
    IPrompt& m_prompt;
    CTavrixEditorView& m_view;
    QWidget* m_pWindow;
};
