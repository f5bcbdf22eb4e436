#include "cli/commandline.h"
#include "settings/uilanguage.h"

// The site agent on its own: the command line without the editor's libraries, to which
// `tavrix-editor agent` hands over (CCommandLine::HandOverAgent).
int main(int argc, char* argv[])
{
    const UiLanguage::Option language = UiLanguage::TakeOption(argc, argv);
    return CCommandLine::Main(argc, argv, language);
}
