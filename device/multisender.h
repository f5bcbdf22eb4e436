#pragma once

#include "device/devicesender.h"
#include "device/displaylist.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

// Sends one list of frames to several displays at once, each through a CDeviceSender of its own
// on a port of its own. Displays that name the same port are sent to one after another, never
// together (the port takes one holder at a time), in the order given; for a network port that
// means the same address and port, whatever word and name reach it (server names are looked up
// first, without blocking). A display that fails never
// stops the others; Cancel stops them all. Each display's sender writes its journal line, under
// the display's name.
//
//     CMultiSender multi;
//     connect(&multi, &CMultiSender::displayFinished, ...);
//     multi.Start(displays, frames);
//     multi.WaitForAll(); // or wait for finished() in a window
class CMultiSender : public QObject
{
    Q_OBJECT
public:
    explicit CMultiSender(QObject* parent = nullptr);
    ~CMultiSender() override; // cancels what still runs

    // False while a send runs or with no display; otherwise every display gets displayFinished,
    // then finished() follows.
    // message: the texts of the results (a message's, the device settings').
    bool Start(const QList<DisplayEntry>& displays, const QList<CDeviceSender::Frame>& frames,
               CDeviceSender::MessageOf message = &CDeviceSender::TextMessage);
    // Runs a local event loop until every display is done; cancels them all when it is ended
    // from outside.
    void WaitForAll();
    void Cancel();
    // One display only (removed from the list while it is sent to): a waiting one never starts.
    void Cancel(int index);

    bool IsRunning() const { return m_nRunning > 0; }
    int Count() const { return int(m_targets.size()); }
    const DisplayEntry& Display(int index) const { return m_targets[std::size_t(index)]->display; }
    // How the display's transfer ended: the bytes that left and, when its port would not open,
    // why. One cancelled before its turn came is Cancelled with nothing sent.
    const TransferOutcome& Outcome(int index) const
    {
        return m_targets[std::size_t(index)]->outcome;
    }
    CDeviceSender::Result Result(int index) const { return Outcome(index).result; }
    // The display's own sender, for what its job shows while it runs.
    const CDeviceSender& Sender(int index) const { return *m_targets[std::size_t(index)]->sender; }
    bool IsDone(int index) const { return m_targets[std::size_t(index)]->state == State::Done; }
    int OkCount() const;
    // What identifies a port whatever word names it ("COM1" and "/dev/ttyS0", "pts/3" and
    // "/dev/pts/3" on Linux; a server's host and port whatever the scheme). Servers named
    // differently are told apart by their addresses as well.
    static QString PortKey(const QString& word);

    // Replaces each sender's pauses by a call (tests); see CDeviceSender::SetWaitFunction.
    void SetWaitFunction(std::function<void(int ms)> wait) { m_wait = std::move(wait); }

Q_SIGNALS:
    void progress(int index, qint64 sent, qint64 total, qint64 msLeft);
    void displayFinished(int index, CDeviceSender::Result result);
    void finished();

private:
    enum class State { Waiting, Running, Done };
    struct Target {
        DisplayEntry display;
        std::unique_ptr<CDeviceSender> sender;
        State state = State::Waiting;
        TransferOutcome outcome;
        int next = -1;    // the display on the same port that follows this one
        QStringList keys; // the port key, and a server's endpoints once known
    };

    void LookUp(int index);
    void OnLookedUp(quint64 generation, int index, const QStringList& endpoints);
    void LaunchAll();
    void Launch(int index);
    void OnSenderFinished(int index, CDeviceSender::Result result);
    void Done(int index, CDeviceSender::Result result);

    std::vector<std::unique_ptr<Target>> m_targets;
    QList<CDeviceSender::Frame> m_frames;
    CDeviceSender::MessageOf m_message = &CDeviceSender::TextMessage;
    std::function<void(int ms)> m_wait;
    int m_nRunning = 0; // displays not yet done
    int m_nLookups = 0; // server names still being looked up; nothing starts before they are
    quint64 m_nGeneration = 0;
    QTimer m_lookupTimer;
};
