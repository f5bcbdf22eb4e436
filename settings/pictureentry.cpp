#include "settings/pictureentry.h"

void PictureEntry::Set(bool shown, const QString& name, int number, int duration)
{
    bShown = shown;
    strName = name;
    nNumber = number;
    nDuration = duration;
}
