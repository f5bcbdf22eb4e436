#include "app/tavrixeditorapp.h"
#include "cli/commandline.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    // A command runs before any QApplication exists, so it needs no display server and the
    // settings file is neither questioned nor written.
    if (CCommandLine::IsCommand(argc, argv)) {
        QCoreApplication app(argc, argv);
        return CCommandLine(QCoreApplication::arguments(), QCoreApplication::applicationDirPath())
            .Run();
    }
    CTavrixEditorApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
