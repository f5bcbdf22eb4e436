#pragma once

#include "device/telnetcodec.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

class QDeadlineTimer;
class QTcpSocket;

// A display behind a serial device server: raw TCP ("tcp://HOST:PORT", the server's own line
// settings apply) or Telnet with COM-PORT-OPTION ("rfc2217://HOST:PORT", the line is set from
// here). Blocking calls for the job's thread, each bounded; CSerialPort puts it behind its own
// Open / WriteDrained / Close when the port word names one. Whatever the server sends, what is
// kept of it stays small: a read buffer of its own size, one awaited reply, a bounded
// sub-negotiation.
class CNetworkPort
{
public:
    enum class Protocol { Raw, Rfc2217 };
    struct Address {
        Protocol protocol = Protocol::Raw;
        QString host; // a name, an IPv4 address or an IPv6 address (without its brackets)
        quint16 port = 0;
    };
    // The line as the server's serial port should carry it.
    struct Line {
        quint32 baudRate = 1200;
        quint8 dataBits = 8;
        quint8 stopBits = 2; // RFC 2217's code: 1 one, 2 two, 3 one and a half
    };

    static constexpr int kConnectMs = 5000; // the name looked up and the connection made
    static constexpr int kReplyMs = 3000;   // each line setting acknowledged
    static constexpr int kRequests = 5;     // line settings asked for by RFC 2217
    static constexpr int kCloseMs = 1000;
    // Option requests a server may make in one connection; a server that sends more is dropped.
    static constexpr int kMostOffers = 100;

    CNetworkPort();
    ~CNetworkPort();

    // Whether the word names a network port at all ("tcp://…", "rfc2217://…"); Parse then tells
    // whether it names one well.
    static bool IsNetworkWord(const QString& word);
    static std::optional<Address> Parse(const QString& word);
    // Why a network word that Parse refuses cannot be used.
    static QString MalformedText(const QString& word);
    // "HOST:PORT", IPv6 in brackets: how the texts name a server.
    static QString Where(const Address& address);
    // What identifies a server's port whatever the word says of it: address and port, one entry
    // per address the name stands for ("127.0.0.1:4001" for "tcp://localhost:4001" and for
    // "RFC2217://127.0.0.1:4001"). A host that is no address gives nothing.
    static QStringList Endpoints(const QList<QHostAddress>& addresses, quint16 port);
    static QStringList Endpoints(const Address& address);

    // Looks the name up and connects, trying each of its addresses in turn, within kConnectMs;
    // `cancel` is looked at every slice. False with the reason, in Russian, in `reason`.
    bool Connect(const Address& address, const std::atomic<bool>& cancel, QString& reason);
    // RFC 2217: sets the line on the server's port. `lineRefused` when the server took the
    // connection but not the line settings.
    bool Negotiate(const Line& line, QString& reason, bool& lineRefused);
    void Close();

    // Hands over up to `count` bytes, waiting at most `ms`: the bytes taken, -1 when the
    // connection is gone.
    qint64 Write(const char* data, qint64 count, int ms);
    // Bytes written that the server's TCP has not acknowledged yet (with what Qt still holds),
    // after taking in what the server said for up to `ms`; -1 when the connection is gone.
    qint64 Unacknowledged(int ms);
    // Why the connection was dropped from this side (a server that floods requests); empty when
    // it was the server or the network that ended it.
    QString DropReason() const { return m_dropReason; }
    // Ends a transfer that must not complete: asks the server to drop what it holds for its line
    // (RFC 2217 only), then resets the connection, so that neither the bytes still unsent here
    // nor those the server has not read yet reach the display.
    void Abandon();

private:
    bool Request(CTelnetCodec::Command command, const QByteArray& value, QString& reason,
                 bool& lineRefused);
    bool Resolve(const std::atomic<bool>& cancel, const QDeadlineTimer& deadline,
                 QList<QHostAddress>& addresses, QString& reason);
    bool Hold(const QStringList& endpoints, QString& reason);
    void TakeIn(int ms);
    void Purge();
    QString Where() const { return Where(m_address); }

    std::unique_ptr<QTcpSocket> m_socket;
    CTelnetCodec m_codec;
    Address m_address;
    // Only the reply awaited is kept: the server's notices are read and let go.
    int m_awaited = -1;
    std::optional<QByteArray> m_granted;
    int m_offers = 0;
    QString m_dropReason;
    bool m_refused = false;                      // the server will not do COM-PORT-OPTION
    QStringList m_held;                          // the endpoints this port holds in the program
    const std::atomic<bool>* m_cancel = nullptr; // while the port is open
};
