#pragma once

#include "cli/consoleprompt.h"
#include "cli/exitcode.h"
#include "settings/appsettings.h"
#include "settings/portconfig.h"

#include <QString>
#include <optional>

class CConsole;

// The program's settings file as the command line sees it: read once, without questions, never
// written. --port and --baud override the port it names.
class CCliSettings
{
public:
    // The settings file where the editor in programDir keeps it.
    explicit CCliSettings(const QString& programDir);

    bool IsRead() const { return m_settings.GetIniState() == AppSettings::IniState::Read; }
    // Why the settings file could not be used, with its path.
    QString UnreadText() const;

    // baud is a line value ("9600"); an empty text leaves the one of the settings.
    bool SetOverrides(const QString& port, const QString& baud, CliFailure& failure);
    // The port to open. Without a readable settings file only a port and a baud rate given on the
    // command line will do; the rest of the line settings are then the defaults.
    bool PortConfigToUse(PortConfig& config, CliFailure& failure) const;
    // How many stream bytes a message may hold (the editor keeps one byte of MAXSYM free).
    int MessageCapacity() const;
    // Tells the terminal which defaults stand in for an unreadable settings file.
    void NoteDefaults(CConsole& console) const;

    AppSettings& Settings() { return m_settings; }
    const QStringList& PromptTexts() const { return m_prompt.Texts(); }

private:
    CConsolePrompt m_prompt;
    AppSettings m_settings;
    std::optional<QString> m_port;
    std::optional<int> m_baudIndex;
};
