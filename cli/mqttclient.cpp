#include "cli/mqttclient.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mosquitto.h>

namespace
{

void InitLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

} // namespace

QString BrokerOptions::SetUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme();
    if (!parsed.isValid() || (scheme != u"mqtt" && scheme != u"mqtts") || parsed.host().isEmpty() ||
        !parsed.path().isEmpty() || !parsed.userInfo().isEmpty() || parsed.hasQuery())
        return QCoreApplication::translate("CMqttClient", "Адрес брокера «%1» записан неверно: "
                                                          "нужно mqtt://ХОСТ[:ПОРТ] или "
                                                          "mqtts://ХОСТ[:ПОРТ].")
            .arg(url);
    tls = scheme == u"mqtts";
    host = parsed.host();
    port = parsed.port(tls ? 8883 : 1883);
    return QString();
}

QString BrokerOptions::Url() const
{
    return QStringLiteral("%1://%2:%3").arg(tls ? u"mqtts" : u"mqtt", host).arg(port);
}

CMqttClient::CMqttClient(const BrokerOptions& broker, const QString& clientId, QObject* parent)
    : QObject(parent), m_broker(broker)
{
    InitLibrary();
    const QByteArray id = clientId.toUtf8();
    m_mosq = mosquitto_new(clientId.isEmpty() ? nullptr : id.constData(), true, this);
    // Published from the owner's thread while the loop runs on its own.
    mosquitto_threaded_set(m_mosq, true);
    if (!m_broker.user.isEmpty())
        mosquitto_username_pw_set(
            m_mosq, m_broker.user.toUtf8().constData(),
            m_broker.password.isNull() ? nullptr : m_broker.password.toUtf8().constData());
    if (m_broker.tls) {
        if (m_broker.caFile.isEmpty())
            mosquitto_int_option(m_mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            mosquitto_tls_set(m_mosq, QFile::encodeName(m_broker.caFile).constData(), nullptr,
                              nullptr, nullptr, nullptr);
    }
    mosquitto_connect_callback_set(m_mosq, [](mosquitto*, void* self, int rc) {
        auto* client = static_cast<CMqttClient*>(self);
        if (rc != 0) { // the broker turned the login down: trying again would not help
            client->m_loginRefused = true;
            client->EndWith(
                Refusal::Login,
                QCoreApplication::translate("CMqttClient", "Брокер %1 не принял вход: неверное имя "
                                                           "или пароль (%2).")
                    .arg(client->m_broker.Url(), QString::fromUtf8(mosquitto_connack_string(rc))));
            return;
        }
        client->m_connected = true;
        client->m_pauseS = 1;
        Q_EMIT client->connected();
    });
    mosquitto_message_callback_set(
        m_mosq, [](mosquitto*, void* self, const mosquitto_message* message) {
            Q_EMIT static_cast<CMqttClient*>(self)->messageArrived(
                QString::fromUtf8(message->topic),
                QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                message->retain);
        });
    mosquitto_publish_callback_set(m_mosq, [](mosquitto*, void* self, int mid) {
        Q_EMIT static_cast<CMqttClient*>(self)->published(mid);
    });
}

CMqttClient::~CMqttClient()
{
    Stop();
    mosquitto_destroy(m_mosq);
}

void CMqttClient::SetWill(const QString& topic, const QByteArray& payload)
{
    mosquitto_will_set(m_mosq, topic.toUtf8().constData(), int(payload.size()), payload.constData(),
                       1, true);
}

void CMqttClient::Start(bool retry)
{
    m_retry = retry;
    m_thread = std::thread([this] { Loop(); });
}

void CMqttClient::Stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    mosquitto_disconnect(m_mosq); // queued behind what is still to go out
    m_thread.join();
}

int CMqttClient::Publish(const QString& topic, const QByteArray& payload, bool retain)
{
    if (!m_connected)
        return -1;
    int mid = -1;
    if (mosquitto_publish(m_mosq, &mid, topic.toUtf8().constData(), int(payload.size()),
                          payload.constData(), 1, retain) != MOSQ_ERR_SUCCESS)
        return -1;
    return mid;
}

bool CMqttClient::Subscribe(const QString& pattern)
{
    return mosquitto_subscribe(m_mosq, nullptr, pattern.toUtf8().constData(), 1) ==
           MOSQ_ERR_SUCCESS;
}

// The library's and the system's own words, without a full stop: ours follows.
QString CMqttClient::ErrorText(int rc)
{
    QString text = rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                        : QString::fromUtf8(mosquitto_strerror(rc));
    while (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

void CMqttClient::EndWith(Refusal kind, const QString& reason)
{
    m_stop = true;
    Q_EMIT refused(kind, reason);
}

// Sleeps in slices so that Stop is never kept waiting; false once stopped.
bool CMqttClient::Pause(int seconds)
{
    for (int slept = 0; slept < seconds * 10 && !m_stop; ++slept)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return !m_stop;
}

void CMqttClient::Loop()
{
    const QByteArray host = m_broker.host.toUtf8();
    bool first = true;
    bool socketUp = false;
    while (!m_stop) {
        int rc = MOSQ_ERR_SUCCESS;
        if (!socketUp) {
            rc = first ? mosquitto_connect(m_mosq, host.constData(), m_broker.port,
                                           m_broker.keepalive)
                       : mosquitto_reconnect(m_mosq);
            first = false;
            socketUp = rc == MOSQ_ERR_SUCCESS;
        } else {
            rc = mosquitto_loop(m_mosq, 100, 1);
            if (rc != MOSQ_ERR_SUCCESS) {
                socketUp = false;
                m_connected = false;
            }
        }
        if (rc == MOSQ_ERR_SUCCESS || m_stop || m_loginRefused)
            continue;
        const QString reason = ErrorText(rc);
        if (rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_TLS_HANDSHAKE) {
            EndWith(Refusal::Certificate,
                    QCoreApplication::translate("CMqttClient",
                                                "Защищенное соединение с брокером %1 не "
                                                "установлено: сертификат брокера не подтвержден "
                                                "(--cafile) или брокер говорит без TLS.")
                        .arg(m_broker.Url()));
            break;
        }
        if (!m_retry) {
            EndWith(Refusal::Unreachable,
                    QCoreApplication::translate("CMqttClient", "Брокер %1 недоступен: %2.")
                        .arg(m_broker.Url(), reason));
            break;
        }
        const int pause = m_pauseS;
        Q_EMIT connectionLost(reason, pause);
        m_pauseS = std::min(pause * 2, kMaxRetryPauseS);
        Pause(pause);
    }
    // What the last goodbye queued still has to leave before the socket closes.
    if (socketUp && !m_loginRefused)
        for (int i = 0; i < 20 && mosquitto_loop(m_mosq, 100, 1) == MOSQ_ERR_SUCCESS; ++i) {
        }
    m_connected = false;
}
