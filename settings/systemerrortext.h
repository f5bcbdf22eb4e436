#pragma once

#include <QString>

// The system's reason for a failed file operation, in the program's language. `code` is the errno
// value right after the failure; a code without a text of its own keeps the system's text. On
// Windows a code of 0 stands for the thread's last Windows error, read right after the failure.
QString SystemErrorText(int code, const QString& systemText);
