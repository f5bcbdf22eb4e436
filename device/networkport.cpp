#include "device/networkport.h"

#include "device/nativeport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QThread>
#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>

namespace
{

const QString kRawScheme = QStringLiteral("tcp://");
const QString kRfc2217Scheme = QStringLiteral("rfc2217://");
constexpr qint64 kChunk = 1024;
constexpr qint64 kMostBuffered = 16 * 1024;
constexpr qint64 kReadBuffer = 64 * 1024;
constexpr int kPurgeReplyMs = 500;
constexpr int kSliceMs = 20;

// The server ports this program is connected to: one transfer at a time to each, as with a local
// port.
std::mutex& HeldMutex()
{
    static std::mutex mutex;
    return mutex;
}

QSet<QString>& Held()
{
    static QSet<QString> held;
    return held;
}

// A lookup the job can stop waiting for: the system's resolver cannot be interrupted, so it runs
// on a thread of its own that is left to end by itself.
struct Lookup {
    std::mutex mutex;
    bool done = false;
    QHostInfo info;
};

} // namespace

CNetworkPort::CNetworkPort() = default;

CNetworkPort::~CNetworkPort()
{
    Close();
}

bool CNetworkPort::IsNetworkWord(const QString& word)
{
    return word.startsWith(kRawScheme, Qt::CaseInsensitive) ||
           word.startsWith(kRfc2217Scheme, Qt::CaseInsensitive);
}

std::optional<CNetworkPort::Address> CNetworkPort::Parse(const QString& word)
{
    static const QRegularExpression pattern(
        QStringLiteral(
            R"(^(tcp|rfc2217)://(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+)):([0-9]{1,5})$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(word);
    if (!match.hasMatch())
        return std::nullopt;
    const int port = match.captured(4).toInt();
    const QString ipv6 = match.captured(2);
    if (port < 1 || port > 65535 ||
        (!ipv6.isEmpty() && QHostAddress(ipv6).protocol() != QAbstractSocket::IPv6Protocol))
        return std::nullopt;
    Address address;
    address.protocol = match.captured(1).compare(QStringLiteral("tcp"), Qt::CaseInsensitive) == 0
                           ? Protocol::Raw
                           : Protocol::Rfc2217;
    address.host = ipv6.isEmpty() ? match.captured(3) : ipv6;
    address.port = quint16(port);
    return address;
}

QString CNetworkPort::MalformedText(const QString& word)
{
    return QCoreApplication::translate("CNetworkPort",
                                       "«%1» — не адрес сетевого порта. Адрес записывается как "
                                       "tcp://СЕРВЕР:ПОРТ или rfc2217://СЕРВЕР:ПОРТ.")
        .arg(word);
}

QString CNetworkPort::Where(const Address& address)
{
    const bool ipv6 = address.host.contains(u':');
    return (ipv6 ? u'[' + address.host + u']' : address.host) + u':' +
           QString::number(address.port);
}

QStringList CNetworkPort::Endpoints(const QList<QHostAddress>& addresses, quint16 port)
{
    QStringList endpoints;
    for (QHostAddress address : addresses) {
        bool ipv4 = false;
        const quint32 v4 = address.toIPv4Address(&ipv4);
        if (ipv4)
            address = QHostAddress(v4); // ::ffff:10.0.0.5 is 10.0.0.5
        const QString endpoint = address.protocol() == QAbstractSocket::IPv6Protocol
                                     ? QStringLiteral("[%1]:%2").arg(address.toString()).arg(port)
                                     : QStringLiteral("%1:%2").arg(address.toString()).arg(port);
        if (!address.isNull() && !endpoints.contains(endpoint))
            endpoints.append(endpoint);
    }
    return endpoints;
}

QStringList CNetworkPort::Endpoints(const Address& address)
{
    const QHostAddress literal(address.host);
    return literal.isNull() ? QStringList() : Endpoints({literal}, address.port);
}

bool CNetworkPort::Connect(const Address& address, const std::atomic<bool>& cancel, QString& reason)
{
    Close();
    m_address = address;
    m_cancel = &cancel;
    m_dropReason.clear();
    const QDeadlineTimer deadline(kConnectMs);
    QList<QHostAddress> addresses;
    if (!Resolve(cancel, deadline, addresses, reason) ||
        !Hold(Endpoints(addresses, address.port), reason)) {
        Close();
        return false;
    }
    int systemError = 0;
    bool refusedEverywhere = true;
    qintptr connected = -1;
    for (const QHostAddress& to : addresses) {
        const qintptr socket = NativePort::StartConnect(to, address.port, systemError);
        int state = socket < 0 ? -1 : 0;
        // Slices, so that a cancel ends a connection to a server that never answers at once.
        while (state == 0 && !cancel && !deadline.hasExpired())
            state = NativePort::WaitConnected(
                socket, int(std::clamp<qint64>(deadline.remainingTime(), 1, kSliceMs)),
                systemError);
        if (state == 1) {
            connected = socket;
            break;
        }
        if (socket >= 0)
            NativePort::CloseSocket(socket);
        if (state == 0)
            break; // cancelled, or out of time
        refusedEverywhere = refusedEverywhere && NativePort::IsRefused(systemError);
    }
    if (connected < 0) {
        if (cancel)
            reason.clear();
        else if (deadline.hasExpired())
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Сервер %1 не ответил за %2 с. Проверьте адрес, сеть и "
                                         "питание сервера.")
                         .arg(Where())
                         .arg(kConnectMs / 1000);
        else if (refusedEverywhere)
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Сервер %1 отказал в соединении: на этом порту ничего не "
                                         "слушает. Проверьте номер порта и настройки сервера.")
                         .arg(Where());
        else
            reason = QCoreApplication::translate("CNetworkPort",
                                                 "Не удается соединиться с сервером %1: %2")
                         .arg(Where(), NativePort::SystemErrorText(systemError));
        Close();
        return false;
    }
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->setSocketDescriptor(connected);
    m_socket->setReadBufferSize(kReadBuffer);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

bool CNetworkPort::Resolve(const std::atomic<bool>& cancel, const QDeadlineTimer& deadline,
                           QList<QHostAddress>& addresses, QString& reason)
{
    if (const QHostAddress literal(m_address.host); !literal.isNull()) {
        addresses = {literal};
        return true;
    }
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host = m_address.host] {
        QHostInfo info = QHostInfo::fromName(host);
        const std::lock_guard<std::mutex> guard(lookup->mutex);
        lookup->info = std::move(info);
        lookup->done = true;
    }).detach();
    for (;;) {
        {
            const std::lock_guard<std::mutex> guard(lookup->mutex);
            if (lookup->done) {
                addresses = lookup->info.addresses();
                break;
            }
        }
        if (cancel)
            return false;
        if (deadline.hasExpired()) {
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Имя «%1» не удалось найти в сети за %2 с. Проверьте "
                                         "адрес сервера и настройки сети.")
                         .arg(m_address.host)
                         .arg(kConnectMs / 1000);
            return false;
        }
        QThread::msleep(10);
    }
    if (addresses.isEmpty()) {
        reason = QCoreApplication::translate("CNetworkPort",
                                             "Имя «%1» не найдено в сети. Проверьте адрес сервера "
                                             "последовательных портов.")
                     .arg(m_address.host);
        return false;
    }
    return true;
}

// One transfer at a time to a server's port, whichever word and name reach it.
bool CNetworkPort::Hold(const QStringList& endpoints, QString& reason)
{
    const std::lock_guard<std::mutex> guard(HeldMutex());
    for (const QString& endpoint : endpoints) {
        if (Held().contains(endpoint)) {
            reason =
                QCoreApplication::translate(
                    "CNetworkPort", "К серверу %1 уже идет передача из этой программы. Дождитесь "
                                    "ее окончания и повторите.")
                    .arg(Where());
            return false;
        }
    }
    for (const QString& endpoint : endpoints)
        Held().insert(endpoint);
    m_held = endpoints;
    return true;
}

bool CNetworkPort::Negotiate(const Line& line, QString& reason, bool& lineRefused)
{
    lineRefused = false;
    m_codec = CTelnetCodec();
    m_awaited = -1;
    m_granted.reset();
    m_refused = false;
    m_socket->write(CTelnetCodec::Greeting());
    // The parity bit is always sent as 1 (mark), as on a local port. Modem lines are left alone:
    // a server in front of a device without them never acknowledges a request to set them.
    return Request(CTelnetCodec::kSetBaudRate, CTelnetCodec::BaudRate(line.baudRate), reason,
                   lineRefused) &&
           Request(CTelnetCodec::kSetDataSize, QByteArray(1, char(line.dataBits)), reason,
                   lineRefused) &&
           Request(CTelnetCodec::kSetParity, QByteArray(1, char(4)), reason, lineRefused) &&
           Request(CTelnetCodec::kSetStopSize, QByteArray(1, char(line.stopBits)), reason,
                   lineRefused) &&
           Request(CTelnetCodec::kSetControl, QByteArray(1, char(1)), reason, lineRefused);
}

// Sends one COM-PORT-OPTION request and waits for the server's acknowledgement of it.
bool CNetworkPort::Request(CTelnetCodec::Command command, const QByteArray& value, QString& reason,
                           bool& lineRefused)
{
    m_awaited = command;
    m_granted.reset();
    m_socket->write(CTelnetCodec::ComPort(command, value));
    QElapsedTimer clock;
    clock.start();
    while (!m_granted && !m_refused && !*m_cancel && clock.elapsed() < kReplyMs &&
           m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->waitForBytesWritten(10);
        TakeIn(50);
    }
    m_awaited = -1;
    if (m_granted) {
        // A server that cannot set the speed or the character size answers with what it has.
        if ((command == CTelnetCodec::kSetBaudRate || command == CTelnetCodec::kSetDataSize) &&
            *m_granted != value) {
            lineRefused = true;
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Сервер %1 не принимает настройки линии из окна "
                                         "«Настройки COM порта» (скорость, число битов данных).")
                         .arg(Where());
            return false;
        }
        return true;
    }
    if (*m_cancel)
        return false;
    if (!m_dropReason.isEmpty())
        reason = m_dropReason;
    else if (m_socket->state() != QAbstractSocket::ConnectedState)
        reason = QCoreApplication::translate(
                     "CNetworkPort", "Сервер %1 закрыл соединение, не подтвердив настройку линии.")
                     .arg(Where());
    else
        reason =
            QCoreApplication::translate(
                "CNetworkPort", "Сервер %1 не подтвердил настройку линии за %2 с: похоже, он не "
                                "поддерживает RFC 2217. Если линию настраивает сам сервер, укажите "
                                "порт как tcp://%1.")
                .arg(Where())
                .arg(kReplyMs / 1000);
    return false;
}

void CNetworkPort::TakeIn(int ms)
{
    if (!m_socket)
        return;
    if (m_socket->bytesAvailable() == 0 && ms > 0)
        m_socket->waitForReadyRead(ms);
    const QByteArray got = m_socket->readAll();
    // Raw: whatever the display or the server sends is of no use to a sender.
    if (m_address.protocol != Protocol::Rfc2217 || got.isEmpty())
        return;
    m_codec.Feed(got);
    for (const CTelnetCodec::Event& event : m_codec.TakeEvents()) {
        if (event.kind == CTelnetCodec::Event::Kind::ComPortReply) {
            if (event.command == m_awaited)
                m_granted = event.value;
            continue; // a notice of the line's or the modem's state: of no use to a sender
        }
        // A server that keeps asking would have its answers pile up here unread.
        if (++m_offers > kMostOffers) {
            m_dropReason = QCoreApplication::translate("CNetworkPort",
                                                       "Сервер %1 без конца шлет запросы Telnet; "
                                                       "соединение с ним закрыто.")
                               .arg(Where());
            m_socket->abort();
            return;
        }
        const QByteArray answer = CTelnetCodec::Answer(event);
        if (!answer.isEmpty())
            m_socket->write(answer);
        // Only DONT answers the WILL that offered the option; a WONT is about the server's own
        // side of it (the answer to a DONT of ours).
        if (event.option == CTelnetCodec::kComPort && event.kind == CTelnetCodec::Event::Kind::Dont)
            m_refused = true;
    }
}

qint64 CNetworkPort::Write(const char* data, qint64 count, int ms)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    TakeIn(0);
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    qint64 taken = 0;
    if (m_socket->bytesToWrite() < kMostBuffered) {
        taken = std::min(count, kChunk);
        const QByteArray chunk(data, int(taken));
        m_socket->write(m_address.protocol == Protocol::Rfc2217 ? CTelnetCodec::Escape(chunk)
                                                                : chunk);
    }
    m_socket->waitForBytesWritten(ms);
    return m_socket->state() == QAbstractSocket::ConnectedState ? taken : -1;
}

qint64 CNetworkPort::Unacknowledged(int ms)
{
    if (!m_socket)
        return -1;
    if (m_socket->bytesToWrite() > 0)
        m_socket->waitForBytesWritten(ms);
    else
        TakeIn(ms);
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    const qint64 inKernel = NativePort::SocketUnacknowledged(m_socket->socketDescriptor());
    return m_socket->bytesToWrite() + std::max<qint64>(0, inKernel);
}

void CNetworkPort::Abandon()
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_address.protocol == Protocol::Rfc2217)
        Purge();
    // A graceful close would first hand the server every byte still queued here, and the server
    // would play them out: the bytes behind the cancel are dropped instead.
    NativePort::ResetOnClose(m_socket->socketDescriptor());
    m_socket->abort();
    m_socket.reset();
}

// The request waits behind the bytes already queued, so it is only as good as the server's
// buffering allows; the reset that follows does the rest.
void CNetworkPort::Purge()
{
    // 3: both of the server's buffers; the one toward the display is what matters.
    m_awaited = CTelnetCodec::kPurgeData;
    m_granted.reset();
    m_socket->write(CTelnetCodec::ComPort(CTelnetCodec::kPurgeData, QByteArray(1, char(3))));
    QElapsedTimer clock;
    clock.start();
    while (!m_granted && clock.elapsed() < kPurgeReplyMs &&
           m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->waitForBytesWritten(10);
        TakeIn(20);
    }
    m_awaited = -1;
}

void CNetworkPort::Close()
{
    if (m_socket) {
        if (m_socket->state() == QAbstractSocket::ConnectedState) {
            m_socket->disconnectFromHost();
            if (m_socket->state() != QAbstractSocket::UnconnectedState)
                m_socket->waitForDisconnected(kCloseMs);
        }
        m_socket->abort();
        m_socket.reset();
    }
    if (!m_held.isEmpty()) {
        const std::lock_guard<std::mutex> guard(HeldMutex());
        for (const QString& endpoint : std::as_const(m_held))
            Held().remove(endpoint);
        m_held.clear();
    }
    m_offers = 0;
    m_cancel = nullptr;
}
