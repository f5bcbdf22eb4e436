// The font-loading half of AppSettings (declared in settings/appsettings.h): reading the device
// fonts the settings name. It lives beside CEXFont, whose files it reads; the other half reads and
// writes the settings file.
#include "fonts/exfont.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{

// Fonts copied from elsewhere often carry upper-case names; on a file system that tells case
// apart, a file whose name matches ignoring case stands in for the missing exact name.
QString ResolveFontPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return path;
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return path;
}

} // namespace

bool AppSettings::LoadFontLibrary()
{
    m_iValues = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    m_vValues = {1, 2, 3, 4, 5};
    m_scaleValues = {1, 2, 3, 4, 5};
    m_nCurFont = 0;
    m_nCurI = 0;
    m_nCurV = 0;
    m_nCurScale = 0;

    static const QRegularExpression separators(QStringLiteral("[\t ,]+"));
    m_astrFontNames = m_strFontNames.split(separators, Qt::SkipEmptyParts);

    m_nFontCount = int(m_astrFontNames.size());
    m_pFonts.clear();
    m_pFonts.reserve(m_nFontCount);
    for (int i = 0; i < m_nFontCount; ++i)
        m_pFonts.push_back(std::make_unique<CEXFont>());
    m_pFontLoaded.assign(m_nFontCount, 0);

    LoadFonts(m_strFontDir);
    return true;
}

int AppSettings::LoadFonts(const QString& directory)
{
    int loaded = m_nFontCount;
    m_pFontLoaded.assign(m_nFontCount, 1);
    for (int i = 0; i < m_nFontCount; ++i) {
        const QString path = directory + QLatin1Char('/') + m_astrFontNames[i] + ".brf";
        if (!LoadFontFile(path, i)) {
            m_astrFontNames[i] = kFontPlaceholder;
            m_pFontLoaded[i] = 0;
            --loaded;
        }
    }
    if (loaded == 0)
        Prompt().Inform(QCoreApplication::translate("CFontLibrary",
                                                    "Не удается загрузить файлы шрифтов из : ") +
                        QDir::toNativeSeparators(m_strFontDir));
    else if (loaded < m_nFontCount)
        Prompt().Inform(
            QCoreApplication::translate("CFontLibrary", "Не все файлы шрифтов удалось загрузить."));
    return loaded;
}

bool AppSettings::LoadFontFile(const QString& path, int slot)
{
    if (slot < 0 || slot >= int(m_pFonts.size()) || !m_pFonts[slot])
        return false;
    QFile file(ResolveFontPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    CEXFont& font = *m_pFonts[slot];
    font.Serialize(file, false);
    return font.m_pGlyphs != nullptr;
}
