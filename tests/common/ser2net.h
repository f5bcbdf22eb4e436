#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

// A serial device server on loopback in front of a device (a pseudo-terminal's slave): Debian's
// ser2net in the foreground, raw TCP or Telnet with RFC 2217, on a port free when it started.
class Ser2Net
{
public:
    Ser2Net(const QString& device, bool rfc2217)
    {
        m_port = FreePort();
        const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("connection: &display\n"
                                  "  accepter: %1tcp,127.0.0.1,%2\n"
                                  "  connector: serialdev,%3,local\n")
                       .arg(rfc2217 ? QStringLiteral("telnet(rfc2217),") : QString())
                       .arg(m_port)
                       .arg(device)
                       .toUtf8());
        file.close();
        // It complains of what it cannot offer (mDNS) on every start.
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QStringLiteral("ser2net"),
                        {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"), config,
                         QStringLiteral("-P"), m_dir.filePath(QStringLiteral("pid"))});
        if (!m_process.waitForStarted(3000))
            return;
        // Listening once a probe connects; ser2net lets the device go again when it leaves.
        QElapsedTimer clock;
        clock.start();
        while (!m_ready && clock.elapsed() < 5000 && m_process.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
            m_ready = probe.waitForConnected(200);
            if (!m_ready)
                QThread::msleep(50);
        }
        QThread::msleep(100);
    }
    ~Ser2Net() { Kill(); }
    Ser2Net(const Ser2Net&) = delete;
    Ser2Net& operator=(const Ser2Net&) = delete;

    bool IsReady() const { return m_ready; }
    quint16 Port() const { return m_port; }
    void Kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // A loopback port nothing listens on at this moment.
    static quint16 FreePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_ready = false;
};
