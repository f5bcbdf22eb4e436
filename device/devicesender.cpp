#include "device/devicesender.h"

#include "device/deviceframes.h"
#include "device/serialport.h"

#include <QEventLoop>
#include <QThread>
#include <algorithm>

namespace
{

constexpr int kProgressIntervalMs = 100;
// Before this much of a job has run, the speed seen so far says little: use the line's.
constexpr qint64 kRateSettleMs = 1000;

} // namespace

CDeviceSender::CDeviceSender(CSerialPort& port, QObject* parent)
    : QObject(parent), m_port(port), m_control(std::make_unique<WriteControl>())
{
    m_waitTimer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early: the device needs the whole pause.
    m_waitTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_waitTimer, &QTimer::timeout, this, &CDeviceSender::OnWaitTimer);
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &CDeviceSender::ReportProgress);
}

CDeviceSender::~CDeviceSender()
{
    if (m_pWorker) {
        m_port.Cancel(*m_control);
        m_pWorker->wait();
        delete m_pWorker;
    }
    if (m_bRunning)
        m_port.Close();
}

bool CDeviceSender::StartText(const quint8* stream, int length)
{
    return Start({Frame{DeviceFrames::TextFrame(stream, length), 0}});
}

bool CDeviceSender::StartDeviceSettings(bool greeting, bool demoString, bool demoPictures,
                                        const std::vector<PictureEntry>& pictures)
{
    return Start(
        {Frame{DeviceFrames::FlagsFrame(greeting, demoString, demoPictures), m_nFlagsWaitMs},
         Frame{DeviceFrames::PictureListFrame(pictures), m_nPicturesWaitMs}});
}

bool CDeviceSender::Start(const QList<Frame>& frames)
{
    if (m_bRunning)
        return false;
    if (!m_port.Open()) {
        m_port.Close();
        m_result = Result::OpenFailed;
        return false;
    }
    m_frames = frames;
    m_nFrame = 0;
    m_nDone = 0;
    m_nTotal = 0;
    m_afterWait = Result::Ok;
    for (const Frame& frame : frames)
        m_nTotal += frame.bytes.size();
    m_bRunning = true;
    m_clock.start();
    m_progressTimer.start();
    if (m_frames.isEmpty())
        QTimer::singleShot(0, this, [this] { Finish(Result::Ok); });
    else
        StartFrame();
    return true;
}

CDeviceSender::Result CDeviceSender::WaitForResult()
{
    if (m_bRunning) {
        QEventLoop loop;
        connect(this, &CDeviceSender::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_result;
}

void CDeviceSender::Cancel()
{
    if (!m_bRunning)
        return;
    if (m_pWorker) {
        m_port.Cancel(*m_control); // the worker stops within a slice and reports Cancelled
        return;
    }
    Finish(Result::Cancelled);
}

void CDeviceSender::SetSettingsWaits(int afterFlagsMs, int afterPicturesMs)
{
    m_nFlagsWaitMs = afterFlagsMs;
    m_nPicturesWaitMs = afterPicturesMs;
}

void CDeviceSender::StartFrame()
{
    const QByteArray bytes = m_frames.at(m_nFrame).bytes;
    // An empty frame stands for a list the device cannot take.
    if (bytes.isEmpty()) {
        QTimer::singleShot(0, this, [this] { Finish(Result::WriteFailed); });
        return;
    }
    m_port.ClearBuffers();
    m_control->cancel = false;
    m_control->accepted = 0;
    m_pWorker = QThread::create([this, bytes] {
        m_outcome = int(m_port.WriteDrained(bytes.constData(), bytes.size(), *m_control));
    });
    connect(m_pWorker, &QThread::finished, this, &CDeviceSender::OnFrameWritten);
    m_pWorker->start();
}

void CDeviceSender::OnFrameWritten()
{
    m_pWorker->wait();
    delete m_pWorker;
    m_pWorker = nullptr;
    const auto outcome = CSerialPort::WriteOutcome(m_outcome);
    if (outcome == CSerialPort::WriteOutcome::Cancelled) {
        Finish(Result::Cancelled);
        return;
    }
    if (outcome == CSerialPort::WriteOutcome::Drained)
        m_nDone += m_frames.at(m_nFrame).bytes.size();
    else
        m_afterWait = Result::WriteFailed; // the device still gets its pause after a torn frame
    const int waitMs = m_frames.at(m_nFrame).waitAfterMs;
    if (waitMs > 0)
        StartWait(waitMs);
    else
        NextFrame();
}

void CDeviceSender::StartWait(int ms)
{
    if (m_wait) {
        m_wait(ms);
        NextFrame();
        return;
    }
    m_bWaiting = true;
    m_nWaitMs = ms;
    m_waitClock.start();
    m_waitTimer.start(ms);
}

void CDeviceSender::OnWaitTimer()
{
    const qint64 left = m_nWaitMs - m_waitClock.elapsed();
    if (left > 0) {
        m_waitTimer.start(int(left));
        return;
    }
    m_bWaiting = false;
    NextFrame();
}

void CDeviceSender::NextFrame()
{
    if (m_afterWait != Result::Ok)
        Finish(m_afterWait);
    else if (++m_nFrame >= m_frames.size())
        Finish(Result::Ok);
    else
        StartFrame();
}

void CDeviceSender::Finish(Result result)
{
    m_waitTimer.stop();
    m_progressTimer.stop();
    m_bWaiting = false;
    m_port.Close();
    m_bRunning = false;
    m_result = result;
    if (result == Result::Ok)
        m_nDone = m_nTotal;
    Q_EMIT progress(BytesSent(), m_nTotal, 0);
    Q_EMIT finished(result);
}

qint64 CDeviceSender::BytesSent() const
{
    if (!m_pWorker)
        return m_nDone;
    // Bytes the system has taken but still holds have not reached the line yet. Where it cannot
    // say how many it holds, they are counted as leaving at the line's speed.
    const qint64 accepted = m_control->accepted;
    const qint64 queued = m_port.QueuedOutput();
    qint64 sent = accepted - std::clamp<qint64>(queued, 0, accepted);
    if (queued < 0) {
        const auto carried = qint64(m_clock.elapsed() * m_port.CharactersPerSecond() / 1000.0);
        sent = std::min(accepted, std::max<qint64>(0, carried - m_nDone));
    }
    return m_nDone + sent;
}

qint64 CDeviceSender::MsLeft() const
{
    if (!m_bRunning)
        return 0;
    const qint64 sent = BytesSent();
    const qint64 elapsed = m_clock.elapsed();
    double perMs = m_port.CharactersPerSecond() / 1000.0;
    // A pseudo-terminal or a USB adapter may carry more than the configured speed says.
    if (elapsed >= kRateSettleMs && sent > 0)
        perMs = std::max(perMs, double(sent) / double(elapsed));
    return qint64(double(m_nTotal - sent) / perMs) + WaitsLeftMs();
}

qint64 CDeviceSender::WaitsLeftMs() const
{
    qint64 left = m_bWaiting ? std::max<qint64>(0, m_nWaitMs - m_waitClock.elapsed()) : 0;
    const int firstPending = m_bWaiting ? m_nFrame + 1 : m_nFrame;
    for (int i = std::max(firstPending, 0); i < m_frames.size(); ++i)
        left += m_frames.at(i).waitAfterMs;
    return left;
}

void CDeviceSender::ReportProgress()
{
    Q_EMIT progress(BytesSent(), m_nTotal, MsLeft());
}

QString CDeviceSender::TextMessage(Result result)
{
    switch (result) {
    case Result::Ok:
        return QStringLiteral("Передача данных успешно завершена!!!");
    case Result::OpenFailed:
        return QStringLiteral("Не удается открыть последовательный порт.");
    case Result::WriteFailed:
        return QStringLiteral("Передача данных не удалась.");
    case Result::Cancelled:
        break;
    }
    return QStringLiteral("Передача прервана.");
}

QString CDeviceSender::SettingsMessage(Result result)
{
    switch (result) {
    case Result::Ok:
        return QStringLiteral("Настройки успешно переданы в устройство!");
    case Result::OpenFailed:
        return QStringLiteral("Не удается открыть порт. Проверьте настройки последовательного "
                              "порта.");
    case Result::WriteFailed:
        return QStringLiteral("Не удается передать настройки в устройство.");
    case Result::Cancelled:
        break;
    }
    return QStringLiteral("Передача прервана.");
}
