#pragma once

#include <QString>

// Exit statuses of the command line, one per kind of trouble, so that a script can tell a wrong
// call from a bad message, a missing display and a broken transfer.
enum ExitCode : int {
    ExitOk = 0,
    ExitUsage = 2,    // the command line itself is wrong
    ExitFile = 3,     // a message, markup or settings file cannot be read, is bad or too long
    ExitPort = 4,     // the port cannot be opened or configured
    ExitTransfer = 5, // not every byte left the line
    ExitNoAnswer = 6, // a site's agent did not report a display's result in time
    // A transfer a signal interrupted: 128 and the signal's number, as a shell reports a
    // process the signal ended.
    ExitHangup = 129,    // SIGHUP: the terminal or ssh session went away
    ExitInterrupt = 130, // SIGINT: Ctrl+C
    ExitTerminate = 143, // SIGTERM
};

// Why a command stopped: the status to exit with and the text for stderr (Russian).
struct CliFailure {
    ExitCode code = ExitUsage;
    QString text;
};
