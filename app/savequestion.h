#pragma once

#include <QString>

// The save-changes question before a document is replaced or the program ends: the one place
// where the user can also cancel what started it.
class ISaveQuestion
{
public:
    enum Answer { Yes, No, Cancel };

    virtual ~ISaveQuestion() = default;
    virtual Answer AskSaveChanges(const QString& text) = 0;
};
