#pragma once

#include "settings/prompt.h"

#include <QStringList>

// The settings record's voice on the command line: it asks nothing (every question is answered
// No, and a read-only record asks none) and keeps what it would have shown, for the command to
// report when it matters.
class CConsolePrompt : public IPrompt
{
public:
    void Inform(const QString& text) override { m_texts << text; }
    bool AskYesNo(const QString& text) override
    {
        m_texts << text;
        return false;
    }

    const QStringList& Texts() const { return m_texts; }

private:
    QStringList m_texts;
};
