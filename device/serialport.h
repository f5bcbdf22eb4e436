#pragma once

#include "device/nativeport.h"
#include "device/transferoutcome.h"
#include "settings/portconfig.h"

#include <QList>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class CNetworkPort;
class QDeadlineTimer;
class QSerialPort;

// A port the system reports: the name to store and the line to show for it.
struct PortListEntry {
    QString name; // "ttyUSB0", "COM5"
    QString text; // "ttyUSB0 — FT232R USB UART (FTDI) 0403:6001"
};

// Where a job stands, so that one overtaken by its deadline can say what it was waiting for.
enum class PortStep : int { Opening, Connecting, Negotiating, Sending, Closing };

// Shared between the thread that writes a frame and the one that watches it.
struct WriteControl {
    std::atomic<bool> cancel{false};
    std::atomic<int> step{int(PortStep::Opening)};
    std::atomic<qint64> accepted{0};       // bytes the system has taken so far
    std::atomic<qint64> queued{-1};        // of those, what the driver still held when last asked
    std::atomic<qint64> firstByteAtMs{-1}; // CSerialPort::ClockMs() when the first byte was taken
    // Over a network: bytes of the frame the server's TCP has acknowledged, as last measured.
    std::atomic<qint64> acknowledged{0};

    // The handle a write is using, so a cancel from another thread can discard its output; it is
    // withdrawn before the port closes.
    std::mutex handleMutex;
    std::optional<NativePort::Handle> handle;
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

    // Open, ClearBuffers, WriteDrained and Close run on one thread (the job's); another thread
    // only reads the control and calls Cancel.
    // `control`, where given, ends a slow open early (a network server that does not answer)
    // and learns which step the open is at.
    bool Open(WriteControl* control = nullptr);
    void Close();
    void ClearBuffers();
    // Writes the block and returns Drained only once it has left the line: the system reports it
    // drained and the line has had the time to carry it at the configured speed, counted from
    // the first byte, plus two characters (a USB bridge may still hold bytes when its driver says
    // drained). Whatever does not drain within the budget is discarded, never left for Close.
    WriteOutcome WriteDrained(const char* data, qint64 count, WriteControl& control);
    // From any thread: the write stops within a slice and reports Cancelled.
    static void Cancel(WriteControl& control);
    qint64 QueuedOutput() const;
    // Milliseconds the configured line needs to carry `count` characters.
    qint64 LineTimeMs(qint64 count) const;
    // A steady clock in milliseconds, shared by the writer and whoever shows its progress.
    static qint64 ClockMs();
    // Most milliseconds a drained write of `count` bytes may take: 20 per byte, or twice the
    // time the line needs at the configured speed where that is longer (110 and 300 baud).
    qint64 WriteBudgetMs(qint64 count) const;
    // The same for the port behind the configured word (a network adds its own slack).
    qint64 FrameBudgetMs(qint64 count) const;
    // Most milliseconds opening and closing the port may take beyond a job's margin: a network
    // server's lookup, connection and line settings each wait for their own time limit.
    qint64 OpenBudgetMs() const;
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
    static constexpr int kMaxPortNameLength = PortConfig::kMaxNameLength;
    // Whether a name can be stored and read back: not empty, no blanks, not too long; a network
    // word ("tcp://HOST:PORT", "rfc2217://HOST:PORT") also well formed.
    static bool IsStorablePortName(const QString& name);

    // The port and speed in use, for a status line: "ttyUSB0 · 1200".
    static QString Describe(const PortConfig& config);

    // The device name QSerialPort opens for a configured port name ("COM1" → /dev/ttyS0 on Linux).
    static QString SystemPortName(const QString& portName);

    QString m_szLastError;     // in the source language (Refusal().LastErrorText() translates it)
    quint32 m_dwLastError = 0; // QSerialPort's error kind (all ones: already open)
    // Why the last Open failed as the system put it: errno or the Windows error where known
    // (EBUSY / EWOULDBLOCK for a port another program holds), and QSerialPort's own text.
    int m_nSystemError = 0;
    QString m_szSystemError;
    // The same as a value, with the kind of refusal the operator's advice follows.
    const OpenRefusal& Refusal() const { return m_refusal; }
    // What the transport can tell of the last write beyond its outcome, in Russian: over a
    // network, why the connection ended and what the server had acknowledged by then.
    QString m_szTransferNote;
    // The same for a job that its deadline overtook at `step`: which step waited, on what.
    QString OverdueText(PortStep step) const;

private:
    bool OpenNetwork(WriteControl* control);
    WriteOutcome WriteToNetwork(const char* data, qint64 count, WriteControl& control);
    quint32 ApplyLineSettings();
    void SetModemLines();
    bool WaitUntilLeft(const QDeadlineTimer& budget, WriteControl& control);
    bool WaitForLineTime(qint64 count, const WriteControl& control);
    qint64 LineEndsAt(const WriteControl& control, qint64 count) const;
    void Publish(WriteControl& control, std::optional<NativePort::Handle> handle);
    enum class Refused { AlreadyOpen, Open, LineSettings };
    void SetLastError(Refused why, quint32 code, int systemError = 0,
                      const QString& systemText = QString());

    std::unique_ptr<QSerialPort> m_hPort;
    std::unique_ptr<CNetworkPort> m_pNetwork; // instead of m_hPort for a network word
    NativePort::Lock m_lock;
    bool m_bOpen = false;
    PortConfig m_config;
    PortConfig m_defaultConfig;
    OpenRefusal m_refusal;
};
