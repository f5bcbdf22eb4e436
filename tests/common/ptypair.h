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
    int MasterFd() const { return m_master; }
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

    // What has arrived on the master by now, without waiting.
    QByteArray ReadAvailable()
    {
        QByteArray result;
        char buffer[4096];
        ssize_t n;
        while (m_master >= 0 && (n = ::read(m_master, buffer, sizeof buffer)) > 0)
            result.append(buffer, int(n));
        return result;
    }

    // The display unplugged: the slave side hangs up.
    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // Stops the slave's output as XOFF would: nothing written to the slave leaves until resumed.
    void SuspendSlaveOutput() { tcflow(m_slave, TCOOFF); }
    void ResumeSlaveOutput() { tcflow(m_slave, TCOON); }

    // Whether this pseudo-terminal can hold a character size at all: Linux forces CS8 on a pty
    // (some kernels refuse other sizes, some quietly replace them).
    enum class CharSize { Kept, Refused, Replaced };
    CharSize TryCharSize(tcflag_t size)
    {
        termios saved{};
        tcgetattr(m_slave, &saved);
        termios wanted = saved;
        wanted.c_cflag = (wanted.c_cflag & ~CSIZE) | size;
        if (tcsetattr(m_slave, TCSANOW, &wanted) != 0)
            return CharSize::Refused;
        termios got{};
        tcgetattr(m_slave, &got);
        tcsetattr(m_slave, TCSANOW, &saved);
        return (got.c_cflag & CSIZE) == size ? CharSize::Kept : CharSize::Replaced;
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
