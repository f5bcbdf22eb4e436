#pragma once

#include "device/telnetcodec.h"

#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class QTcpSocket;

// A display behind a serial device server: raw TCP ("tcp://HOST:PORT", the server's own line
// settings apply) or Telnet with COM-PORT-OPTION ("rfc2217://HOST:PORT", the line is set from
// here). Blocking calls for the job's thread, each bounded; CSerialPort puts it behind its own
// Open / WriteDrained / Close when the port word names one.
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

    static constexpr int kConnectMs = 5000;
    static constexpr int kReplyMs = 3000;

    CNetworkPort();
    ~CNetworkPort();

    // Whether the word names a network port at all ("tcp://…", "rfc2217://…"); Parse then tells
    // whether it names one well.
    static bool IsNetworkWord(const QString& word);
    static std::optional<Address> Parse(const QString& word);
    // Why a network word that Parse refuses cannot be used.
    static QString MalformedText(const QString& word);

    // Connects and, for RFC 2217, sets the line. False with the reason, in Russian, in `reason`;
    // `lineRefused` when the server took the connection but not the line settings.
    bool Open(const Address& address, const Line& line, const std::atomic<bool>& cancel,
              QString& reason, bool& lineRefused);
    void Close();

    // Hands over up to `count` bytes, waiting at most `ms`: the bytes taken, -1 when the
    // connection is gone.
    qint64 Write(const char* data, qint64 count, int ms);
    // Bytes written that the server's TCP has not acknowledged yet (with what Qt still holds),
    // after taking in what the server said for up to `ms`; -1 when the connection is gone.
    qint64 Unacknowledged(int ms);
    // Ends a transfer that must not complete: asks the server to drop what it holds for its line
    // (RFC 2217 only), then resets the connection, so that neither the bytes still unsent here
    // nor those the server has not read yet reach the display.
    void Abandon();

private:
    bool Negotiate(const Line& line, QString& reason, bool& lineRefused);
    bool Request(CTelnetCodec::Command command, const QByteArray& value, QString& reason,
                 bool& lineRefused);
    void TakeIn(int ms);
    void Purge();
    QString Where() const;

    std::unique_ptr<QTcpSocket> m_socket;
    CTelnetCodec m_codec;
    Address m_address;
    QList<CTelnetCodec::Event> m_replies;
    bool m_refused = false;                      // the server will not do COM-PORT-OPTION
    QString m_held;                              // the word this port holds within the program
    const std::atomic<bool>* m_cancel = nullptr; // while Open runs
};
