#include "device/nativeport.h"

#include <algorithm>
#include <iterator>

#ifdef Q_OS_WIN
// Before windows.h, which would bring the older socket API.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
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

namespace
{

// The socket address of `address`, IPv4 or IPv6; its length, 0 for neither.
int SocketAddress(const QHostAddress& address, quint16 port, sockaddr_storage& storage)
{
    storage = sockaddr_storage{};
    bool ipv4 = false;
    const quint32 v4 = address.toIPv4Address(&ipv4);
    if (ipv4) {
        auto& in = reinterpret_cast<sockaddr_in&>(storage);
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        in.sin_addr.s_addr = htonl(v4);
        return int(sizeof in);
    }
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return 0;
    auto& in6 = reinterpret_cast<sockaddr_in6&>(storage);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(port);
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    std::copy(std::begin(v6.c), std::end(v6.c), reinterpret_cast<quint8*>(&in6.sin6_addr));
    in6.sin6_scope_id = address.scopeId().toUInt();
    return int(sizeof in6);
}

int LastSocketError()
{
#ifdef Q_OS_WIN
    return WSAGetLastError();
#else
    return errno;
#endif
}

} // namespace

qintptr StartConnect(const QHostAddress& address, quint16 port, int& systemError)
{
#ifdef Q_OS_WIN
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    Q_UNUSED(started);
#endif
    sockaddr_storage storage;
    const int length = SocketAddress(address, port, storage);
    if (length == 0) {
#ifdef Q_OS_WIN
        systemError = WSAEAFNOSUPPORT;
#else
        systemError = EAFNOSUPPORT;
#endif
        return -1;
    }
#ifdef Q_OS_WIN
    const SOCKET socket = ::socket(storage.ss_family, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    if (socket == INVALID_SOCKET || ::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        systemError = LastSocketError();
        if (socket != INVALID_SOCKET)
            ::closesocket(socket);
        return -1;
    }
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&storage), length) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        systemError = LastSocketError();
        ::closesocket(socket);
        return -1;
    }
    return qintptr(socket);
#else
    const int socket = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        systemError = errno;
        return -1;
    }
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&storage), socklen_t(length)) != 0 &&
        errno != EINPROGRESS) {
        systemError = errno;
        ::close(socket);
        return -1;
    }
    return socket;
#endif
}

int WaitConnected(qintptr socket, int ms, int& systemError)
{
#ifdef Q_OS_WIN
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(SOCKET(socket), &writable);
    FD_SET(SOCKET(socket), &failed);
    timeval timeout{ms / 1000, (ms % 1000) * 1000};
    const int ready = ::select(0, nullptr, &writable, &failed, &timeout);
#else
    pollfd watched{int(socket), POLLOUT, 0};
    const int ready = ::poll(&watched, 1, ms);
#endif
    if (ready == 0)
        return 0;
    if (ready < 0) {
        systemError = LastSocketError();
#ifndef Q_OS_WIN
        if (systemError == EINTR)
            return 0;
#endif
        return -1;
    }
    int error = 0;
#ifdef Q_OS_WIN
    int length = int(sizeof error);
    ::getsockopt(SOCKET(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
#else
    socklen_t length = sizeof error;
    ::getsockopt(int(socket), SOL_SOCKET, SO_ERROR, &error, &length);
#endif
    systemError = error;
    return error == 0 ? 1 : -1;
}

void CloseSocket(qintptr socket)
{
#ifdef Q_OS_WIN
    ::closesocket(SOCKET(socket));
#else
    ::close(int(socket));
#endif
}

bool IsRefused(int systemError)
{
#ifdef Q_OS_WIN
    return systemError == WSAECONNREFUSED;
#else
    return systemError == ECONNREFUSED;
#endif
}

QString SystemErrorText(int systemError)
{
#ifdef Q_OS_WIN
    return QStringLiteral("Windows Sockets %1").arg(systemError);
#else
    return QString::fromLocal8Bit(std::strerror(systemError));
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
