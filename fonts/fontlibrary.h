#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class AppSettings;
class CEXFont;
class IPrompt;

// The device fonts the settings name, read from their folder. The application owns one and hands
// it to whatever draws or encodes with the fonts; the settings keep only the names and the folder.
class CFontLibrary
{
public:
    CFontLibrary();
    ~CFontLibrary();
    CFontLibrary(const CFontLibrary&) = delete;
    CFontLibrary& operator=(const CFontLibrary&) = delete;

    // Rebuilds the whole library from the settings' font names and folder. The toolbar's tables
    // and choices in the settings go back to their start: the lists are filled anew from it.
    bool LoadFontLibrary(AppSettings& settings);
    // Reads every slot's file from the directory and tells the operator of those that failed.
    int LoadFonts(const QString& directory, IPrompt& prompt);
    bool LoadFontFile(const QString& path, int slot);

    // The font of a slot read from its file; nullptr for a slot out of range or not loaded.
    const CEXFont* LoadedFont(int slot) const;

    int m_nFontCount = 0;
    std::vector<std::unique_ptr<CEXFont>> m_pFonts; // slot i belongs to the i-th name
    std::vector<int> m_pFontLoaded;                 // 1 = slot i was loaded from its file
    QStringList m_astrFontNames;                    // the placeholder where a slot failed
};
