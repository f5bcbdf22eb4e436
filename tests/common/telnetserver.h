#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

// A serial device server that plays by a script, on loopback in the test's own thread (the
// sender's job runs on a thread of its own): it takes one client, acknowledges each RFC 2217
// request (or not), keeps the data bytes it reads, and misbehaves as the test asks.
class ScriptedServer : public QObject
{
public:
    enum class Script {
        Good,         // acknowledges at once
        Will44,       // also offers COM-PORT-OPTION from its side, and confirms the DONT
        Unended,      // ends each acknowledgement with IAC DO 44 instead of IAC SE
        SlowFirstAck, // the first acknowledgement after 2.9 s
        Silent,       // acknowledges nothing
        AckClose,     // raw: closes as soon as it has read `expected` data bytes
        ReadsNothing, // raw: never reads, only its system acknowledges
        FloodSub,     // once data comes, IAC SB 44 and junk without end
        FloodNotices, // once data comes, NOTIFY-MODEMSTATE without end
        FloodOffers,  // once data comes, IAC WILL 1 without end
    };

    ScriptedServer(Script script, qint64 floodBytes = 0, qint64 expected = 0)
        : m_script(script), m_floodLeft(floodBytes), m_expected(expected),
          m_telnet(script != Script::AckClose && script != Script::ReadsNothing)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_client.reset(m_server.nextPendingConnection());
            connect(m_client.get(), &QTcpSocket::bytesWritten, this, &ScriptedServer::Flood);
            if (m_script == Script::Will44)
                m_client->write(QByteArray::fromHex("FFFB2C"));
            if (m_script == Script::ReadsNothing)
                m_client->setReadBufferSize(1); // the kernel's buffer takes what comes
            else
                connect(m_client.get(), &QTcpSocket::readyRead, this, &ScriptedServer::Read);
        });
    }
    quint16 Port() const { return m_server.serverPort(); }
    qint64 FloodLeft() const { return m_floodLeft; }
    const QByteArray& Data() const { return m_data; }

private:
    void Read()
    {
        for (const char c : m_client->readAll()) {
            const auto byte = quint8(c);
            if (m_sub >= 0) { // inside IAC SB … IAC SE, the request collected in m_request
                if (m_iac && byte == 0xF0)
                    Requested();
                else if (!m_iac && byte == 0xFF)
                    m_iac = true;
                else
                    m_request.append(c), m_iac = false;
            } else if (m_verb) {
                // WILL 44 offered by the server: DONT confirmed by WONT, as Telnet asks.
                if (m_verb == 0xFE && byte == 0x2C)
                    m_client->write(QByteArray::fromHex("FFFC2C"));
                m_verb = 0;
            } else if (m_iac) {
                m_iac = false;
                if (byte == 0xFA)
                    m_sub = 0, m_request.clear();
                else if (byte >= 0xFB && byte <= 0xFE)
                    m_verb = byte;
                else if (byte == 0xFF)
                    m_data.append(c);
            } else if (byte == 0xFF && m_telnet) {
                m_iac = true;
            } else {
                m_data.append(c);
            }
        }
        if (m_script == Script::AckClose && m_expected > 0 && m_data.size() >= m_expected)
            m_client->disconnectFromHost();
        if (!m_data.isEmpty())
            Flood();
    }

    void Requested()
    {
        m_sub = -1;
        m_iac = false;
        if (m_request.size() < 2 || m_script == Script::Silent)
            return;
        QByteArray ack = QByteArray::fromHex("FFFA2C") + char(m_request[1] + 100);
        ack += m_request.mid(2).replace("\xFF", "\xFF\xFF");
        ack += m_script == Script::Unended ? QByteArray::fromHex("FFFD2C")
                                           : QByteArray::fromHex("FFF0");
        const int delay = m_script == Script::SlowFirstAck && m_acks++ == 0 ? 2900 : 0;
        QTimer::singleShot(delay, this, [this, ack] { m_client->write(ack); });
    }

    // Keeps a quarter of a megabyte queued until the flood is spent or the client leaves.
    void Flood()
    {
        if (m_script < Script::FloodSub || m_floodLeft <= 0 || !m_client ||
            m_client->state() != QAbstractSocket::ConnectedState || m_data.isEmpty() ||
            m_client->bytesToWrite() > (1 << 18))
            return;
        static const QByteArray unit[] = {QByteArray(1 << 16, 'x'),
                                          QByteArray::fromHex("FFFA2C6BB0FFF0").repeated(9362),
                                          QByteArray::fromHex("FFFB01").repeated(21845)};
        if (m_script == Script::FloodSub && !m_subStarted) {
            m_client->write(QByteArray::fromHex("FFFA2C"));
            m_subStarted = true;
        }
        const QByteArray& chunk = unit[int(m_script) - int(Script::FloodSub)];
        for (int i = 0; i < 4 && m_floodLeft > 0; ++i, m_floodLeft -= chunk.size())
            m_client->write(chunk);
    }

    Script m_script;
    qint64 m_floodLeft;
    qint64 m_expected;
    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_client;
    QByteArray m_data;
    QByteArray m_request;
    int m_sub = -1;
    bool m_iac = false;
    quint8 m_verb = 0;
    bool m_telnet; // RFC 2217: commands start with 0xFF, and a 0xFF of data comes doubled
    int m_acks = 0;
    bool m_subStarted = false;
};
