#include "app/tavrixeditorapp.h"

CTavrixEditorApp::CTavrixEditorApp(int& argc, char** argv) : QApplication(argc, argv) {}

bool CTavrixEditorApp::InitInstance()
{
    return true;
}
