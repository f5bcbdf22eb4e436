#include "fonts/fontlibrary.h"

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

CFontLibrary::CFontLibrary() = default;

CFontLibrary::~CFontLibrary() = default;

bool CFontLibrary::LoadFontLibrary(AppSettings& settings)
{
    settings.m_iValues = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    settings.m_vValues = {1, 2, 3, 4, 5};
    settings.m_scaleValues = {1, 2, 3, 4, 5};
    settings.m_nCurFont = 0;
    settings.m_nCurI = 0;
    settings.m_nCurV = 0;
    settings.m_nCurScale = 0;

    static const QRegularExpression separators(QStringLiteral("[\t ,]+"));
    m_astrFontNames = settings.m_strFontNames.split(separators, Qt::SkipEmptyParts);

    m_nFontCount = int(m_astrFontNames.size());
    m_pFonts.clear();
    m_pFonts.reserve(m_nFontCount);
    for (int i = 0; i < m_nFontCount; ++i)
        m_pFonts.push_back(std::make_unique<CEXFont>());
    m_pFontLoaded.assign(m_nFontCount, 0);

    LoadFonts(settings.m_strFontDir, settings.Prompt());
    return true;
}

int CFontLibrary::LoadFonts(const QString& directory, IPrompt& prompt)
{
    int loaded = m_nFontCount;
    m_pFontLoaded.assign(m_nFontCount, 1);
    for (int i = 0; i < m_nFontCount; ++i) {
        const QString path = directory + QLatin1Char('/') + m_astrFontNames[i] + ".brf";
        if (!LoadFontFile(path, i)) {
            m_astrFontNames[i] = AppSettings::kFontPlaceholder;
            m_pFontLoaded[i] = 0;
            --loaded;
        }
    }
    if (loaded == 0)
        prompt.Inform(QCoreApplication::translate("CFontLibrary",
                                                  "Не удается загрузить файлы шрифтов из : ") +
                      QDir::toNativeSeparators(directory));
    else if (loaded < m_nFontCount)
        prompt.Inform(
            QCoreApplication::translate("CFontLibrary", "Не все файлы шрифтов удалось загрузить."));
    return loaded;
}

bool CFontLibrary::LoadFontFile(const QString& path, int slot)
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

const CEXFont* CFontLibrary::LoadedFont(int slot) const
{
    if (slot < 0 || slot >= m_nFontCount || std::size_t(slot) >= m_pFontLoaded.size() ||
        std::size_t(slot) >= m_pFonts.size() || !m_pFontLoaded[std::size_t(slot)])
        return nullptr;
    return m_pFonts[std::size_t(slot)].get();
}
