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

bool CDeviceCommands::Handles(int id)
{
    switch (id) {
    case CommandTable::ID_SEND_TEXT:
    case CommandTable::ID_SEND_MANY:
    case CommandTable::ID_DISPLAY_LIST:
    case CommandTable::ID_PORT_SETTINGS:
    case CommandTable::ID_DEVICE_SETTINGS:
    case CommandTable::ID_TRANSFER_JOURNAL:
        return true;
    default:
        return false;
    }
}

bool CDeviceCommands::OnCommand(int id)
{
    switch (id) {
    case CommandTable::ID_SEND_TEXT:
        OnSendText();
        return true;
    case CommandTable::ID_SEND_MANY:
        OnSendMany();
        return true;
    case CommandTable::ID_DISPLAY_LIST:
        OnDisplayList();
        return true;
    case CommandTable::ID_PORT_SETTINGS:
        OnPortSettings();
        return true;
    case CommandTable::ID_DEVICE_SETTINGS:
        OnDeviceSettings();
        return true;
    case CommandTable::ID_TRANSFER_JOURNAL:
        OnTransferJournal();
        return true;
    default:
        return false;
    }
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
