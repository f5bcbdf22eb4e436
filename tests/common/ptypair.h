#pragma once

#include <QByteArray>
#include <QString>

#ifdef _WIN32
#include <QStringList>
#include <QThread>
#include <windows.h>

// On Windows the display is the far end of a null-modem pair of COM ports (com0com; under wine
// two linked pseudo-terminals mapped to COM ports): the program opens the near port by name, the
// test reads what arrives on the far one. TAVRIX_TEST_COM_PAIRS names the pairs, "COM11:COM12"
// separated by commas; each fixture takes the next pair in turn, so a test holding two fixtures
// at once gets two lines.
class PtyPair
{
public:
    PtyPair()
    {
        const QStringList pairs =
            qEnvironmentVariable("TAVRIX_TEST_COM_PAIRS").split(u',', Qt::SkipEmptyParts);
        if (pairs.isEmpty())
            return;
        static int next = 0;
        const QStringList ends = pairs.at(next++ % pairs.size()).split(u':');
        if (ends.size() != 2)
            return;
        m_name = ends.at(0);
        const std::wstring farPath = (QStringLiteral("\\\\.\\") + ends.at(1)).toStdWString();
        m_far = CreateFileW(farPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
        if (m_far == INVALID_HANDLE_VALUE)
            return;
        DCB line{};
        line.DCBlength = sizeof line;
        GetCommState(m_far, &line);
        line.fBinary = TRUE;
        line.ByteSize = 8;
        line.Parity = NOPARITY;
        line.StopBits = ONESTOPBIT;
        line.fOutxCtsFlow = line.fOutxDsrFlow = line.fOutX = line.fInX = FALSE;
        SetCommState(m_far, &line);
        // A read returns at once with what is there.
        COMMTIMEOUTS immediate{MAXDWORD, 0, 0, 0, 0};
        SetCommTimeouts(m_far, &immediate);
        // Whatever an earlier test left on the line is not this one's.
        QThread::msleep(20);
        ReadAvailable();
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Nothing from the Windows side can hold a COM port's output as XOFF would: a test that
    // needs it skips on kCanHoldOutput before it calls these.
    static constexpr bool kCanHoldOutput = false;
    void SuspendSlaveOutput() {}
    void ResumeSlaveOutput() {}

    bool IsValid() const { return m_far != INVALID_HANDLE_VALUE; }
    const QString& SlaveName() const { return m_name; } // "COM11"

    // Everything the far end has received so far (waits up to timeoutMs for the first byte).
    QByteArray ReadAll(int timeoutMs = 1000)
    {
        QByteArray result;
        for (int waited = 0; waited <= timeoutMs && result.isEmpty(); waited += 10) {
            result += ReadAvailable();
            if (result.isEmpty())
                QThread::msleep(10);
        }
        for (int idle = 0; idle < 5; ++idle) { // what is still on its way
            const QByteArray more = ReadAvailable();
            if (!more.isEmpty())
                idle = 0;
            result += more;
            QThread::msleep(10);
        }
        return result;
    }

    // What has arrived on the far end by now, without waiting.
    QByteArray ReadAvailable()
    {
        QByteArray result;
        char buffer[4096];
        DWORD n = 0;
        while (m_far != INVALID_HANDLE_VALUE &&
               ReadFile(m_far, buffer, sizeof buffer, &n, nullptr) && n > 0)
            result.append(buffer, int(n));
        return result;
    }

    // The display unplugged.
    void CloseMaster()
    {
        if (m_far != INVALID_HANDLE_VALUE)
            CloseHandle(m_far);
        m_far = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_far = INVALID_HANDLE_VALUE;
    QString m_name;
};

#else
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

    static constexpr bool kCanHoldOutput = true;

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

#endif
