#pragma once

#include <QApplication>

// Placeholder until the application object is built.
class CTavrixEditorApp : public QApplication
{
    Q_OBJECT
public:
    CTavrixEditorApp(int& argc, char** argv);
    bool InitInstance();
};
