#include "app/tavrixeditorapp.h"
#include "cli/commandline.h"
#include "settings/uilanguage.h"

int main(int argc, char* argv[])
{
    CCommandLine::HandOverAgent(argv);
    const UiLanguage::Option language = UiLanguage::TakeOption(argc, argv);
    // A command runs before any QApplication exists, so it needs no display server and the
    // settings file is neither questioned nor written; nor is it for an unknown language.
    if (!language.valid || CCommandLine::IsCommand(argc, argv))
        return CCommandLine::Main(argc, argv, language);
    CTavrixEditorApp app(argc, argv, UiLanguage::Choose(language));
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
