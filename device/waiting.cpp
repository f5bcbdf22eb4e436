#include "device/waiting.h"

#include <QEventLoop>
#include <QTimer>

void PaintedWait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    // Input stays queued until the wait is over, so nothing can start a second transfer.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
