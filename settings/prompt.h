#pragma once

#include <QString>

// The one way core code talks to the user: an OK box or a Yes/No question. The application
// answers with message boxes; tests answer with a scripted fake.
class IPrompt
{
public:
    virtual ~IPrompt() = default;
    virtual void Inform(const QString& text) = 0;
    virtual bool AskYesNo(const QString& text) = 0;
};
