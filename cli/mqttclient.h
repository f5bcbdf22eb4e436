#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

struct mosquitto;

// Where the broker is and how to log in, as the command line gives it.
struct BrokerOptions {
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile; // mqtts:// without one trusts the system's authorities
    QString user;
    QString password;
    int keepalive = 60;

    // mqtt://HOST[:PORT] or mqtts://HOST[:PORT]; empty when taken, else why not (Russian).
    QString SetUrl(const QString& url);
    QString Url() const;
};

// One connection to an MQTT broker through libmosquitto. Its network loop runs on a thread of its
// own and hands every event to the owner's thread as a queued signal: a name lookup, a TCP connect
// or a TLS handshake that hangs never holds up the owner's event loop, which also drives the
// transfers, and the pauses between attempts to reconnect are ours to count and tell.
class CMqttClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRetryPauseS = 30;

    enum class Refusal { Login, Certificate, Unreachable };
    Q_ENUM(Refusal)

    // clientId empty: the library makes one up.
    CMqttClient(const BrokerOptions& broker, const QString& clientId, QObject* parent = nullptr);
    ~CMqttClient() override; // Stop()

    // The broker publishes it (retained, QoS 1) when the connection dies without a goodbye.
    void SetWill(const QString& topic, const QByteArray& payload);
    // retry false: a broker that cannot be reached ends it (refused Unreachable), as for a
    // command that waits for an answer; true: tries again with growing pauses, at most 30 s.
    void Start(bool retry);
    // Says goodbye once what is queued has gone (no will then), and ends the loop.
    void Stop();

    // QoS 1. The message id, or -1 when there is no connection to queue it on.
    int Publish(const QString& topic, const QByteArray& payload, bool retain);
    bool Subscribe(const QString& pattern);

Q_SIGNALS:
    void connected();
    // A connection that could not be made or was lost; the next attempt follows in retryS seconds.
    void connectionLost(const QString& reason, int retryS);
    // The loop has ended for good: a login or certificate the broker or we refuse, or no broker.
    void refused(CMqttClient::Refusal kind, const QString& reason);
    void messageArrived(const QString& topic, const QByteArray& payload, bool retained);
    void published(int messageId);

private:
    void Loop();
    bool Pause(int seconds);
    void EndWith(Refusal kind, const QString& reason);
    static QString ErrorText(int rc);

    BrokerOptions m_broker;
    mosquitto* m_mosq = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_loginRefused{false};
    std::atomic<int> m_pauseS{1};
    bool m_retry = true;
};
