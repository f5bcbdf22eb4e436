#pragma once

#include "procstatus.h"
#include "ptypair.h"

#include <QElapsedTimer>

#include <atomic>
#include <poll.h>
#include <thread>
#include <unistd.h>

// A display that takes in at most 110 bytes a second, as a slow one does: the far end of a
// pseudo-terminal read on a thread of its own, 11 bytes every tenth of a second. With a clock,
// the moment its first byte arrives is caught within a few milliseconds.
class SlowFarEnd
{
public:
    explicit SlowFarEnd(PtyPair& pty, const QElapsedTimer* clock = nullptr)
    {
        m_thread = std::thread([this, fd = pty.MasterFd(), clock] {
            pollfd one{fd, POLLIN, 0};
            while (!m_stop) {
                const bool first = m_received.isEmpty();
                if (first ? ::poll(&one, 1, 5) <= 0 : (usleep(100 * 1000), false))
                    continue;
                char buffer[11];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0 && first && clock)
                    m_firstMs = clock->elapsed();
                if (n > 0)
                    m_received.append(buffer, int(n));
            }
        });
    }
    ~SlowFarEnd() { Received(); }
    QByteArray Received()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_received;
    }
    qint64 FirstMs() const { return m_firstMs; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_firstMs{-1};
    QByteArray m_received;
    std::thread m_thread;
};
