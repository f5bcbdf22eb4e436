#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

// Turns Ctrl+C (SIGINT) and SIGTERM into a signal of the event loop while it lives, so that a
// transfer can be cancelled cleanly: the port's queue is discarded and the port closed, instead
// of the process dying with bytes still waiting in the driver. Does nothing on Windows.
class CInterruptWatcher : public QObject
{
    Q_OBJECT
public:
    CInterruptWatcher();
    ~CInterruptWatcher() override;

Q_SIGNALS:
    void interrupted();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
