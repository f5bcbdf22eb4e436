#pragma once

#include "settings/pictureentry.h"

#include <QString>
#include <vector>

// The device's service settings: the working form (flags and picture entries) that the
// device-settings dialog edits and sends, and the seven texts that the settings file stores.
// AppSettings::ParsePictureLists and BuildPictureLists convert between the two.
struct DeviceServiceSettings {
    bool m_bGreeting = false;
    bool m_bDemoPictures = false;
    bool m_bDemoString = false;
    int m_nPictureCount = 0;
    std::vector<PictureEntry> m_pPictures; // m_nPictureCount entries

    QString m_strImages;
    QString m_strUses;
    QString m_strNumbers;
    QString m_strTimes;
    QString m_strGreeting;
    QString m_strDemoPic;
    QString m_strDemoStr;
};
