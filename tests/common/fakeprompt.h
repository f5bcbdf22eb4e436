#pragma once

#include "settings/prompt.h"

#include <QList>
#include <QStringList>

// Records every text shown to the user and answers Yes/No questions from a script
// (Yes when the script runs out).
class FakePrompt : public IPrompt
{
public:
    void Inform(const QString& text) override { texts << text; }
    void InformDetails(const QString& text, const QString& details) override
    {
        texts << text;
        this->details << details;
    }
    void InformSuccess(const QString& text) override
    {
        texts << text;
        successes << text;
    }
    bool AskYesNo(const QString& text) override
    {
        texts << text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }

    QStringList texts;
    QStringList details;   // of the boxes shown with details, in order
    QStringList successes; // of the boxes that said something went well
    QList<bool> answers;
};
