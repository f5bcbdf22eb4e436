#include "cli/interruptwatcher.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = int(std::size(kSignals));

int g_pipe[2] = {-1, -1};
std::atomic<int> g_signal{0}; // the first signal caught; lock-free, so safe in a handler
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction g_old[kSignalCount];
bool g_installed[kSignalCount] = {};

constexpr ExitCode CodeOf(int signal)
{
    switch (signal) {
    case SIGINT:
        return ExitInterrupt;
    case SIGTERM:
        return ExitTerminate;
    case SIGHUP:
        return ExitHangup;
    default:
        return ExitOk;
    }
}

// Only async-signal-safe calls here (write, _exit): the event loop does the rest. The handler may
// run on any thread and interrupt a call that sets errno.
void OnSignal(int signal)
{
    if (g_signal.exchange(signal) != 0)
        ::_exit(CodeOf(signal));
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

CInterruptWatcher::CInterruptWatcher()
{
    if (::pipe(g_pipe) != 0)
        return;
    for (const int fd : g_pipe)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    g_signal = 0;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(g_pipe[0], &byte, 1);
        Q_EMIT interrupted();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals)
        sigaddset(&action.sa_mask, signal);
    for (int i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], nullptr, &g_old[i]);
        g_installed[i] = g_old[i].sa_handler != SIG_IGN;
        if (g_installed[i])
            sigaction(kSignals[i], &action, nullptr);
    }
}

CInterruptWatcher::~CInterruptWatcher()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < kSignalCount; ++i) {
        if (g_installed[i])
            sigaction(kSignals[i], &g_old[i], nullptr);
        g_installed[i] = false;
    }
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

ExitCode CInterruptWatcher::InterruptCode() const
{
    return CodeOf(g_signal);
}

#else

#include <atomic>
#include <mutex>
#include <windows.h>

namespace
{

std::mutex g_mutex;
CInterruptWatcher* g_watcher = nullptr;
std::atomic<bool> g_interrupted{false};

// Runs on a thread the system starts for the event: the event loop does the rest. A second
// Ctrl+C ends the process at once, as a second signal does elsewhere.
BOOL WINAPI OnConsoleEvent(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    if (g_interrupted.exchange(true))
        ::ExitProcess(ExitInterrupt);
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (CInterruptWatcher* watcher = g_watcher)
        QMetaObject::invokeMethod(
            watcher, [watcher] { Q_EMIT watcher->interrupted(); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

CInterruptWatcher::CInterruptWatcher()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_watcher = this;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

CInterruptWatcher::~CInterruptWatcher()
{
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_watcher = nullptr;
}

ExitCode CInterruptWatcher::InterruptCode() const
{
    return g_interrupted ? ExitInterrupt : ExitOk;
}

#endif
