#pragma once

#include <QString>

// One picture stored in the device: shown or not, its name, its number in device memory and how
// many seconds it is shown.
struct PictureEntry {
    bool bShown = false;
    QString strName;
    int nNumber = -1;
    int nDuration = 0;

    void Set(bool shown, const QString& name, int number, int duration);
};
