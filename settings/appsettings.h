#pragma once

#include "settings/deviceservicesettings.h"
#include "settings/portconfig.h"
#include "settings/programlayout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class IPrompt;
class QIODevice;

// Everything that outlives a window: the values of "Tavrix Editor.ini" (the port's configuration,
// the font names and folder among them) and the tables behind the toolbar lists. Construction
// reads the settings file (with its prompts, before any window exists); destruction writes the
// settings file.
class AppSettings
{
public:
    // ReadOnly serves programs without windows: the settings file is read without a question and
    // never written.
    enum class Access { ReadWrite, ReadOnly };
    enum class IniState { Read, Missing, Malformed };

    // The settings file and the default font directory where the layout puts them.
    // afterRead runs once the file is read, before the picture lists are parsed: the application
    // reads its fonts there, so the operator hears of them in the order of the start-up.
    AppSettings(IPrompt& prompt, const ProgramLayout& layout, Access access = Access::ReadWrite,
                const std::function<void(AppSettings&)>& afterRead = {});
    // Both in programDir (the portable layout), whatever it holds.
    AppSettings(IPrompt& prompt, const QString& programDir,
                const std::function<void(AppSettings&)>& afterRead = {});
    virtual ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    bool LoadIni();
    bool CreateIni();
    // bWrite false: parse the file's bytes into the record (all or nothing);
    // bWrite true: compose the settings text and write it to the open file.
    bool ReadWriteIni(QIODevice& file, bool bWrite);
    bool ParsePictureLists();
    bool BuildPictureLists();

    const ProgramLayout& Layout() const { return m_layout; }
    IPrompt& Prompt() const { return m_prompt; }
    QString IniPath() const;
    // What the last LoadIni found; with anything but Read every setting is at its default.
    IniState GetIniState() const { return m_iniState; }

    static constexpr int kDefaultMaxSym = 2048;
    static const QString kIniFileName;     // "Tavrix Editor.ini"
    static const QString kFontPlaceholder; // two blanks, twenty hyphens, one blank
    // The user profile (QSettings), which keeps what the settings file does not: the recent-file
    // list and the preview's width.
    static const QString kProfileOrganization;
    static const QString kProfileApplication;

    int m_nMaxSym = kDefaultMaxSym;
    QString m_strFontDir;
    QString m_strFontNames;
    std::array<quint8, 10> m_iValues{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::array<quint8, 5> m_vValues{1, 2, 3, 4, 5};
    std::array<int, 5> m_scaleValues{1, 2, 3, 4, 5};
    int m_nCurFont = 0;
    int m_nCurI = 0;
    int m_nCurV = 0;
    int m_nCurScale = 0;
    QByteArray m_szIniText; // the whole settings text, as read or as composed for writing
    PortConfig m_port;      // section COM: the port every transfer opens anew
    DeviceServiceSettings m_device;

private:
    bool WriteIniFile();
    bool KeepUnreadIni();
    QString FreeBackupPath() const;

    IPrompt& m_prompt;
    ProgramLayout m_layout;
    Access m_access = Access::ReadWrite;
    IniState m_iniState = IniState::Missing;
    // The bytes of a settings file that could not be read, saved beside it before the first write
    // over it.
    QByteArray m_unreadIni;
    bool m_bKeepUnreadIni = false;
    bool m_bMoveUnreadIni = false; // the file exists but could not be opened
};
