#pragma once

#include <QHostAddress>
#include <QIODevice>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>

#ifdef Q_OS_WIN
typedef void* HANDLE;
#endif

// The serial-port operations QSerialPort does not offer, on the port's native handle. Every
// system-specific call of the device link lives in nativeport.cpp and nowhere else.
namespace NativePort
{

// What QSerialPort::handle() gives: a descriptor on POSIX, a HANDLE on Windows.
#ifdef Q_OS_WIN
using Handle = HANDLE;
#else
using Handle = int;
#endif

// How QSerialPort opens the port. Nothing is read from the display, so write-only where the system
// allows it: on Unix a read notifier would fire on the thread that owns the port while another
// thread writes. A Windows communications handle needs read access as well: without it wine's
// serial layer refuses every line-settings and queue call (GetCommState, ClearCommError,
// PurgeComm) with ERROR_ACCESS_DENIED, which reads as a port held by another program.
QIODevice::OpenMode PortOpenMode();

// A second descriptor on the device carrying an advisory lock, so a second program (root or not)
// or a second copy of this one is refused before it can touch the line settings.
struct Lock {
    qintptr handle = -1;
    int systemError = 0; // errno (or the Windows error) when no lock was taken
    bool busy = false;   // another holder has it: flock or TIOCEXCL refused
};
Lock Acquire(const QString& deviceName);
void Release(Lock& lock);

// Hands the system up to `count` bytes, waiting at most `ms` for room: the bytes taken, 0 when
// none were taken in time, -1 when the device failed (gone, hung up).
qint64 WriteSome(Handle handle, const char* data, qint64 count, int ms);
// Blocks until the last byte handed over has left the line (tcdrain / FlushFileBuffers); a
// signal that interrupts it ends the wait once `cancel` is set.
bool Drain(Handle handle, const std::atomic<bool>& cancel);
// Discards what the driver still holds for the line.
void DiscardOutput(Handle handle);
// Bytes the driver still holds for the line, or -1 when the system cannot tell.
qint64 QueuedOutput(Handle handle);

// Bytes a TCP socket has sent that its peer has not acknowledged yet, with those not yet sent;
// -1 where the system cannot tell.
qint64 SocketUnacknowledged(qintptr socket);
// Makes closing the socket discard what is still unsent and reset the connection.
void ResetOnClose(qintptr socket);

// A TCP connection made without blocking, so a cancel is seen while it is on its way: the socket,
// or -1 with the error in `systemError`.
qintptr StartConnect(const QHostAddress& address, quint16 port, int& systemError);
// Waits at most `ms` for it: 1 connected, 0 still on its way, -1 refused or failed (`systemError`).
int WaitConnected(qintptr socket, int ms, int& systemError);
void CloseSocket(qintptr socket);
// Whether the system error of a connection says that nothing listens at the far end.
bool IsRefused(int systemError);
QString SystemErrorText(int systemError);

// Replaces Drain (tests that watch the order of operations); an empty function restores it.
void SetDrainForTest(std::function<bool(Handle)> drain);

} // namespace NativePort
