#pragma once

#include <QString>

class QTranslator;

// The language the operator reads. Russian is the language of the code itself; English comes
// from the translation compiled into the program. The system locale never chooses: an operator's
// machine in any locale keeps the program it knows.
namespace UiLanguage
{

enum class Id { Russian, English };

// "--lang WORD" or "--lang=WORD", anywhere on the command line.
struct Option {
    bool given = false;
    bool valid = true;
    Id id = Id::Russian;
    QString word; // as typed, for the error
};

// Takes the option out of argv, so that neither the command line nor the editor sees it.
Option TakeOption(int& argc, char** argv);
// The choice the user profile keeps (Russian when it keeps none or an unknown word).
Id Stored();
void Store(Id id);
// The option when given and valid, else the stored choice.
Id Choose(const Option& option);
// Loads the program's texts, and Qt's own standard texts when asked, for the language into the
// running application and remembers it as the current one. Needs a QCoreApplication.
void Install(Id id, bool withQtTexts = true);
Id Current();
// Qt's own texts (buttons, file dialogs) in the language, from Qt's translations folder.
bool LoadQtTexts(QTranslator& translator, Id id);
// While it lives, every text is the source (Russian) one: for outputs that must not depend on
// the language, such as the command line's tab-separated lines read by scripts.
class SourceTexts
{
public:
    SourceTexts();
    ~SourceTexts();
    SourceTexts(const SourceTexts&) = delete;
    SourceTexts& operator=(const SourceTexts&) = delete;
};

// The error for an unknown word, in the language already chosen.
QString UnknownText(const Option& option);

} // namespace UiLanguage
