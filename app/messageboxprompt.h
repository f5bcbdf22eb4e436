#pragma once

#include "app/savequestion.h"
#include "settings/prompt.h"

// The program's message boxes, all with the caption "Tavrix Editor". They work before any window
// exists (settings and font messages at start-up) and centre over the active window afterwards.
class CMessageBoxPrompt : public IPrompt, public ISaveQuestion
{
public:
    void Inform(const QString& text) override;
    // The details are behind the box's "Show Details..." button (Qt's detailed text).
    void InformDetails(const QString& text, const QString& details) override;
    void InformSuccess(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    Answer AskSaveChanges(const QString& text) override;

    static const QString kCaption;
};
