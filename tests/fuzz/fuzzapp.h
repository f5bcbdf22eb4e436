#pragma once

#include <QtGlobal>

// The application object a fuzz target needs, made at the first input and never destroyed:
// widgets still alive when the exit handlers run would crash Qt as it tears them down.
template <class App> void EnsureApplication(const char* name)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static App* app = new App(argc, argv);
    Q_UNUSED(app);
}
