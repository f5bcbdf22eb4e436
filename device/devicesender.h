#pragma once

#include "device/transferoutcome.h"
#include "settings/pictureentry.h"
#include "settings/portconfig.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

// Sends frames to the display through the configured port, with no widgets: the editor view,
// the device-settings dialog and the command line all send through it. Open, write, drain, the
// pauses and close run as one job on a thread of its own, so the thread that started the job
// keeps its event loop (windows repaint, timers fire), may cancel at any time, and never waits
// for the job without a deadline. Each job that carries frames writes its line in the journal of
// transfers when it ends, whoever started it.
//
// From a window (the event loop keeps running):
//     CDeviceSender sender(config);
//     connect(&sender, &CDeviceSender::progress, bar, ...);
//     sender.StartText(stream, length);  // finished(result) arrives later; Cancel() stops it.
//     // Outcome(): the bytes that left and, when the port would not open, why.
// From a command-line program (a QCoreApplication must exist; blocks the calling thread):
//     CDeviceSender sender(config);
//     sender.StartText(stream, length);
//     const CDeviceSender::Result result = sender.WaitForResult();
//
// A frame counts as sent only once the system reports it drained and the line has had the time
// to carry it; the pauses after the device settings' frames start after that and are never
// shorter than asked. A cancel holds from the moment it is asked, whatever the job is doing.
class CDeviceSender : public QObject
{
    Q_OBJECT
public:
    using Result = TransferOutcome::Result;
    using MessageOf = TransferOutcome::MessageOf;

    struct Frame {
        QByteArray bytes;
        int waitAfterMs = 0; // pause after the frame has drained, before the next one
    };

    static constexpr int kFlagsWaitMs = 3000;
    static constexpr int kPicturesWaitMs = 1000;
    // Beyond the time its frames and pauses may take, what a job may spend opening and closing
    // the port (a tty's close may wait for the driver) before it counts as failed.
    static constexpr int kDeadlineMarginMs = 10000;
    // How long a cancelled job's thread is waited for before it is left to end on its own.
    static constexpr int kCancelGraceMs = 2000;

    explicit CDeviceSender(const PortConfig& config, QObject* parent = nullptr);
    ~CDeviceSender() override; // cancels a running job and waits for it, within the grace

    // Each Start begins a job on a port of its own with the configuration given and returns
    // true: finished() follows, with OpenFailed when the port would not open. False only while a
    // job is running already. message: the texts of the job's results.
    bool StartText(const quint8* stream, int length);
    bool StartDeviceSettings(bool greeting, bool demoString, bool demoPictures,
                             const std::vector<PictureEntry>& pictures);
    bool Start(const QList<Frame>& frames, MessageOf message = &CDeviceSender::TextMessage);
    // The two frames of the device settings, each with its pause after it.
    static QList<Frame> SettingsFrames(bool greeting, bool demoString, bool demoPictures,
                                       const std::vector<PictureEntry>& pictures,
                                       int afterFlagsMs = kFlagsWaitMs,
                                       int afterPicturesMs = kPicturesWaitMs);
    // Runs a local event loop until the job ends; returns at once when none runs.
    Result WaitForResult();
    // Stops writing, discards what the driver still holds, closes the port: Cancelled.
    void Cancel();
    // Cancels and waits for the job's thread without an event loop, at most kCancelGraceMs (for
    // an owner whose event loop has been ended from outside); returns the result.
    Result CancelAndWait();

    // The pauses StartDeviceSettings puts after its two frames (tests shorten them).
    void SetSettingsWaits(int afterFlagsMs, int afterPicturesMs);
    // Called on the job's thread in place of each pause, which then counts as over (tests that
    // record the pauses).
    void SetWaitFunction(std::function<void(int ms)> wait) { m_wait = std::move(wait); }
    // Replaces kDeadlineMarginMs (tests of a port that never lets go).
    void SetDeadlineMargin(int ms) { m_nDeadlineMarginMs = ms; }
    // The named display the port belongs to, for the journal and the advice; empty (the default)
    // for the port of the settings file.
    void SetDisplay(const QString& name) { m_strDisplay = name; }

    bool IsRunning() const { return m_bRunning; }
    // The running job has its port open (opened() has come).
    bool HasOpened() const { return m_bOpened; }
    const PortConfig& Config() const { return m_config; }
    // For the jobs that start next.
    void SetConfig(const PortConfig& config) { m_config = config; }
    // How the last job ended; the default one before any.
    const TransferOutcome& Outcome() const { return m_outcome; }
    Result GetResult() const { return m_outcome.result; }
    qint64 BytesTotal() const { return m_nTotal; }
    qint64 BytesSent() const; // that have left the line, never ahead of the line's own speed
    qint64 MsLeft() const;

    // The outcome's Details() once the job has ended.
    QString ResultDetails() const;

    // The texts the operator is shown for each result of a message or a device-settings job.
    static QString TextMessage(Result result);
    static QString SettingsMessage(Result result);

Q_SIGNALS:
    // The job's port is open; its frames go out next.
    void opened();
    // About ten times a second while the job runs, and once more at its end.
    void progress(qint64 sent, qint64 total, qint64 msLeft);
    void finished(CDeviceSender::Result result);

private:
    struct Job;
    static void RunJob(const std::shared_ptr<Job>& job);
    static Result RunFrames(Job& job);
    static bool Pause(Job& job, int ms);

    void OnJobOpened(quint64 serial);
    void OnJobEnded(quint64 serial);
    void OnDeadline();
    void Finish(Result result);
    void Record() const;
    void LetJobGo();
    void ReportProgress();
    qint64 JobBudgetMs() const;

    PortConfig m_config;
    QString m_strDisplay;
    std::shared_ptr<Job> m_job;
    QList<Frame> m_frames;
    quint64 m_nSerial = 0;
    qint64 m_nTotal = 0;
    qint64 m_nSent = 0; // at the end of the last job
    bool m_bRunning = false;
    bool m_bOpened = false;
    bool m_bCancelled = false; // asked while the job ran
    TransferOutcome m_outcome;
    int m_nFlagsWaitMs = kFlagsWaitMs;
    int m_nPicturesWaitMs = kPicturesWaitMs;
    int m_nDeadlineMarginMs = kDeadlineMarginMs;
    std::function<void(int ms)> m_wait;
    QTimer m_deadline;
    QTimer m_progressTimer;
};
