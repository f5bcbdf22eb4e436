#pragma once

#include "settings/pictureentry.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class CSerialPort;
class QThread;
struct WriteControl;

// Sends frames to the display through the configured port, with no widgets: the editor view,
// the device-settings dialog and the command line all send through it. Open, write, drain and
// close run as one job; the writing runs on a worker thread, so the thread that started the job
// keeps its event loop (windows repaint, timers fire) and may cancel at any time.
//
// From a window (the event loop keeps running):
//     CDeviceSender sender(settings.m_port);
//     connect(&sender, &CDeviceSender::progress, bar, ...);
//     if (!sender.StartText(stream, length))            // port not opened: nothing started;
//         inform(CDeviceSender::TextMessage(sender.GetResult()));  // the port's m_szLastError
//     else                                              // and m_nSystemError say why
//         ... finished(result) arrives later; Cancel() stops it ...
// From a command-line program (a QCoreApplication must exist; blocks the calling thread):
//     CDeviceSender sender(port);
//     sender.StartText(stream, length);
//     const CDeviceSender::Result result = sender.WaitForResult();
//
// A frame counts as sent only once its last byte has left the line; the waits after the device
// settings' frames start after that and are never shorter than asked.
class CDeviceSender : public QObject
{
    Q_OBJECT
public:
    enum class Result { Ok, OpenFailed, WriteFailed, Cancelled };
    Q_ENUM(Result)

    struct Frame {
        QByteArray bytes;
        int waitAfterMs = 0; // pause after the frame has drained, before the next one
    };

    static constexpr int kFlagsWaitMs = 3000;
    static constexpr int kPicturesWaitMs = 1000;

    explicit CDeviceSender(CSerialPort& port, QObject* parent = nullptr);
    ~CDeviceSender() override; // cancels a running job and waits for it

    // Each Start opens the port; false when it could not (GetResult() is then OpenFailed and no
    // signal follows) or when a job is already running. True: finished() will follow.
    bool StartText(const quint8* stream, int length);
    bool StartDeviceSettings(bool greeting, bool demoString, bool demoPictures,
                             const std::vector<PictureEntry>& pictures);
    bool Start(const QList<Frame>& frames);
    // Runs a local event loop until the job ends; returns at once when none runs.
    Result WaitForResult();
    // Stops writing, discards what the driver still holds, closes the port: Cancelled.
    void Cancel();

    // The pauses StartDeviceSettings puts after its two frames (tests shorten them).
    void SetSettingsWaits(int afterFlagsMs, int afterPicturesMs);
    // Called in place of each pause, which then counts as over (tests that record the pauses).
    void SetWaitFunction(std::function<void(int ms)> wait) { m_wait = std::move(wait); }

    bool IsRunning() const { return m_bRunning; }
    Result GetResult() const { return m_result; }
    qint64 BytesTotal() const { return m_nTotal; }
    qint64 BytesSent() const; // that have left the line, as far as the system tells or estimates
    qint64 MsLeft() const;

    // The texts the operator is shown for each result of a message or a device-settings job.
    static QString TextMessage(Result result);
    static QString SettingsMessage(Result result);

Q_SIGNALS:
    // About ten times a second while the job runs, and once more at its end.
    void progress(qint64 sent, qint64 total, qint64 msLeft);
    void finished(CDeviceSender::Result result);

private:
    void StartFrame();
    void OnFrameWritten();
    void StartWait(int ms);
    void OnWaitTimer();
    void NextFrame();
    void Finish(Result result);
    void ReportProgress();
    qint64 WaitsLeftMs() const;

    CSerialPort& m_port;
    QList<Frame> m_frames;
    int m_nFrame = 0;
    qint64 m_nTotal = 0;
    qint64 m_nDone = 0; // bytes of the frames already drained
    bool m_bRunning = false;
    bool m_bWaiting = false;
    Result m_result = Result::Ok;
    int m_nFlagsWaitMs = kFlagsWaitMs;
    int m_nPicturesWaitMs = kPicturesWaitMs;
    int m_nWaitMs = 0;
    Result m_afterWait = Result::Ok; // a failed frame still gets its pause, then ends the job
    std::function<void(int ms)> m_wait;
    std::unique_ptr<WriteControl> m_control;
    QThread* m_pWorker = nullptr;
    int m_outcome = 0;         // CSerialPort::WriteOutcome of the frame just written
    QElapsedTimer m_clock;     // since the job started
    QElapsedTimer m_waitClock; // since the current pause started
    QTimer m_waitTimer;
    QTimer m_progressTimer;
};
