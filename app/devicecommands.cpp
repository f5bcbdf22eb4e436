#include "app/devicecommands.h"

#include "app/commandtable.h"
#include "device/deviceframes.h"
#include "device/devicesender.h"
#include "device/devicesettingsdlg.h"
#include "device/displaychoicedlg.h"
#include "device/displaylistdlg.h"
#include "device/journaldlg.h"
#include "device/multitransferdlg.h"
#include "device/portsetdialog.h"
#include "device/transferjournal.h"
#include "device/transferstatusdlg.h"
#include "editor/tavrixeditorview.h"
#include "settings/appsettings.h"

CDeviceCommands::CDeviceCommands(AppSettings& settings, IPrompt& prompt, CTavrixEditorView& view,
                                 QWidget* window)
    : QObject(window), m_settings(settings), m_prompt(prompt), m_view(view), m_pWindow(window)
{
}

namespace
{

struct Command {
    int id;
    void (CDeviceCommands::*run)();
};

constexpr Command kCommands[] = {
    {CommandTable::ID_SEND_TEXT, &CDeviceCommands::OnSendText},
    {CommandTable::ID_SEND_MANY, &CDeviceCommands::OnSendMany},
    {CommandTable::ID_DISPLAY_LIST, &CDeviceCommands::OnDisplayList},
    {CommandTable::ID_PORT_SETTINGS, &CDeviceCommands::OnPortSettings},
    {CommandTable::ID_DEVICE_SETTINGS, &CDeviceCommands::OnDeviceSettings},
    {CommandTable::ID_TRANSFER_JOURNAL, &CDeviceCommands::OnTransferJournal},
};

const Command* Find(int id)
{
    for (const Command& command : kCommands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

} // namespace

bool CDeviceCommands::Handles(int id)
{
    return Find(id) != nullptr;
}

bool CDeviceCommands::OnCommand(int id)
{
    const Command* command = Find(id);
    if (!command)
        return false;
    (this->*command->run)();
    return true;
}

bool CDeviceCommands::IsCommandEnabled(int id) const
{
    switch (id) {
    case CommandTable::ID_SEND_TEXT:
    case CommandTable::ID_SEND_MANY:
        return m_view.HasText();
    default:
        return Handles(id);
    }
}

void CDeviceCommands::OnSendText()
{
    const std::optional<QByteArray> message = m_view.MessageToSend();
    if (!message)
        return;
    CDeviceSender sender(m_settings.m_port);
    sender.StartText(reinterpret_cast<const quint8*>(message->constData()), int(message->size()));
    CTransferStatusDlg::RunAndReport(sender, m_pWindow, m_prompt, &CDeviceSender::TextMessage);
}

void CDeviceCommands::OnSendMany()
{
    const std::optional<QByteArray> message = m_view.MessageToSend();
    if (!message)
        return;
    QList<DisplayEntry> displays;
    if (!CDisplayChoiceDlg::Choose(m_pWindow, CDisplayListDlg::ListPath(m_settings),
                                   tr("Передать текст на несколько табло"), m_prompt, displays))
        return;
    const QByteArray frame = DeviceFrames::TextFrame(
        reinterpret_cast<const quint8*>(message->constData()), int(message->size()));
    CMultiTransferDlg::RunAndReport(displays, {CDeviceSender::Frame{frame, 0}}, m_pWindow,
                                    &CDeviceSender::TextMessage, tr("Передано на %1 из %2 табло."));
}

void CDeviceCommands::OnDisplayList()
{
    CDisplayListDlg::OnDisplayList(m_pWindow, m_settings, m_prompt);
}

void CDeviceCommands::OnPortSettings()
{
    CPortSetDialog::OnPortSettings(m_pWindow, m_settings.m_port);
}

void CDeviceCommands::OnDeviceSettings()
{
    CDeviceSettingsDlg::OnDeviceSettings(m_pWindow, m_settings, m_prompt);
}

void CDeviceCommands::OnTransferJournal()
{
    CJournalDlg journal(CTransferJournal::DefaultPath(), m_pWindow);
    journal.exec();
}
