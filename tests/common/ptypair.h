#pragma once

#include <QByteArray>
#include <QString>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair standing in for the display: the program opens the slave by name, the
// test reads what arrives on the master and inspects the slave's line settings.
class PtyPair
{
public:
    PtyPair()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_name = QString::fromLocal8Bit(name);
            termios raw{};
            tcgetattr(m_master, &raw);
            cfmakeraw(&raw);
            tcsetattr(m_master, TCSANOW, &raw);
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyPair()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool IsValid() const { return m_master >= 0; }
    const QString& SlaveName() const { return m_name; } // "/dev/pts/N"

    // Everything the master has received so far (waits up to timeoutMs for the first byte).
    QByteArray ReadAll(int timeoutMs = 1000)
    {
        QByteArray result;
        for (int waited = 0; waited <= timeoutMs; waited += 10) {
            char buffer[4096];
            ssize_t n;
            while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
                result.append(buffer, int(n));
            if (!result.isEmpty())
                break;
            usleep(10 * 1000);
        }
        for (int idle = 0; idle < 5; ++idle) { // drain what is still on its way
            char buffer[4096];
            ssize_t n;
            bool got = false;
            while ((n = ::read(m_master, buffer, sizeof buffer)) > 0) {
                result.append(buffer, int(n));
                got = true;
            }
            if (got)
                idle = 0;
            usleep(10 * 1000);
        }
        return result;
    }

    termios SlaveAttributes() const
    {
        termios t{};
        tcgetattr(m_slave, &t);
        return t;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_name;
};
