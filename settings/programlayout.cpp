#include "settings/programlayout.h"

#include "settings/appsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{

const QString kConfigFolder = QStringLiteral("Tavrix Editor");
const QString kFontsFolder = QStringLiteral("Fonts");
const QString kDataFonts = QStringLiteral("tavrix-editor/Fonts");

// An installation keeps the executable in <prefix>/bin and the fonts in <prefix>/share, so the
// fonts are found wherever the prefix is. A copy of the data without the executable beside it (a
// distribution's own layout) is found through the system's data folders.
QString InstalledFontDir(const QString& programDir)
{
    const QString besideBin =
        QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/") + kDataFonts));
    if (QFileInfo(besideBin).isDir())
        return besideBin;
    const QString located = QStandardPaths::locate(QStandardPaths::GenericDataLocation, kDataFonts,
                                                   QStandardPaths::LocateDirectory);
    return located.isEmpty() ? besideBin : located;
}

// The per-user configuration folder of an application named "Tavrix Editor" (the application
// configuration location), whatever name the running process was given.
QString UserSettingsDir()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(kConfigFolder);
}

} // namespace

ProgramLayout ProgramLayout::Portable(const QString& programDir)
{
    ProgramLayout layout;
    layout.bPortable = true;
    layout.strSettingsDir = programDir;
    layout.strFontDir = QDir::toNativeSeparators(QDir(programDir).filePath(kFontsFolder));
    return layout;
}

ProgramLayout ProgramLayout::Find(const QString& programDir)
{
    const QDir dir(programDir);
    if (QFileInfo::exists(dir.filePath(AppSettings::kIniFileName)) ||
        QFileInfo(dir.filePath(kFontsFolder)).isDir())
        return Portable(programDir);
    ProgramLayout layout;
    layout.bPortable = false;
    layout.strSettingsDir = UserSettingsDir();
    layout.strFontDir = QDir::toNativeSeparators(InstalledFontDir(programDir));
    return layout;
}
