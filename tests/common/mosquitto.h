#pragma once

#include "ser2net.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

// An MQTT broker on loopback: Debian's mosquitto with a configuration made for the test — a
// password file, an ACL, a plain listener and a TLS one whose certificate a CA made here signs
// (and a second CA that signed nothing). Users: "agent" may read the messages of the sites and
// write their results, status and lists; "publisher" may write their messages and read the rest;
// "reader" may only read. Retained messages outlive a Stop(true) and Start().
class Mosquitto
{
public:
    explicit Mosquitto(const QStringList& sites = {QStringLiteral("shop")})
    {
        m_port = Ser2Net::FreePort();
        m_tlsPort = Ser2Net::FreePort();
        QString acl;
        for (const QString& site : sites)
            acl += QStringLiteral("user agent\ntopic read tavrix/%1/+/message\n"
                                  "topic write tavrix/%1/+/result\ntopic write tavrix/%1/status\n"
                                  "topic write tavrix/%1/displays\nuser publisher\n"
                                  "topic write tavrix/%1/+/message\ntopic read tavrix/%1/+/result\n"
                                  "topic read tavrix/%1/displays\n")
                       .arg(site);
        const QString script =
            QStringLiteral(
                "set -e; cd '%1'\n"
                "for ca in ca wrongca; do openssl req -x509 -newkey rsa:2048 -nodes -days 2 "
                "-subj /CN=$ca -keyout $ca.key -out $ca.crt; done\n"
                "openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -keyout server.key "
                "-out server.csr\n"
                "echo subjectAltName=IP:127.0.0.1 >san.ext\n"
                "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 "
                "-extfile san.ext -out server.crt\n"
                "for user in agent publisher reader; do echo $user-pw >$user.pw\n"
                "  mosquitto_passwd -b $([ -f passwords ] || echo -c) passwords $user $user-pw; "
                "done\n"
                "printf '%2user reader\\ntopic read tavrix/#\\n' >acl\n"
                "printf 'user root\\nper_listener_settings false\\nallow_anonymous false\\n"
                "password_file passwords\\nacl_file acl\\npersistence true\\n"
                "persistence_location %1/\\nlistener %3 127.0.0.1\\nlistener %4 127.0.0.1\\n"
                "cafile ca.crt\\ncertfile server.crt\\nkeyfile server.key\\n' >mosquitto.conf\n")
                .arg(m_dir.path(), QString(acl).replace(u'\n', "\\n"))
                .arg(m_port)
                .arg(m_tlsPort);
        QProcess shell;
        shell.setProcessChannelMode(QProcess::MergedChannels);
        shell.setWorkingDirectory(m_dir.path());
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
        m_ready = shell.waitForFinished(60000) && shell.exitCode() == 0 && Start();
    }
    ~Mosquitto() { Stop(false); }
    Mosquitto(const Mosquitto&) = delete;
    Mosquitto& operator=(const Mosquitto&) = delete;

    bool IsReady() const { return m_ready; }
    QString Url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString TlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(m_tlsPort); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // A file holding the user's password.
    QString PasswordFile(const QString& user) const { return Path(user + QStringLiteral(".pw")); }

    // terminate: as a service manager stops it (retained messages saved); else SIGKILL.
    void Stop(bool terminate)
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        terminate ? m_process.terminate() : m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool Start()
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(Path(QStringLiteral("mosquitto.log")), QIODevice::Append);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.start(QStringLiteral("mosquitto"),
                        {QStringLiteral("-c"), Path(QStringLiteral("mosquitto.conf"))});
        QElapsedTimer clock;
        clock.start();
        while (m_process.waitForStarted(3000) && clock.elapsed() < 5000 &&
               m_process.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), m_tlsPort);
            if (probe.waitForConnected(200))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    // As "reader": the retained message of a topic, or the first that arrives within timeoutS
    // (empty when none does).
    QByteArray Retained(const QString& topic, int timeoutS = 3) const
    {
        QByteArray out;
        Client(QStringLiteral("mosquitto_sub"), QStringLiteral("reader"),
               {QStringLiteral("-t"), topic, QStringLiteral("-C"), QStringLiteral("1"),
                QStringLiteral("-W"), QString::number(timeoutS)},
               &out);
        return out.trimmed();
    }
    // As "publisher": raw bytes, retained (none: the retained message is cleared).
    bool PublishRaw(const QString& topic, const QByteArray& payload) const
    {
        QFile file(Path(QStringLiteral("raw.bin")));
        return file.open(QIODevice::WriteOnly) && file.write(payload) == payload.size() &&
               file.flush() &&
               Client(QStringLiteral("mosquitto_pub"), QStringLiteral("publisher"),
                      {QStringLiteral("-q"), QStringLiteral("1"), QStringLiteral("-r"),
                       QStringLiteral("-t"), topic, QStringLiteral("-f"), file.fileName()});
    }

private:
    bool Client(const QString& program, const QString& user, const QStringList& args,
                QByteArray* out = nullptr) const
    {
        QProcess client;
        client.start(program, QStringList{QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
                                          QStringLiteral("-p"), QString::number(m_port),
                                          QStringLiteral("-u"), user, QStringLiteral("-P"),
                                          user + QStringLiteral("-pw")} +
                                  args);
        const bool done = client.waitForFinished(15000) && client.exitCode() == 0;
        if (out)
            *out = client.readAllStandardOutput();
        return done;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    bool m_ready = false;
};
