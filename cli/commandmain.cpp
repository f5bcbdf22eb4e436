#include "cli/commandline.h"

#include "settings/uilanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

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

int CCommandLine::Main(int argc, char* argv[], const UiLanguage::Option& language)
{
    QCoreApplication app(argc, argv);
    if (!ChooseLanguage(language))
        return ExitUsage;
    return CCommandLine(QCoreApplication::arguments(), QCoreApplication::applicationDirPath())
        .Run();
}

// An agent runs for months beside other programs. The program without the editor's libraries
// (widgets, OpenGL, X11: some thirty shared libraries) keeps a quarter less memory resident, and
// exec leaves none of this image's pages behind. Where that program is missing (a copy of the
// executable alone), the agent runs here.
void CCommandLine::HandOverAgent(char* argv[])
{
#if defined(TAVRIX_HAS_MQTT) && defined(Q_OS_LINUX)
    if (!argv[0] || !argv[1] || std::strcmp(argv[1], "agent") != 0)
        return;
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString dir = QFileInfo(self).absolutePath();
    for (const QString& lean : {dir + QStringLiteral("/tavrix-editor-agent"),
                                dir + QStringLiteral("/../libexec/tavrix-editor/"
                                                     "tavrix-editor-agent")}) {
        if (QFileInfo(lean).canonicalFilePath() == self || !QFileInfo(lean).isExecutable())
            continue;
        const QByteArray path = QFile::encodeName(lean);
        ::execv(path.constData(), argv);
    }
#else
    Q_UNUSED(argv)
#endif
}
