#pragma once

#include <QByteArray>
#include <QList>

// The Telnet side of a serial device server spoken to by RFC 2217 (COM-PORT-OPTION): the bytes
// to send, and what the server's bytes mean. No sockets here, so every byte can be tested.
class CTelnetCodec
{
public:
    enum : quint8 {
        kIac = 255,
        kDont = 254,
        kDo = 253,
        kWont = 252,
        kWill = 251,
        kSb = 250,
        kSe = 240,
        kBinary = 0,
        kComPort = 44,
    };
    // Client-to-server COM-PORT-OPTION commands; the server answers each with the code + 100.
    enum Command : quint8 {
        kSetBaudRate = 1,
        kSetDataSize = 2,
        kSetParity = 3,
        kSetStopSize = 4,
        kSetControl = 5,
        kPurgeData = 12,
    };

    // What the server said, other than data (which a display's server sends only unasked).
    struct Event {
        enum class Kind { Will, Wont, Do, Dont, ComPortReply };
        Kind kind;
        quint8 option = 0;  // Will … Dont
        quint8 command = 0; // ComPortReply: the command it answers (the code less 100)
        QByteArray value;   // ComPortReply
    };

    // Data bytes as the wire carries them: every 0xFF doubled.
    static QByteArray Escape(const QByteArray& data);
    static QByteArray Option(quint8 verb, quint8 option);
    static QByteArray ComPort(Command command, const QByteArray& value);
    static QByteArray BaudRate(quint32 baud); // four bytes, most significant first

    // What the client opens with: it offers COM-PORT-OPTION and asks for binary both ways.
    static QByteArray Greeting();
    // The answer to a request of the server's (empty: none is due). Options other than binary
    // and COM-PORT-OPTION are refused.
    static QByteArray Answer(const Event& event);

    // Takes the server's bytes as they come, in pieces of any size. A sub-negotiation longer
    // than kMostSubBytes gives no event; one that an IAC other than IAC SE ends is over, and
    // that command counts.
    void Feed(const QByteArray& bytes);
    QList<Event> TakeEvents();

    static constexpr int kMostSubBytes = 256;

private:
    enum class State { Data, Iac, Verb, Sub, SubIac };
    void Take(quint8 byte);
    void AfterIac(quint8 byte);
    void Collect(quint8 byte);
    void EndSub();

    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    bool m_subTooLong = false;
    QList<Event> m_events;
};
