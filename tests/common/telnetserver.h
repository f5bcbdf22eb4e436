#pragma once

#include <QByteArray>
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
    // The client's bytes: data, with 0xFF doubled over Telnet, and its requests.
    void Read()
    {
        m_pending += m_client->readAll();
        qsizetype at = 0;
        while (at < m_pending.size()) {
            if (!m_telnet || quint8(m_pending[at]) != 0xFF) {
                m_data += m_pending[at++];
                continue;
            }
            const qsizetype end = m_pending.indexOf("\xFF\xF0", at);
            const auto verb = at + 1 < m_pending.size() ? quint8(m_pending[at + 1]) : 0;
            if (at + (verb == 0xFF ? 1 : 2) >= m_pending.size() || (verb == 0xFA && end < 0))
                break; // the rest comes later
            if (verb == 0xFF)
                m_data += m_pending[at];
            else if (verb == 0xFA)
                Acknowledge(m_pending.mid(at + 2, end - at - 2));
            // The server's own WILL 44 refused: Telnet has it confirm with WONT.
            else if (verb == 0xFE && m_pending[at + 2] == 0x2C)
                m_client->write(QByteArray::fromHex("FFFC2C"));
            at = verb == 0xFA ? end + 2 : at + (verb == 0xFF ? 2 : 3);
        }
        m_pending.remove(0, at);
        if (m_script == Script::AckClose && m_data.size() >= m_expected)
            m_client->disconnectFromHost();
        Flood();
    }

    void Acknowledge(const QByteArray& request) // 44, the command, its value
    {
        if (request.size() < 2 || m_script == Script::Silent)
            return;
        const QByteArray ack = QByteArray::fromHex("FFFA2C") + char(request[1] + 100) +
                               request.mid(2) +
                               QByteArray::fromHex(m_script == Script::Unended ? "FFFD2C" : "FFF0");
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
    QByteArray m_pending;
    bool m_telnet; // RFC 2217: commands start with 0xFF, and a 0xFF of data comes doubled
    int m_acks = 0;
    bool m_subStarted = false;
};
