#pragma once

#include "device/nativeport.h"
#include "device/portconfig.h"

#include <QList>
#include <QString>
#include <atomic>
#include <memory>

class QDeadlineTimer;
class QSerialPort;

// A port the system reports: the name to store and the line to show for it.
struct PortListEntry {
    QString name; // "ttyUSB0", "COM5"
    QString text; // "ttyUSB0 — FT232R USB UART (FTDI) 0403:6001"
};

// Shared between the thread that writes a frame and the one that watches it.
struct WriteControl {
    std::atomic<bool> cancel{false};
    std::atomic<qint64> accepted{0}; // bytes the system has taken so far
};

// The one serial port through which the display is reached. Senders call Open, then Write one
// or more frames, then Close in every case; the port is never held between commands.
class CSerialPort
{
public:
    enum class WriteOutcome { Drained, Failed, TimedOut, Cancelled };

    CSerialPort();
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    bool Open();
    void Close();
    // Purges both directions, then writes the block and waits until it has left the line;
    // returns how many bytes left (all of them only once drained).
    qint64 Write(qint64 count, const unsigned char* data);

    // The parts of Write for a sender that keeps its own thread free. ClearBuffers on the owning
    // thread; WriteDrained may run on a worker thread while the owner only calls QueuedOutput and
    // Cancel. Whatever does not drain within the budget is discarded, never left for Close.
    void ClearBuffers();
    WriteOutcome WriteDrained(const char* data, qint64 count, WriteControl& control);
    void Cancel(WriteControl& control);
    qint64 QueuedOutput() const;
    // Most milliseconds a drained write of `count` bytes may take: 20 per byte, or twice the
    // time the line needs at the configured speed where that is longer (110 and 300 baud).
    qint64 WriteBudgetMs(qint64 count) const;
    // Characters per second the configured line carries (start, data, parity and stop bits).
    double CharactersPerSecond() const;

    PortConfig GetConfig() const { return m_config; }
    void SetConfig(const PortConfig& config) { m_config = config; }
    PortConfig GetDefaultConfig() const { return m_defaultConfig; }
    void ResetConfig();

    bool IsOpen() const { return m_bOpen; }

    // The line values behind baudIndex, in list order.
    static QList<qint32> BaudRates();

    // The serial ports the system reports, by name.
    static QList<PortListEntry> AvailablePorts();
    // The name, then what is known of the device; ids are given only when both are (USB).
    static QString PortListText(const QString& name, const QString& description,
                                const QString& manufacturer, int vendorId = -1, int productId = -1);
    // The longest port name the settings file keeps.
    static constexpr int kMaxPortNameLength = 255;
    // Whether a name can be stored and read back: not empty, no blanks, not too long.
    static bool IsStorablePortName(const QString& name);

    // The port and speed in use, for a status line: "ttyUSB0 · 1200".
    static QString Describe(const PortConfig& config);

    // The device name QSerialPort opens for a configured port name ("COM1" → /dev/ttyS0 on Linux).
    static QString SystemPortName(const QString& portName);

    QString m_szLastError;
    quint32 m_dwLastError = 0; // QSerialPort's error kind (all ones: already open)
    // Why the last Open failed as the system put it: errno or the Windows error where known
    // (EBUSY / EWOULDBLOCK for a port another program holds), and QSerialPort's own text.
    int m_nSystemError = 0;
    QString m_szSystemError;

private:
    quint32 ApplyLineSettings();
    void SetModemLines();
    bool WaitUntilLeft(const QDeadlineTimer& budget, const WriteControl& control);
    void SetLastError(const QString& text, quint32 code);

    std::unique_ptr<QSerialPort> m_hPort;
    NativePort::Lock m_lock;
    bool m_bOpen = false;
    PortConfig m_config;
    PortConfig m_defaultConfig;
};
