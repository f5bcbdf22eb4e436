#include "device/serialport.h"

#include "device/networkport.h"
#include "device/portrefusal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
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

// The last error's words, for the translation: it is kept as the source text and translated
// only where the operator reads it.
const char* const kAlreadyOpenText = QT_TRANSLATE_NOOP("CSerialPort", "Порт уже открыт.");
const char* const kCannotOpenText = QT_TRANSLATE_NOOP("CSerialPort", "Не удается открыть порт.");
const char* const kCannotConfigureText =
    QT_TRANSLATE_NOOP("CSerialPort", "Не удается настроить порт.");
constexpr quint32 kAlreadyOpenCode = 0xFFFFFFFF;
constexpr qint64 kWriteMsPerByte = 20;
constexpr qint64 kNetworkSlackMs = 2000;

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

bool CSerialPort::Open(WriteControl* control)
{
    if (m_bOpen) {
        SetLastError(Refused::AlreadyOpen, kAlreadyOpenCode);
        return false;
    }
    Close();
    m_szTransferNote.clear();
    if (CNetworkPort::IsNetworkWord(m_config.portName))
        return OpenNetwork(control);
    const QString name = SystemPortName(m_config.portName);
    if (!name.isEmpty()) {
        m_lock = NativePort::Acquire(name);
        if (m_lock.busy) {
            // Held by another program: refused before QSerialPort could touch its line settings.
            SetLastError(Refused::Open, quint32(QSerialPort::PermissionError), m_lock.systemError,
                         QString::fromLocal8Bit(std::strerror(m_lock.systemError)));
            Close();
            return false;
        }
    }
    m_hPort = std::make_unique<QSerialPort>(name);
    // QSerialPort adds TIOCEXCL on Unix and opens without sharing on Windows.
    if (!m_hPort->open(NativePort::PortOpenMode())) {
        SetLastError(Refused::Open, ErrorCode(*m_hPort), m_lock.systemError,
                     m_hPort->errorString());
        Close();
        return false;
    }
    if (const quint32 code = ApplyLineSettings(); code != 0) {
        SetLastError(Refused::LineSettings, code);
        Close();
        return false;
    }
    SetModemLines();
    m_bOpen = true;
    return true;
}

// A server is never locked from here: the server decides who may connect.
bool CSerialPort::OpenNetwork(WriteControl* control)
{
    const auto address = CNetworkPort::Parse(m_config.portName);
    const auto baudRate = Entry(kBaudRates, m_config.baudIndex);
    const auto dataBits = Entry(kDataBits, m_config.dataBitsIndex);
    if (!address) {
        SetLastError(Refused::Open, quint32(QSerialPort::DeviceNotFoundError), 0,
                     CNetworkPort::MalformedText(m_config.portName));
        return false;
    }
    if (!baudRate || !dataBits || *dataBits < 5 || m_config.stopBitsIndex < 0 ||
        m_config.stopBitsIndex > 2) {
        SetLastError(Refused::LineSettings, quint32(QSerialPort::UnsupportedOperationError));
        return false;
    }
    static constexpr quint8 kStopCodes[] = {1, 3, 2}; // RFC 2217: 1, 1.5, 2 stop bits
    const CNetworkPort::Line line{quint32(*baudRate), quint8(*dataBits),
                                  kStopCodes[m_config.stopBitsIndex]};
    static const std::atomic<bool> notCancelled{false};
    const std::atomic<bool>& cancel = control ? control->cancel : notCancelled;
    const auto step = [control](PortStep now) {
        if (control)
            control->step = int(now);
    };
    QString reason;
    bool lineRefused = false;
    m_pNetwork = std::make_unique<CNetworkPort>();
    step(PortStep::Connecting);
    bool ready = m_pNetwork->Connect(*address, cancel, reason);
    if (ready && address->protocol == CNetworkPort::Protocol::Rfc2217) {
        step(PortStep::Negotiating);
        ready = m_pNetwork->Negotiate(line, reason, lineRefused);
    }
    if (!ready) {
        SetLastError(
            lineRefused ? Refused::LineSettings : Refused::Open,
            quint32(lineRefused ? QSerialPort::UnsupportedOperationError : QSerialPort::OpenError),
            0, reason);
        m_pNetwork.reset();
        return false;
    }
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
    // Parity goes last. On Windows each setter reads the whole line state back and writes it
    // again, and wine reads a pseudo-terminal's mark parity (which keeps CMSPAR and PARODD but
    // drops PARENB) as a parity value it then refuses to write: a setter after it would fail.
    QSerialPort& port = *m_hPort;
    const bool applied =
        port.setBaudRate(*baudRate) && port.setDataBits(QSerialPort::DataBits(*dataBits)) &&
        port.setStopBits(*stopBits) && port.setFlowControl(QSerialPort::NoFlowControl) &&
        port.setParity(QSerialPort::MarkParity);
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
    // Every write has drained or been discarded by now, so restoring the line settings the port
    // had (QSerialPort does on close) cannot re-time a byte.
    m_hPort.reset();
    m_pNetwork.reset();
    NativePort::Release(m_lock);
    m_bOpen = false;
}

void CSerialPort::ClearBuffers()
{
    if (m_hPort && m_hPort->isOpen())
        m_hPort->clear(QSerialPort::AllDirections);
}

CSerialPort::WriteOutcome CSerialPort::WriteDrained(const char* data, qint64 count,
                                                    WriteControl& control)
{
    if (m_pNetwork)
        return WriteToNetwork(data, count, control);
    if (!m_hPort || !m_hPort->isOpen())
        return WriteOutcome::Failed;
    const QDeadlineTimer budget(WriteBudgetMs(count));
    const NativePort::Handle handle = m_hPort->handle();
    Publish(control, handle);
    auto outcome = WriteOutcome::Drained;
    qint64 done = 0;
    while (done < count && outcome == WriteOutcome::Drained) {
        if (control.cancel)
            outcome = WriteOutcome::Cancelled;
        else if (budget.hasExpired())
            outcome = WriteOutcome::TimedOut;
        else {
            // Short slices, so a cancel or a vanished device is seen within a tenth of a second.
            const int slice = int(std::clamp<qint64>(budget.remainingTime(), 1, 50));
            const qint64 taken = NativePort::WriteSome(handle, data + done, count - done, slice);
            if (taken > 0 && done == 0)
                control.firstByteAtMs = ClockMs();
            if (taken < 0)
                outcome = WriteOutcome::Failed;
            else
                control.accepted = done += taken;
            control.queued = QueuedOutput();
        }
    }
    if (outcome == WriteOutcome::Drained && !WaitUntilLeft(budget, control))
        outcome = control.cancel ? WriteOutcome::Cancelled : WriteOutcome::TimedOut;
    if (outcome == WriteOutcome::Drained && !NativePort::Drain(handle, control.cancel))
        outcome = control.cancel ? WriteOutcome::Cancelled : WriteOutcome::Failed;
    if (outcome == WriteOutcome::Drained && !WaitForLineTime(count, control))
        outcome = WriteOutcome::Cancelled;
    if (outcome == WriteOutcome::Drained && control.cancel)
        outcome = WriteOutcome::Cancelled;
    if (outcome != WriteOutcome::Drained)
        NativePort::DiscardOutput(handle);
    Publish(control, std::nullopt);
    return outcome;
}

// There is no drain over a network: the bytes count as gone once the server's TCP has
// acknowledged all of them, and no earlier than the line could have carried them from the moment
// writing began. What the server still holds for its line nobody here can see.
CSerialPort::WriteOutcome CSerialPort::WriteToNetwork(const char* data, qint64 count,
                                                      WriteControl& control)
{
    const QDeadlineTimer budget(FrameBudgetMs(count));
    control.step = int(PortStep::Sending);
    control.firstByteAtMs = ClockMs();
    control.acknowledged = 0;
    const qint64 lineEndsAt = LineEndsAt(control, count);
    auto outcome = WriteOutcome::Drained;
    qint64 done = 0;
    control.queued = -1;
    // Until everything is written and acknowledged and the line time is over, the connection is
    // watched: a server that goes away, even one that took every byte, fails the frame within a
    // slice.
    while (outcome == WriteOutcome::Drained &&
           (done < count || control.queued != 0 || ClockMs() < lineEndsAt)) {
        const int slice = int(std::clamp<qint64>(budget.remainingTime(), 1, 50));
        qint64 unacknowledged = -1;
        if (control.cancel)
            outcome = WriteOutcome::Cancelled;
        else if (budget.hasExpired())
            outcome = WriteOutcome::TimedOut;
        else if (done < count) {
            const qint64 taken = m_pNetwork->Write(data + done, count - done, slice);
            if (taken < 0)
                outcome = WriteOutcome::Failed;
            else {
                control.accepted = done += taken;
                unacknowledged = m_pNetwork->Unacknowledged(0);
            }
        } else if ((unacknowledged = m_pNetwork->Unacknowledged(std::min(slice, 10))) < 0)
            outcome = WriteOutcome::Failed;
        if (unacknowledged >= 0) {
            control.queued = unacknowledged;
            // Telnet doubles each 0xFF on the wire, so this errs on the low side, never high.
            control.acknowledged =
                std::max<qint64>(control.acknowledged, std::max<qint64>(0, done - unacknowledged));
        }
    }
    if (outcome == WriteOutcome::Failed || outcome == WriteOutcome::TimedOut) {
        const QString where = CNetworkPort::Where(*CNetworkPort::Parse(m_config.portName));
        const QString dropped = m_pNetwork->DropReason();
        if (outcome == WriteOutcome::Failed && !dropped.isEmpty())
            m_szTransferNote = dropped;
        else if (outcome == WriteOutcome::Failed)
            m_szTransferNote =
                QCoreApplication::translate(
                    "CSerialPort", "Соединение с сервером %1 потеряно во время передачи: сервер "
                                   "принял %2 из %3 байт.")
                    .arg(where)
                    .arg(control.acknowledged.load())
                    .arg(count);
        else
            m_szTransferNote =
                QCoreApplication::translate(
                    "CSerialPort", "Сервер %1 не подтвердил прием данных за %2 с: он принял %3 "
                                   "из %4 байт.")
                    .arg(where)
                    .arg((FrameBudgetMs(count) + 999) / 1000)
                    .arg(control.acknowledged.load())
                    .arg(count);
    }
    if (outcome == WriteOutcome::Cancelled || outcome == WriteOutcome::TimedOut)
        m_pNetwork->Abandon();
    return outcome;
}

// Waits while the driver reports bytes queued, so the drain that follows is short and the wait
// stays within the budget and open to a cancel; the drain itself may block.
bool CSerialPort::WaitUntilLeft(const QDeadlineTimer& budget, WriteControl& control)
{
    while ((control.queued = QueuedOutput()) > 0) {
        if (control.cancel || budget.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

// Not before the line could have carried the block: a driver that cannot see its bridge's own
// buffer says drained while the bytes are still on their way.
bool CSerialPort::WaitForLineTime(qint64 count, const WriteControl& control)
{
    const qint64 until = LineEndsAt(control, count);
    for (qint64 now = ClockMs(); now < until; now = ClockMs()) {
        if (control.cancel)
            return false;
        QThread::msleep(ulong(std::min<qint64>(until - now, 10)));
    }
    return true;
}

// The block's time on the line and two characters more, from its first byte; one millisecond
// more, since that stamp is cut to the millisecond.
qint64 CSerialPort::LineEndsAt(const WriteControl& control, qint64 count) const
{
    return control.firstByteAtMs + LineTimeMs(count + 2) + 1;
}

void CSerialPort::Publish(WriteControl& control, std::optional<NativePort::Handle> handle)
{
    const std::lock_guard<std::mutex> guard(control.handleMutex);
    control.handle = handle;
}

void CSerialPort::Cancel(WriteControl& control)
{
    control.cancel = true;
    const std::lock_guard<std::mutex> guard(control.handleMutex);
    if (control.handle)
        NativePort::DiscardOutput(*control.handle); // also wakes a drain that is waiting
}

qint64 CSerialPort::QueuedOutput() const
{
    if (!m_hPort || !m_hPort->isOpen())
        return -1;
    return NativePort::QueuedOutput(m_hPort->handle());
}

double CSerialPort::CharactersPerSecond() const
{
    const auto baudRate = Entry(kBaudRates, m_config.baudIndex).value_or(1200);
    const auto dataBits = Entry(kDataBits, m_config.dataBitsIndex).value_or(8);
    const double stopBits = m_config.stopBitsIndex == 0   ? 1.0
                            : m_config.stopBitsIndex == 1 ? 1.5
                                                          : 2.0;
    return baudRate / (1 + dataBits + 1 + stopBits); // start, data, parity (always sent), stop
}

qint64 CSerialPort::FrameBudgetMs(qint64 count) const
{
    // Over a network, also its round trips and a receiver that delays its acknowledgement (40 ms
    // on Linux, up to 500 ms elsewhere) when it has nothing to answer.
    const bool network = CNetworkPort::IsNetworkWord(m_config.portName);
    return WriteBudgetMs(count) + (network ? kNetworkSlackMs : 0);
}

qint64 CSerialPort::OpenBudgetMs() const
{
    if (!CNetworkPort::IsNetworkWord(m_config.portName))
        return 0;
    return CNetworkPort::kConnectMs + CNetworkPort::kRequests * CNetworkPort::kReplyMs +
           CNetworkPort::kCloseMs;
}

QString CSerialPort::OverdueText(PortStep step) const
{
    const auto address = CNetworkPort::Parse(m_config.portName);
    if (!address)
        return QString();
    const QString where = CNetworkPort::Where(*address);
    switch (step) {
    case PortStep::Opening:
    case PortStep::Connecting:
        return QCoreApplication::translate(
                   "CSerialPort", "Время передачи истекло, пока шло соединение с сервером %1.")
            .arg(where);
    case PortStep::Negotiating:
        return QCoreApplication::translate(
                   "CSerialPort",
                   "Время передачи истекло, пока сервер %1 подтверждал настройку линии.")
            .arg(where);
    case PortStep::Sending:
        return QCoreApplication::translate(
                   "CSerialPort", "Время передачи истекло, пока сервер %1 принимал данные.")
            .arg(where);
    case PortStep::Closing:
        break;
    }
    return QCoreApplication::translate(
               "CSerialPort", "Время передачи истекло, пока закрывалось соединение с сервером %1.")
        .arg(where);
}

qint64 CSerialPort::LineTimeMs(qint64 count) const
{
    return qint64(std::ceil(double(count) * 1000.0 / CharactersPerSecond()));
}

qint64 CSerialPort::ClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

qint64 CSerialPort::WriteBudgetMs(qint64 count) const
{
    const auto lineMsPerByte = qint64(std::ceil(2000.0 / CharactersPerSecond()));
    const qint64 msPerByte = std::max(kWriteMsPerByte, lineMsPerByte);
    const qint64 maxCount = std::numeric_limits<qint64>::max() / msPerByte;
    return std::min(count, maxCount) * msPerByte;
}

void CSerialPort::ResetConfig()
{
    m_config = PortConfig{};
    m_defaultConfig = PortConfig{};
    Close();
}

QList<qint32> CSerialPort::BaudRates()
{
    return QList<qint32>(kBaudRates.begin(), kBaudRates.end());
}

QList<PortListEntry> CSerialPort::AvailablePorts()
{
    QList<PortListEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const bool ids = info.hasVendorIdentifier() && info.hasProductIdentifier();
        ports.append(
            {info.portName(), PortListText(info.portName(), info.description(), info.manufacturer(),
                                           ids ? info.vendorIdentifier() : -1,
                                           ids ? info.productIdentifier() : -1)});
    }
    return ports;
}

QString CSerialPort::PortListText(const QString& name, const QString& description,
                                  const QString& manufacturer, int vendorId, int productId)
{
    QStringList parts;
    if (!description.trimmed().isEmpty())
        parts << description.trimmed();
    if (!manufacturer.trimmed().isEmpty())
        parts << QStringLiteral("(%1)").arg(manufacturer.trimmed());
    if (vendorId >= 0 && productId >= 0)
        parts << QStringLiteral("%1:%2")
                     .arg(vendorId, 4, 16, QLatin1Char('0'))
                     .arg(productId, 4, 16, QLatin1Char('0'));
    return parts.isEmpty() ? name : name + QStringLiteral(" — ") + parts.join(u' ');
}

bool CSerialPort::IsStorablePortName(const QString& name)
{
    if (name.isEmpty() || name.size() > kMaxPortNameLength)
        return false;
    if (CNetworkPort::IsNetworkWord(name))
        return CNetworkPort::Parse(name).has_value();
    return std::none_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); });
}

QString CSerialPort::Describe(const PortConfig& config)
{
    const auto baudRate = Entry(kBaudRates, config.baudIndex);
    const QString speed = baudRate ? QString::number(*baudRate) : QStringLiteral("?");
    return config.portName + QStringLiteral(" · ") + speed;
}

QString CSerialPort::SystemPortName(const QString& portName)
{
#ifdef Q_OS_LINUX
    // The first four PC serial ports; every other name is already a device name.
    for (int i = 1; i <= 4; ++i) {
        if (portName.compare(QStringLiteral("COM%1").arg(i), Qt::CaseInsensitive) == 0)
            return QStringLiteral("/dev/ttyS%1").arg(i - 1);
    }
#elif defined(Q_OS_WIN)
    // QSerialPort adds the \\.\ that ports above COM9 need only to a name in capitals.
    if (portName.startsWith(QStringLiteral("com"), Qt::CaseInsensitive))
        return portName.toUpper();
#endif
    return portName;
}

void CSerialPort::SetLastError(Refused why, quint32 code, int systemError,
                               const QString& systemText)
{
    m_szLastError = QString::fromUtf8(why == Refused::AlreadyOpen ? kAlreadyOpenText
                                      : why == Refused::Open      ? kCannotOpenText
                                                                  : kCannotConfigureText);
    m_dwLastError = code;
    m_nSystemError = systemError;
    m_szSystemError = systemText;
    // Why, as a value: the advice never depends on how the words read.
    m_refusal.kind = why == Refused::LineSettings
                         ? OpenRefusal::Kind::LineSettings
                         : CPortRefusal::KindOf(m_config.portName, systemError, code);
    m_refusal.portWord = m_config.portName;
    m_refusal.lastError = m_szLastError;
    m_refusal.serialError = code;
    m_refusal.systemError = systemError;
    m_refusal.systemText = systemText;
}
