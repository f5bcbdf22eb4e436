#include "device/telnetcodec.h"

#include <utility>

QByteArray CTelnetCodec::Escape(const QByteArray& data)
{
    QByteArray escaped;
    escaped.reserve(data.size() + data.count(char(kIac)));
    for (const char byte : data) {
        escaped.append(byte);
        if (quint8(byte) == kIac)
            escaped.append(byte);
    }
    return escaped;
}

QByteArray CTelnetCodec::Option(quint8 verb, quint8 option)
{
    const char bytes[] = {char(kIac), char(verb), char(option)};
    return QByteArray(bytes, 3);
}

QByteArray CTelnetCodec::ComPort(Command command, const QByteArray& value)
{
    QByteArray bytes;
    bytes.append(char(kIac)).append(char(kSb)).append(char(kComPort)).append(char(command));
    bytes.append(Escape(value));
    bytes.append(char(kIac)).append(char(kSe));
    return bytes;
}

QByteArray CTelnetCodec::BaudRate(quint32 baud)
{
    QByteArray value(4, '\0');
    for (int i = 0; i < 4; ++i)
        value[i] = char((baud >> (8 * (3 - i))) & 0xFF);
    return value;
}

QByteArray CTelnetCodec::Greeting()
{
    // The client offers the option (WILL); asking the server to DO it would make the server the
    // one that sets a line.
    return Option(kWill, kComPort) + Option(kWill, kBinary) + Option(kDo, kBinary);
}

QByteArray CTelnetCodec::Answer(const Event& event)
{
    const bool ours = event.option == kBinary || event.option == kComPort;
    switch (event.kind) {
    case Event::Kind::Will:
        // Binary from the server was asked for; anything else it offers is refused.
        return event.option == kBinary ? QByteArray() : Option(kDont, event.option);
    case Event::Kind::Do:
        return ours ? QByteArray() : Option(kWont, event.option);
    case Event::Kind::Wont:
    case Event::Kind::Dont:
    case Event::Kind::ComPortReply:
        break;
    }
    return QByteArray();
}

void CTelnetCodec::Feed(const QByteArray& bytes)
{
    for (const char c : bytes)
        Take(quint8(c));
}

void CTelnetCodec::Take(quint8 byte)
{
    switch (m_state) {
    case State::Data:
        if (byte == kIac)
            m_state = State::Iac;
        break;
    case State::Iac:
        AfterIac(byte);
        break;
    case State::Verb: {
        static constexpr Event::Kind kinds[] = {Event::Kind::Will, Event::Kind::Wont,
                                                Event::Kind::Do, Event::Kind::Dont};
        m_events.append({kinds[m_verb - kWill], byte, 0, {}});
        m_state = State::Data;
        break;
    }
    case State::Sub:
        if (byte == kIac)
            m_state = State::SubIac;
        else
            Collect(byte);
        break;
    case State::SubIac:
        if (byte == kIac) {
            Collect(byte);
            m_state = State::Sub;
            break;
        }
        EndSub();
        // A server that forgot IAC SE still meant the command that ended the sub-negotiation.
        if (byte == kSe)
            m_state = State::Data;
        else
            AfterIac(byte);
        break;
    }
}

// The byte after an IAC outside a sub-negotiation.
void CTelnetCodec::AfterIac(quint8 byte)
{
    if (byte >= kWill && byte <= kDont) {
        m_verb = byte;
        m_state = State::Verb;
    } else if (byte == kSb) {
        m_sub.clear();
        m_subTooLong = false;
        m_state = State::Sub;
    } else {
        m_state = State::Data; // a doubled 0xFF in data, or a command without option
    }
}

void CTelnetCodec::Collect(quint8 byte)
{
    // No reply of COM-PORT-OPTION is anywhere near this long: a longer one is junk, and keeping
    // it would let a server fill the client's memory.
    if (m_sub.size() >= kMostSubBytes)
        m_subTooLong = true;
    else
        m_sub.append(char(byte));
}

void CTelnetCodec::EndSub()
{
    if (!m_subTooLong && m_sub.size() >= 2 && quint8(m_sub[0]) == kComPort &&
        quint8(m_sub[1]) >= 100)
        m_events.append(
            {Event::Kind::ComPortReply, kComPort, quint8(quint8(m_sub[1]) - 100), m_sub.mid(2)});
    m_sub.clear();
    m_subTooLong = false;
}

QList<CTelnetCodec::Event> CTelnetCodec::TakeEvents()
{
    return std::exchange(m_events, {});
}
