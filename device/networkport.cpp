#include "device/networkport.h"

#include "device/nativeport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <mutex>

namespace
{

const QString kRawScheme = QStringLiteral("tcp://");
const QString kRfc2217Scheme = QStringLiteral("rfc2217://");
constexpr qint64 kChunk = 1024;
constexpr qint64 kMostBuffered = 16 * 1024;
constexpr int kPurgeReplyMs = 500;
constexpr int kCloseMs = 1000;

// The servers this program is connected to: one transfer at a time to each, as with a local port.
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

QString CNetworkPort::Where() const
{
    const bool ipv6 = m_address.host.contains(u':');
    return (ipv6 ? u'[' + m_address.host + u']' : m_address.host) + u':' +
           QString::number(m_address.port);
}

bool CNetworkPort::Open(const Address& address, const Line& line, const std::atomic<bool>& cancel,
                        QString& reason, bool& lineRefused)
{
    Close();
    m_address = address;
    m_cancel = &cancel;
    lineRefused = false;
    const QString where = Where().toLower();
    {
        const std::lock_guard<std::mutex> guard(HeldMutex());
        if (Held().contains(where)) {
            reason =
                QCoreApplication::translate(
                    "CNetworkPort", "К серверу %1 уже идет передача из этой программы. Дождитесь "
                                    "ее окончания и повторите.")
                    .arg(Where());
            return false;
        }
        Held().insert(where);
        m_held = where;
    }
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(address.host, address.port);
    if (!m_socket->waitForConnected(kConnectMs) || cancel) {
        switch (m_socket->error()) {
        case QAbstractSocket::HostNotFoundError:
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Имя «%1» не найдено в сети. Проверьте адрес сервера "
                                         "последовательных портов.")
                         .arg(address.host);
            break;
        case QAbstractSocket::ConnectionRefusedError:
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Сервер %1 отказал в соединении: на этом порту ничего не "
                                         "слушает. Проверьте номер порта и настройки сервера.")
                         .arg(Where());
            break;
        case QAbstractSocket::SocketTimeoutError:
            reason = QCoreApplication::translate(
                         "CNetworkPort", "Сервер %1 не ответил за %2 с. Проверьте адрес, сеть и "
                                         "питание сервера.")
                         .arg(Where())
                         .arg(kConnectMs / 1000);
            break;
        default:
            reason = QCoreApplication::translate("CNetworkPort",
                                                 "Не удается соединиться с сервером %1: %2")
                         .arg(Where(), m_socket->errorString());
            break;
        }
        Close();
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const bool ready = address.protocol == Protocol::Raw || Negotiate(line, reason, lineRefused);
    m_cancel = nullptr;
    if (!ready)
        Close();
    return ready;
}

bool CNetworkPort::Negotiate(const Line& line, QString& reason, bool& lineRefused)
{
    m_codec = CTelnetCodec();
    m_replies.clear();
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
    m_socket->write(CTelnetCodec::ComPort(command, value));
    QElapsedTimer clock;
    clock.start();
    while (!m_refused && !*m_cancel && clock.elapsed() < kReplyMs &&
           m_socket->state() == QAbstractSocket::ConnectedState) {
        for (int i = 0; i < m_replies.size(); ++i) {
            if (m_replies[i].command != command)
                continue;
            const QByteArray granted = m_replies.takeAt(i).value;
            // A server that cannot set the speed or the character size answers with what it has.
            if ((command == CTelnetCodec::kSetBaudRate || command == CTelnetCodec::kSetDataSize) &&
                granted != value) {
                lineRefused = true;
                reason =
                    QCoreApplication::translate(
                        "CNetworkPort", "Сервер %1 не принимает настройки линии из окна "
                                        "«Настройки COM порта» (скорость, число битов данных).")
                        .arg(Where());
                return false;
            }
            return true;
        }
        m_socket->waitForBytesWritten(10);
        TakeIn(50);
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        reason = QCoreApplication::translate(
                     "CNetworkPort", "Сервер %1 закрыл соединение, не подтвердив настройку линии.")
                     .arg(Where());
        return false;
    }
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
        const QByteArray answer = CTelnetCodec::Answer(event);
        if (!answer.isEmpty())
            m_socket->write(answer);
        if (event.kind == CTelnetCodec::Event::Kind::ComPortReply)
            m_replies.append(event);
        else if (event.option == CTelnetCodec::kComPort &&
                 (event.kind == CTelnetCodec::Event::Kind::Dont ||
                  event.kind == CTelnetCodec::Event::Kind::Wont))
            m_refused = true;
    }
}

qint64 CNetworkPort::Write(const char* data, qint64 count, int ms)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    TakeIn(0);
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
    m_socket->write(CTelnetCodec::ComPort(CTelnetCodec::kPurgeData, QByteArray(1, char(3))));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kPurgeReplyMs &&
           m_socket->state() == QAbstractSocket::ConnectedState) {
        if (std::any_of(m_replies.begin(), m_replies.end(), [](const CTelnetCodec::Event& e) {
                return e.command == CTelnetCodec::kPurgeData;
            }))
            break;
        m_socket->waitForBytesWritten(10);
        TakeIn(20);
    }
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
        Held().remove(m_held);
        m_held.clear();
    }
}
