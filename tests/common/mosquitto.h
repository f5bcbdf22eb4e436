#pragma once

#include "ser2net.h"

#include <QDir>
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
    // sites: the ones whose topics the ACL opens to its users.
    explicit Mosquitto(const QStringList& sites = {QStringLiteral("shop")}) : m_sites(sites)
    {
        m_port = Ser2Net::FreePort();
        m_tlsPort = Ser2Net::FreePort();
        m_ready = MakeFiles() && Start();
    }
    ~Mosquitto() { Stop(false); }
    Mosquitto(const Mosquitto&) = delete;
    Mosquitto& operator=(const Mosquitto&) = delete;

    bool IsReady() const { return m_ready; }
    quint16 Port() const { return m_port; }
    QString Url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString TlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(m_tlsPort); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // A file holding the user's password (its name is the user's, ".pw").
    QString PasswordFile(const QString& user) const { return Path(user + QStringLiteral(".pw")); }

    // terminate: as a service manager stops it (retained messages saved); else SIGKILL.
    void Stop(bool terminate)
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        if (terminate)
            m_process.terminate();
        else
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool Start()
    {
        m_process.setStandardOutputFile(Path(QStringLiteral("mosquitto.log")), QIODevice::Append);
        m_process.setStandardErrorFile(Path(QStringLiteral("mosquitto.log")), QIODevice::Append);
        m_process.start(QStringLiteral("mosquitto"),
                        {QStringLiteral("-c"), Path("mosquitto.conf")});
        if (!m_process.waitForStarted(3000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000 && m_process.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), m_tlsPort);
            if (probe.waitForConnected(200))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    // mosquitto_sub as "reader": the retained message of a topic, or what arrives within
    // timeoutS (empty when nothing does).
    QByteArray Retained(const QString& topic, int timeoutS = 3) const
    {
        QProcess sub;
        sub.start(QStringLiteral("mosquitto_sub"),
                  {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                   QString::number(m_port), QStringLiteral("-u"), QStringLiteral("reader"),
                   QStringLiteral("-P"), QStringLiteral("reader-pw"), QStringLiteral("-t"), topic,
                   QStringLiteral("-C"), QStringLiteral("1"), QStringLiteral("-W"),
                   QString::number(timeoutS)});
        sub.waitForFinished(timeoutS * 1000 + 3000);
        return sub.readAllStandardOutput().trimmed();
    }
    // mosquitto_pub as "publisher": raw bytes, retained.
    bool PublishRaw(const QString& topic, const QByteArray& payload) const
    {
        const QString file = Path(QStringLiteral("raw.bin"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(payload) != payload.size())
            return false;
        out.close();
        QProcess pub;
        pub.start(QStringLiteral("mosquitto_pub"),
                  {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                   QString::number(m_port), QStringLiteral("-u"), QStringLiteral("publisher"),
                   QStringLiteral("-P"), QStringLiteral("publisher-pw"), QStringLiteral("-q"),
                   QStringLiteral("1"), QStringLiteral("-r"), QStringLiteral("-t"), topic,
                   QStringLiteral("-f"), file});
        return pub.waitForFinished(5000) && pub.exitCode() == 0;
    }

private:
    static bool Run(const QString& program, const QStringList& args)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        return process.waitForFinished(30000) && process.exitCode() == 0;
    }

    bool WriteText(const QString& name, const QString& text) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
    }

    bool MakeFiles()
    {
        const QString openssl = QStringLiteral("openssl");
        auto cert = [&](const QString& name, const QString& subject) {
            return Run(openssl,
                       {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                        QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                        subject, QStringLiteral("-keyout"), Path(name + QStringLiteral(".key")),
                        QStringLiteral("-out"), Path(name + QStringLiteral(".crt"))});
        };
        if (!cert(QStringLiteral("ca"), QStringLiteral("/CN=Test CA")) ||
            !cert(QStringLiteral("wrongca"), QStringLiteral("/CN=Other CA")) ||
            !WriteText(QStringLiteral("san.ext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1\n")) ||
            !Run(openssl, {QStringLiteral("req"), QStringLiteral("-newkey"),
                           QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                           QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                           QStringLiteral("-keyout"), Path(QStringLiteral("server.key")),
                           QStringLiteral("-out"), Path(QStringLiteral("server.csr"))}) ||
            !Run(openssl, {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                           Path(QStringLiteral("server.csr")), QStringLiteral("-CA"),
                           Path(QStringLiteral("ca.crt")), QStringLiteral("-CAkey"),
                           Path(QStringLiteral("ca.key")), QStringLiteral("-CAcreateserial"),
                           QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                           Path(QStringLiteral("san.ext")), QStringLiteral("-out"),
                           Path(QStringLiteral("server.crt"))}))
            return false;
        const QString passwords = Path(QStringLiteral("passwords"));
        bool first = true;
        for (const QString user :
             {QStringLiteral("agent"), QStringLiteral("publisher"), QStringLiteral("reader")}) {
            QStringList args{QStringLiteral("-b")};
            if (first)
                args << QStringLiteral("-c");
            first = false;
            if (!Run(QStringLiteral("mosquitto_passwd"),
                     args << passwords << user << user + QStringLiteral("-pw")) ||
                !WriteText(user + QStringLiteral(".pw"), user + QStringLiteral("-pw\n")))
                return false;
        }
        QString acl;
        for (const QString& site : m_sites)
            acl += QStringLiteral("user agent\n"
                                  "topic read tavrix/%1/+/message\n"
                                  "topic write tavrix/%1/+/result\n"
                                  "topic write tavrix/%1/status\n"
                                  "topic write tavrix/%1/displays\n"
                                  "\n"
                                  "user publisher\n"
                                  "topic write tavrix/%1/+/message\n"
                                  "topic read tavrix/%1/+/result\n"
                                  "topic read tavrix/%1/displays\n"
                                  "\n")
                       .arg(site);
        return WriteText(QStringLiteral("acl"),
                         acl + QStringLiteral("user reader\ntopic read tavrix/#\n")) &&
               WriteText(QStringLiteral("mosquitto.conf"),
                         QStringLiteral("user root\n"
                                        "per_listener_settings false\n"
                                        "allow_anonymous false\n"
                                        "password_file %1\n"
                                        "acl_file %2\n"
                                        "persistence true\n"
                                        "persistence_location %3/\n"
                                        "log_dest stderr\n"
                                        "listener %4 127.0.0.1\n"
                                        "listener %5 127.0.0.1\n"
                                        "cafile %6\n"
                                        "certfile %7\n"
                                        "keyfile %8\n")
                             .arg(passwords, Path(QStringLiteral("acl")), m_dir.path())
                             .arg(m_port)
                             .arg(m_tlsPort)
                             .arg(Path(QStringLiteral("ca.crt")),
                                  Path(QStringLiteral("server.crt")),
                                  Path(QStringLiteral("server.key"))));
    }

    QStringList m_sites;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    bool m_ready = false;
};
