#include "device/devicesender.h"

#include "device/deviceframes.h"
#include "device/serialport.h"
#include "device/transferjournal.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace
{

constexpr int kProgressIntervalMs = 100;

} // namespace

// What the job's thread and its owner share. The thread keeps it alive, so an owner that stops
// waiting (a deadline, its own end) can let the job finish on its own.
struct CDeviceSender::Job {
    // Set before the thread starts.
    QList<Frame> frames;
    std::function<void(int ms)> wait;
    quint64 serial = 0;
    double charsPerSecond = 1.0;
    CSerialPort port; // the job's own, on a copy of the configuration

    WriteControl control;
    std::atomic<qint64> done{0};           // bytes of the frames already sent
    std::atomic<int> frame{0};             // being written, or paused after
    std::atomic<qint64> pauseEndsAtMs{-1}; // while a pause runs

    std::mutex mutex;
    std::condition_variable endedCondition;
    bool ended = false;
    Result result = Result::Ok;
    CDeviceSender* owner = nullptr; // told when the job ends; withdrawn when it lets the job go
};

CDeviceSender::CDeviceSender(const PortConfig& config, QObject* parent)
    : QObject(parent), m_config(config)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &CDeviceSender::OnDeadline);
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &CDeviceSender::ReportProgress);
}

CDeviceSender::~CDeviceSender()
{
    if (!m_job)
        return;
    CSerialPort::Cancel(m_job->control);
    {
        std::unique_lock<std::mutex> lock(m_job->mutex);
        m_job->endedCondition.wait_for(lock, std::chrono::milliseconds(kCancelGraceMs),
                                       [this] { return m_job->ended; });
    }
    LetJobGo();
}

bool CDeviceSender::StartText(const quint8* stream, int length)
{
    return Start({Frame{DeviceFrames::TextFrame(stream, length), 0}});
}

bool CDeviceSender::StartDeviceSettings(bool greeting, bool demoString, bool demoPictures,
                                        const std::vector<PictureEntry>& pictures)
{
    return Start(SettingsFrames(greeting, demoString, demoPictures, pictures, m_nFlagsWaitMs,
                                m_nPicturesWaitMs),
                 &CDeviceSender::SettingsMessage);
}

QList<CDeviceSender::Frame> CDeviceSender::SettingsFrames(bool greeting, bool demoString,
                                                          bool demoPictures,
                                                          const std::vector<PictureEntry>& pictures,
                                                          int afterFlagsMs, int afterPicturesMs)
{
    return {Frame{DeviceFrames::FlagsFrame(greeting, demoString, demoPictures), afterFlagsMs},
            Frame{DeviceFrames::PictureListFrame(pictures), afterPicturesMs}};
}

bool CDeviceSender::Start(const QList<Frame>& frames, MessageOf message)
{
    if (m_bRunning)
        return false;
    auto job = std::make_shared<Job>();
    job->frames = frames;
    job->wait = m_wait;
    job->serial = ++m_nSerial;
    job->port.SetConfig(m_config);
    job->charsPerSecond = job->port.CharactersPerSecond();
    job->owner = this;
    m_job = job;
    m_frames = frames;
    m_nTotal = 0;
    for (const Frame& frame : frames)
        m_nTotal += frame.bytes.size();
    m_nSent = 0;
    m_outcome = TransferOutcome{};
    m_outcome.total = m_nTotal;
    m_outcome.portWord = m_config.portName;
    m_outcome.display = m_strDisplay;
    m_outcome.message = message;
    m_bRunning = true;
    m_bOpened = false;
    m_bCancelled = false;
    m_deadline.start(int(std::min<qint64>(JobBudgetMs(), std::numeric_limits<int>::max())));
    m_progressTimer.start();
    std::thread([job] { RunJob(job); }).detach();
    return true;
}

void CDeviceSender::RunJob(const std::shared_ptr<Job>& job)
{
    Result result = RunFrames(*job);
    job->control.step = int(PortStep::Closing);
    job->port.Close();
    if (job->control.cancel)
        result = Result::Cancelled;
    const std::lock_guard<std::mutex> guard(job->mutex);
    job->result = result;
    job->ended = true;
    job->endedCondition.notify_all();
    if (CDeviceSender* owner = job->owner) {
        QMetaObject::invokeMethod(
            owner, [owner, serial = job->serial] { owner->OnJobEnded(serial); },
            Qt::QueuedConnection);
    }
}

CDeviceSender::Result CDeviceSender::RunFrames(Job& job)
{
    WriteControl& control = job.control;
    if (control.cancel)
        return Result::Cancelled;
    if (!job.port.Open(&control))
        return Result::OpenFailed;
    {
        const std::lock_guard<std::mutex> guard(job.mutex);
        if (CDeviceSender* owner = job.owner) {
            QMetaObject::invokeMethod(
                owner, [owner, serial = job.serial] { owner->OnJobOpened(serial); },
                Qt::QueuedConnection);
        }
    }
    for (int i = 0; i < job.frames.size(); ++i) {
        const QByteArray& bytes = job.frames.at(i).bytes;
        // An empty frame stands for a list the device cannot take.
        if (bytes.isEmpty())
            return Result::WriteFailed;
        job.frame = i;
        job.port.ClearBuffers();
        const auto outcome = job.port.WriteDrained(bytes.constData(), bytes.size(), control);
        if (outcome == CSerialPort::WriteOutcome::Cancelled)
            return Result::Cancelled;
        const bool sent = outcome == CSerialPort::WriteOutcome::Drained;
        // A frame a server's connection lost on the way still counts what the server took.
        job.done += sent ? bytes.size() : control.acknowledged.load();
        control.firstByteAtMs = -1;
        control.accepted = 0;
        control.acknowledged = 0;
        // The device still gets its pause after a torn frame, before the job ends.
        if (!Pause(job, job.frames.at(i).waitAfterMs))
            return Result::Cancelled;
        if (!sent)
            return Result::WriteFailed;
    }
    return Result::Ok;
}

bool CDeviceSender::Pause(Job& job, int ms)
{
    if (ms <= 0)
        return !job.control.cancel;
    if (job.wait) {
        job.wait(ms);
        return !job.control.cancel;
    }
    // A steady clock at its full resolution: never shorter than asked.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    job.pauseEndsAtMs = CSerialPort::ClockMs() + ms;
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        if (job.control.cancel)
            break;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(end - now, std::chrono::milliseconds(10)));
    }
    job.pauseEndsAtMs = -1;
    return !job.control.cancel;
}

CDeviceSender::Result CDeviceSender::WaitForResult()
{
    if (m_bRunning) {
        QEventLoop loop;
        connect(this, &CDeviceSender::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Still running: the event loop was ended from outside (the application quits).
    return m_bRunning ? CancelAndWait() : m_outcome.result;
}

void CDeviceSender::Cancel()
{
    if (!m_bRunning)
        return;
    m_bCancelled = true;
    CSerialPort::Cancel(m_job->control); // the job stops within a slice and reports Cancelled
    if (m_deadline.remainingTime() > kCancelGraceMs)
        m_deadline.start(kCancelGraceMs);
}

CDeviceSender::Result CDeviceSender::CancelAndWait()
{
    if (!m_bRunning)
        return m_outcome.result;
    Cancel();
    {
        std::unique_lock<std::mutex> lock(m_job->mutex);
        m_job->endedCondition.wait_for(lock, std::chrono::milliseconds(kCancelGraceMs),
                                       [this] { return m_job->ended; });
    }
    OnJobEnded(m_job->serial);
    if (m_bRunning)
        OnDeadline();
    return m_outcome.result;
}

void CDeviceSender::OnJobOpened(quint64 serial)
{
    if (!m_bRunning || !m_job || m_job->serial != serial)
        return;
    m_bOpened = true;
    Q_EMIT opened();
}

void CDeviceSender::OnJobEnded(quint64 serial)
{
    if (!m_job || m_job->serial != serial)
        return;
    Result result;
    {
        const std::lock_guard<std::mutex> guard(m_job->mutex);
        if (!m_job->ended)
            return;
        result = m_job->result;
        if (result == Result::OpenFailed)
            m_outcome.refusal = m_job->port.Refusal();
        m_outcome.note = m_job->port.m_szTransferNote;
    }
    Finish(m_bCancelled ? Result::Cancelled : result);
}

// The job has not ended in the time it may take: it is told to stop and left to end on its own.
void CDeviceSender::OnDeadline()
{
    if (!m_bRunning)
        return;
    CSerialPort::Cancel(m_job->control);
    if (!m_bCancelled) {
        CSerialPort line;
        line.SetConfig(m_config);
        m_outcome.note = line.OverdueText(PortStep(m_job->control.step.load()));
    }
    Finish(m_bCancelled ? Result::Cancelled : Result::WriteFailed);
}

void CDeviceSender::SetSettingsWaits(int afterFlagsMs, int afterPicturesMs)
{
    m_nFlagsWaitMs = afterFlagsMs;
    m_nPicturesWaitMs = afterPicturesMs;
}

void CDeviceSender::Finish(Result result)
{
    m_deadline.stop();
    m_progressTimer.stop();
    m_nSent = result == Result::Ok ? m_nTotal : BytesSent();
    LetJobGo();
    m_bRunning = false;
    m_outcome.result = result;
    m_outcome.sent = m_nSent;
    Record();
    Q_EMIT progress(m_nSent, m_nTotal, 0);
    Q_EMIT finished(result);
}

void CDeviceSender::Record() const
{
    // A job with no frames only tries the port ("Проверить"): it is no transfer.
    if (!m_frames.isEmpty())
        CTransferJournal().Record(m_outcome);
}

void CDeviceSender::LetJobGo()
{
    if (!m_job)
        return;
    {
        const std::lock_guard<std::mutex> guard(m_job->mutex);
        m_job->owner = nullptr;
    }
    m_job.reset();
}

qint64 CDeviceSender::JobBudgetMs() const
{
    CSerialPort line;
    line.SetConfig(m_config);
    qint64 budget = m_nDeadlineMarginMs + line.OpenBudgetMs();
    for (const Frame& frame : m_frames) {
        const qint64 size = frame.bytes.size();
        budget += line.FrameBudgetMs(size) + line.LineTimeMs(size + 2) + frame.waitAfterMs;
    }
    return budget;
}

qint64 CDeviceSender::BytesSent() const
{
    if (!m_job)
        return m_nSent;
    // What the system took and no longer holds, but never more than the line could have carried
    // since the first byte: a bridge or a pseudo-terminal takes bytes faster than they leave.
    const WriteControl& control = m_job->control;
    const qint64 firstByteAt = control.firstByteAtMs;
    const qint64 accepted = control.accepted;
    const qint64 queued = control.queued;
    qint64 sent = accepted - std::clamp<qint64>(queued, 0, accepted);
    if (firstByteAt < 0)
        sent = 0;
    else {
        const double elapsed = double(CSerialPort::ClockMs() - firstByteAt);
        sent = std::min(sent, qint64(elapsed * m_job->charsPerSecond / 1000.0));
    }
    return std::min(m_nTotal, m_job->done + std::max<qint64>(0, sent));
}

qint64 CDeviceSender::MsLeft() const
{
    if (!m_bRunning || !m_job)
        return 0;
    const qint64 lineMs = qint64(double(m_nTotal - BytesSent()) * 1000.0 / m_job->charsPerSecond);
    const qint64 pauseEndsAt = m_job->pauseEndsAtMs;
    const int frame = m_job->frame;
    qint64 waits = pauseEndsAt >= 0 ? std::max<qint64>(0, pauseEndsAt - CSerialPort::ClockMs())
                                    : m_frames.value(frame).waitAfterMs;
    for (int i = frame + 1; i < m_frames.size(); ++i)
        waits += m_frames.at(i).waitAfterMs;
    return lineMs + waits;
}

void CDeviceSender::ReportProgress()
{
    Q_EMIT progress(BytesSent(), m_nTotal, MsLeft());
}

QString CDeviceSender::ResultDetails() const
{
    return m_bRunning ? QString() : m_outcome.Details();
}

QString CDeviceSender::TextMessage(Result result)
{
    switch (result) {
    case Result::Ok:
        return tr("Передача данных успешно завершена!!!");
    case Result::OpenFailed:
        return tr("Не удается открыть последовательный порт.");
    case Result::WriteFailed:
        return tr("Передача данных не удалась.");
    case Result::Cancelled:
        break;
    }
    return tr("Передача прервана.");
}

QString CDeviceSender::SettingsMessage(Result result)
{
    switch (result) {
    case Result::Ok:
        return tr("Настройки успешно переданы в устройство!");
    case Result::OpenFailed:
        return tr("Не удается открыть порт. Проверьте настройки последовательного "
                  "порта.");
    case Result::WriteFailed:
        return tr("Не удается передать настройки в устройство.");
    case Result::Cancelled:
        break;
    }
    return tr("Передача прервана.");
}
