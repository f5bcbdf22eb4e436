#pragma once

#include <QString>

// The one way core code talks to the user: an OK box or a Yes/No question. The application
// answers with message boxes; tests answer with a scripted fake.
class IPrompt
{
public:
    virtual ~IPrompt() = default;
    virtual void Inform(const QString& text) = 0;
    // An OK box whose text stays as it is, with more on the cause for whoever wants it. Where
    // there is no room for details apart they follow the text.
    virtual void InformDetails(const QString& text, const QString& details)
    {
        Inform(details.isEmpty() ? text : text + QStringLiteral("\n\n") + details);
    }
    // An OK box that says something went well (an information sign, not a warning).
    virtual void InformSuccess(const QString& text) { Inform(text); }
    virtual bool AskYesNo(const QString& text) = 0;
};
