#pragma once

#include "cli/exitcode.h"

#include <QObject>
#include <memory>

class QSocketNotifier;

// Turns Ctrl+C (SIGINT), SIGTERM and SIGHUP (the terminal or ssh session gone) into a signal of
// the event loop while it lives, so that a transfer can be cancelled cleanly: the port's queue is
// discarded and the port closed, instead of the process dying with bytes still waiting in the
// driver. A second signal ends the process at once. A signal the process was started with
// ignored (a job put in the background by a script) stays ignored. On Windows: Ctrl+C and
// Ctrl+Break of the console.
class CInterruptWatcher : public QObject
{
    Q_OBJECT
public:
    CInterruptWatcher();
    ~CInterruptWatcher() override;

    // The status to exit with for the signal that came; ExitOk while none has.
    ExitCode InterruptCode() const;

Q_SIGNALS:
    void interrupted();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
