#include "device/nativeport.h"

#include <algorithm>

#ifdef Q_OS_WIN
// Before windows.h, which would bring the older socket API.
#include <winsock2.h>

#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#endif

namespace NativePort
{

namespace
{

std::function<bool(Handle)>& DrainHook()
{
    static std::function<bool(Handle)> hook;
    return hook;
}

bool SystemDrain(Handle handle, const std::atomic<bool>& cancel);

} // namespace

void SetDrainForTest(std::function<bool(Handle)> drain)
{
    DrainHook() = std::move(drain);
}

bool Drain(Handle handle, const std::atomic<bool>& cancel)
{
    if (const auto& hook = DrainHook())
        return hook(handle);
    return SystemDrain(handle, cancel);
}

#ifdef Q_OS_LINUX
qint64 SocketUnacknowledged(qintptr socket)
{
    int queued = 0;
    return ::ioctl(int(socket), SIOCOUTQ, &queued) == 0 ? qint64(queued) : -1;
}
#else
qint64 SocketUnacknowledged(qintptr)
{
    return -1;
}
#endif

void ResetOnClose(qintptr socket)
{
    // A zero linger makes the close a reset: the peer drops what it has not read yet.
    linger immediately{};
    immediately.l_onoff = 1;
    immediately.l_linger = 0;
#ifdef Q_OS_WIN
    ::setsockopt(SOCKET(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&immediately),
                 int(sizeof immediately));
#else
    ::setsockopt(int(socket), SOL_SOCKET, SO_LINGER, &immediately, sizeof immediately);
#endif
}

#ifdef Q_OS_WIN

QIODevice::OpenMode PortOpenMode()
{
    return QIODevice::ReadWrite;
}

// Windows opens a port with no sharing, which already keeps every other program out.
Lock Acquire(const QString&)
{
    return Lock{};
}

void Release(Lock& lock)
{
    lock = Lock{};
}

qint64 WriteSome(Handle handle, const char* data, qint64 count, int ms)
{
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent)
        return -1;
    DWORD written = 0;
    const DWORD chunk = DWORD(std::min<qint64>(count, 4096));
    BOOL ok = WriteFile(handle, data, chunk, &written, &overlapped);
    if (!ok && GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(overlapped.hEvent, DWORD(ms)) != WAIT_OBJECT_0)
            CancelIoEx(handle, &overlapped);
        ok = GetOverlappedResult(handle, &overlapped, &written, TRUE);
        if (!ok && GetLastError() == ERROR_OPERATION_ABORTED)
            ok = TRUE;
    }
    CloseHandle(overlapped.hEvent);
    return ok ? qint64(written) : -1;
}

void DiscardOutput(Handle handle)
{
    PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
}

qint64 QueuedOutput(Handle handle)
{
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(handle, &errors, &status) ? qint64(status.cbOutQue) : -1;
}

namespace
{
bool SystemDrain(Handle handle, const std::atomic<bool>&)
{
    return FlushFileBuffers(handle) != 0;
}
} // namespace

#else

QIODevice::OpenMode PortOpenMode()
{
    return QIODevice::WriteOnly;
}

Lock Acquire(const QString& deviceName)
{
    Lock lock;
    // QSerialPort takes "ttyUSB0" and "pts/3" as names under /dev.
    const QString fullName =
        deviceName.startsWith(u'/') ? deviceName : QStringLiteral("/dev/") + deviceName;
    const QByteArray path = fullName.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lock.systemError = errno;
        lock.busy = errno == EBUSY;
        return lock;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lock.systemError = errno;
        lock.busy = errno == EWOULDBLOCK;
        ::close(fd);
        return lock;
    }
    lock.handle = fd;
    return lock;
}

void Release(Lock& lock)
{
    if (lock.handle >= 0) {
        ::flock(int(lock.handle), LOCK_UN);
        ::close(int(lock.handle));
    }
    lock = Lock{};
}

qint64 WriteSome(Handle handle, const char* data, qint64 count, int ms)
{
    pollfd watched{handle, POLLOUT, 0};
    const int ready = ::poll(&watched, 1, ms);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    if (watched.revents & (POLLERR | POLLHUP | POLLNVAL))
        return -1;
    const ssize_t written = ::write(handle, data, size_t(count));
    if (written > 0)
        return written;
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        return -1;
    // Reported writable yet nothing taken (a stopped line): do not spin.
    ::usleep(useconds_t(std::min(ms, 10)) * 1000);
    return 0;
}

void DiscardOutput(Handle handle)
{
    ::tcflush(handle, TCOFLUSH);
}

qint64 QueuedOutput(Handle handle)
{
    int queued = 0;
    return ::ioctl(handle, TIOCOUTQ, &queued) == 0 ? qint64(queued) : -1;
}

namespace
{
bool SystemDrain(Handle handle, const std::atomic<bool>& cancel)
{
    while (::tcdrain(handle) != 0) {
        if (errno != EINTR || cancel)
            return false;
    }
    return true;
}
} // namespace

#endif

} // namespace NativePort
