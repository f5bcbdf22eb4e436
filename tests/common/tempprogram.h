#pragma once

#include "fakeprompt.h"
#include "fonts/fontlibrary.h"
#include "settings/appsettings.h"

#include <QTemporaryDir>
#include <memory>

// A settings record in a program directory of its own. The first-run question is answered No, so
// the record keeps its defaults and nothing touches the disk before it is destroyed; what the
// start-up said is forgotten, so a test sees only its own messages.
struct TempProgram {
    explicit TempProgram(const QString& fontDir = QString())
    {
        prompt.answers = {false};
        settings = std::make_unique<AppSettings>(
            prompt, dir.path(), [this](AppSettings& read) { fonts.LoadFontLibrary(read); });
        if (!fontDir.isEmpty())
            settings->m_strFontDir = fontDir;
        prompt.texts.clear();
    }

    QTemporaryDir dir;
    FakePrompt prompt;
    CFontLibrary fonts;
    std::unique_ptr<AppSettings> settings;
};
