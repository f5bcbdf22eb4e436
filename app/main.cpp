#include "app/tavrixeditorapp.h"

int main(int argc, char* argv[])
{
    CTavrixEditorApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
