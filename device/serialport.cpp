#include "device/serialport.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace
{

constexpr std::array<qint32, 11> kBaudRates = {110,  300,   600,   1200,  2400, 4800,
                                               9600, 14400, 19200, 38400, 56000};
// QSerialPort has no four-bit characters: that entry is refused when the port is configured.
constexpr std::array<int, 5> kDataBits = {4, 5, 6, 7, 8};
constexpr std::array<QSerialPort::StopBits, 3> kStopBits = {
    QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};

constexpr quint32 kAlreadyOpenCode = 0xFFFFFFFF;
constexpr qint64 kWriteMsPerByte = 20;

template <typename T, std::size_t N> std::optional<T> Entry(const std::array<T, N>& list, int index)
{
    if (index < 0 || std::size_t(index) >= N)
        return std::nullopt;
    return list[std::size_t(index)];
}

quint32 ErrorCode(const QSerialPort& port)
{
    // A refusal Qt reports without an error code still has to read as a failure.
    return port.error() == QSerialPort::NoError ? quint32(QSerialPort::UnknownError)
                                                : quint32(port.error());
}

} // namespace

CSerialPort::CSerialPort()
{
    ResetConfig();
}

CSerialPort::~CSerialPort() = default;

bool CSerialPort::Open()
{
    if (m_bOpen) {
        SetLastError(QStringLiteral("Порт уже открыт."), kAlreadyOpenCode);
        return false;
    }
    Close();
    m_hPort = std::make_unique<QSerialPort>(SystemPortName(m_config.portName));
    // QSerialPort opens exclusively (a lock file and TIOCEXCL on Unix, no sharing on Windows).
    if (!m_hPort->open(QIODevice::ReadWrite)) {
        SetLastError(QStringLiteral("Не удается открыть порт."), ErrorCode(*m_hPort));
        Close();
        return false;
    }
    if (const quint32 code = ApplyLineSettings(); code != 0) {
        SetLastError(QStringLiteral("Не удается настроить порт."), code);
        Close();
        return false;
    }
    SetModemLines();
    m_bOpen = true;
    return true;
}

// Returns 0 on success, else the code to report: QSerialPort's error, or UnsupportedOperationError
// for a list position that has no line value here.
quint32 CSerialPort::ApplyLineSettings()
{
    const auto baudRate = Entry(kBaudRates, m_config.baudIndex);
    const auto dataBits = Entry(kDataBits, m_config.dataBitsIndex);
    const auto stopBits = Entry(kStopBits, m_config.stopBitsIndex);
    if (!baudRate || !dataBits || !stopBits || *dataBits < QSerialPort::Data5)
        return quint32(QSerialPort::UnsupportedOperationError);
#ifndef Q_OS_WIN
    // termios knows one or two stop bits only; QSerialPort would quietly send one.
    if (*stopBits == QSerialPort::OneAndHalfStop)
        return quint32(QSerialPort::UnsupportedOperationError);
#endif

    // The parity bit is always sent as 1, whatever parityIndex says. parityIndex would only switch
    // the checking of received characters, for which QSerialPort has no switch (on Unix it leaves
    // INPCK off). The program never reads from the display, so nothing more is done.
    QSerialPort& port = *m_hPort;
    const bool applied = port.setBaudRate(*baudRate) &&
                         port.setDataBits(QSerialPort::DataBits(*dataBits)) &&
                         port.setParity(QSerialPort::MarkParity) && port.setStopBits(*stopBits) &&
                         port.setFlowControl(QSerialPort::NoFlowControl);
    return applied ? 0 : ErrorCode(port);
}

void CSerialPort::SetModemLines()
{
    // Pseudo-terminals and some USB adapters have no modem lines and refuse these calls; the
    // display listens regardless, so a refusal is not a failure.
    m_hPort->setDataTerminalReady(false);
    m_hPort->setRequestToSend(true);
    m_hPort->clearError();
}

void CSerialPort::Close()
{
    m_hPort.reset(); // QSerialPort closes itself, restoring the line settings it found
    m_bOpen = false;
}

qint64 CSerialPort::Write(qint64 count, const unsigned char* data)
{
    if (!m_hPort || !m_hPort->isOpen() || !data || count <= 0)
        return 0;
    QSerialPort& port = *m_hPort;
    port.clear(QSerialPort::AllDirections);
    const qint64 accepted = port.write(reinterpret_cast<const char*>(data), count);
    if (accepted <= 0)
        return 0;
    WaitUntilWritten(accepted);
    return std::max<qint64>(0, accepted - port.bytesToWrite());
}

// waitForBytesWritten returns after each block that leaves, so keep waiting until nothing is
// pending or the budget for the whole write is spent.
void CSerialPort::WaitUntilWritten(qint64 count)
{
    constexpr qint64 maxCount = std::numeric_limits<qint64>::max() / kWriteMsPerByte;
    const QDeadlineTimer budget(std::min(count, maxCount) * kWriteMsPerByte);
    QSerialPort& port = *m_hPort;
    while (port.bytesToWrite() > 0 && !budget.hasExpired()) {
        const qint64 remaining = budget.remainingTime();
        const int waitMs = int(std::clamp<qint64>(remaining, 1, std::numeric_limits<int>::max()));
        port.clearError();
        if (!port.waitForBytesWritten(waitMs) && port.error() != QSerialPort::TimeoutError)
            break;
    }
}

void CSerialPort::ResetConfig()
{
    m_config = PortConfig{};
    m_defaultConfig = PortConfig{};
    Close();
}

QString CSerialPort::SystemPortName(const QString& portName)
{
#ifdef Q_OS_LINUX
    // The first four PC serial ports; every other name is already a device name.
    for (int i = 1; i <= 4; ++i) {
        if (portName.compare(QStringLiteral("COM%1").arg(i), Qt::CaseInsensitive) == 0)
            return QStringLiteral("/dev/ttyS%1").arg(i - 1);
    }
#endif
    return portName;
}

void CSerialPort::SetLastError(const QString& text, quint32 code)
{
    m_szLastError = text;
    m_dwLastError = code;
}
