#include "settings/uilanguage.h"

#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <cstring>

// The compiled translations live in the core library; a static library keeps a resource only when
// asked for it, and Q_INIT_RESOURCE must stand outside any namespace.
static void RegisterResources()
{
    Q_INIT_RESOURCE(translations);
}

namespace UiLanguage
{
namespace
{

const QString kProfileKey = QStringLiteral("Interface/Language");
Id g_current = Id::Russian;
QList<QTranslator*> g_installed;

QString Code(Id id)
{
    return id == Id::English ? QStringLiteral("en") : QStringLiteral("ru");
}

bool FromCode(const QString& word, Id& id)
{
    if (word != Code(Id::Russian) && word != Code(Id::English))
        return false;
    id = word == Code(Id::English) ? Id::English : Id::Russian;
    return true;
}

} // namespace

Option TakeOption(int& argc, char** argv)
{
    Option option;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--lang=", 7) == 0) {
            option.given = true;
            option.word = QString::fromLocal8Bit(arg + 7);
        } else if (std::strcmp(arg, "--lang") == 0) {
            option.given = true;
            option.word = i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString();
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    if (option.given)
        option.valid = FromCode(option.word, option.id);
    return option;
}

Id Stored()
{
    QSettings profile(AppSettings::kProfileOrganization, AppSettings::kProfileApplication);
    Id id = Id::Russian;
    FromCode(profile.value(kProfileKey).toString(), id);
    return id;
}

void Store(Id id)
{
    QSettings profile(AppSettings::kProfileOrganization, AppSettings::kProfileApplication);
    profile.setValue(kProfileKey, Code(id));
}

Id Choose(const Option& option)
{
    return option.given && option.valid ? option.id : Stored();
}

bool LoadQtTexts(QTranslator& translator, Id id)
{
    const QLocale locale(id == Id::English ? QLocale::English : QLocale::Russian);
    return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void Install(Id id, bool withQtTexts)
{
    g_current = id;
    QCoreApplication* app = QCoreApplication::instance();
    auto* qt = new QTranslator(app);
    if (withQtTexts && LoadQtTexts(*qt, id) && QCoreApplication::installTranslator(qt))
        g_installed << qt;
    if (id == Id::Russian)
        return;
    ::RegisterResources();
    auto* own = new QTranslator(app);
    if (own->load(QStringLiteral(":/i18n/tavrix_") + Code(id)) &&
        QCoreApplication::installTranslator(own))
        g_installed << own;
}

SourceTexts::SourceTexts()
{
    for (QTranslator* translator : g_installed)
        QCoreApplication::removeTranslator(translator);
}

SourceTexts::~SourceTexts()
{
    for (QTranslator* translator : g_installed)
        QCoreApplication::installTranslator(translator);
}

Id Current()
{
    return g_current;
}

QString UnknownText(const Option& option)
{
    return QCoreApplication::translate("UiLanguage",
                                       "tavrix-editor: неизвестный язык «%1»: ru или en.")
        .arg(option.word);
}

} // namespace UiLanguage
