#pragma once

#include <QString>

// Where the settings file and the default fonts folder are. A program directory that holds
// "Tavrix Editor.ini" or a Fonts folder (the build tree, a copied folder, a Windows install) keeps
// both beside the executable; otherwise the program is installed: the settings file goes to the
// user's configuration folder and the fonts come from the installed data folder.
struct ProgramLayout {
    // The portable layout in programDir, whatever it holds.
    static ProgramLayout Portable(const QString& programDir);
    // The layout for an executable in programDir. Every program that reads or writes the
    // settings file goes through here, so they all agree on where it is.
    static ProgramLayout Find(const QString& programDir);

    bool bPortable = true;
    QString strSettingsDir; // holds "Tavrix Editor.ini"
    QString strFontDir;     // the default fonts folder, native separators
};
