#include "app/tavrixeditorapp.h"
#include "cli/commandline.h"
#include "settings/uilanguage.h"

#include <QCoreApplication>
#include <cstdio>

namespace
{

// The language goes in before any text is made, help and errors included. The commands keep
// Qt's own parser texts as they always were.
bool ChooseLanguage(const UiLanguage::Option& option)
{
    UiLanguage::Install(UiLanguage::Choose(option), false);
    if (option.valid)
        return true;
#ifdef Q_OS_WIN
    // The commands write UTF-8 on Windows (their console set up for it), whatever the code page.
    const QByteArray text = UiLanguage::UnknownText(option).toUtf8();
#else
    const QByteArray text = UiLanguage::UnknownText(option).toLocal8Bit();
#endif
    std::fprintf(stderr, "%s\n", text.constData());
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    const UiLanguage::Option language = UiLanguage::TakeOption(argc, argv);
    // A command runs before any QApplication exists, so it needs no display server and the
    // settings file is neither questioned nor written; nor is it for an unknown language.
    if (!language.valid || CCommandLine::IsCommand(argc, argv)) {
        QCoreApplication app(argc, argv);
        if (!ChooseLanguage(language))
            return ExitUsage;
        return CCommandLine(QCoreApplication::arguments(), QCoreApplication::applicationDirPath())
            .Run();
    }
    CTavrixEditorApp app(argc, argv, UiLanguage::Choose(language));
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
