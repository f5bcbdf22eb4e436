#include "device/multisender.h"

#include "device/networkport.h"
#include "device/serialport.h"

#include <QEventLoop>
#include <QHash>

CMultiSender::CMultiSender(QObject* parent) : QObject(parent) {}

CMultiSender::~CMultiSender()
{
    Cancel();
}

QString CMultiSender::PortKey(const QString& word)
{
    if (CNetworkPort::IsNetworkWord(word))
        return word.toLower();
    const QString system = CSerialPort::SystemPortName(word);
#ifdef Q_OS_WIN
    return system.toUpper();
#else
    return system.startsWith(u'/') ? system : QStringLiteral("/dev/") + system;
#endif
}

bool CMultiSender::Start(const QList<DisplayEntry>& displays,
                         const QList<CDeviceSender::Frame>& frames)
{
    if (IsRunning() || displays.isEmpty())
        return false;
    m_targets.clear();
    m_frames = frames;
    QHash<QString, int> lastOnPort;
    QList<int> firsts;
    for (const DisplayEntry& display : displays) {
        const int index = int(m_targets.size());
        auto target = std::make_unique<Target>();
        target->display = display;
        target->port = std::make_unique<CSerialPort>();
        target->port->SetConfig(display.config);
        target->sender = std::make_unique<CDeviceSender>(*target->port);
        if (m_wait)
            target->sender->SetWaitFunction(m_wait);
        connect(target->sender.get(), &CDeviceSender::progress, this,
                [this, index](qint64 sent, qint64 total, qint64 msLeft) {
                    Q_EMIT progress(index, sent, total, msLeft);
                });
        connect(target->sender.get(), &CDeviceSender::finished, this,
                [this, index](CDeviceSender::Result result) { OnSenderFinished(index, result); });
        const QString key = PortKey(display.config.portName);
        if (const auto last = lastOnPort.constFind(key); last != lastOnPort.constEnd())
            m_targets[std::size_t(*last)]->next = index;
        else
            firsts.append(index);
        lastOnPort.insert(key, index);
        m_targets.push_back(std::move(target));
    }
    m_nRunning = int(m_targets.size());
    for (const int index : firsts)
        Launch(index);
    return true;
}

void CMultiSender::Launch(int index)
{
    // One cancelled while it waited hands its turn on the port to the next.
    while (index >= 0 && m_targets[std::size_t(index)]->state != State::Waiting)
        index = m_targets[std::size_t(index)]->next;
    if (index < 0)
        return;
    Target& target = *m_targets[std::size_t(index)];
    target.state = State::Running;
    target.sender->Start(m_frames);
}

void CMultiSender::OnSenderFinished(int index, CDeviceSender::Result result)
{
    Done(index, result);
    const int next = m_targets[std::size_t(index)]->next;
    if (next >= 0)
        Launch(next);
}

void CMultiSender::Done(int index, CDeviceSender::Result result)
{
    Target& target = *m_targets[std::size_t(index)];
    if (target.state == State::Done)
        return;
    target.state = State::Done;
    target.result = result;
    --m_nRunning;
    Q_EMIT displayFinished(index, result);
    if (m_nRunning == 0)
        Q_EMIT finished();
}

void CMultiSender::WaitForAll()
{
    if (IsRunning()) {
        QEventLoop loop;
        connect(this, &CMultiSender::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    for (int i = 0; i < Count() && IsRunning(); ++i) {
        if (m_targets[std::size_t(i)]->state == State::Running)
            Done(i, m_targets[std::size_t(i)]->sender->CancelAndWait());
        else
            Done(i, CDeviceSender::Result::Cancelled);
    }
}

void CMultiSender::Cancel()
{
    for (int i = 0; i < Count(); ++i)
        Cancel(i);
}

void CMultiSender::Cancel(int index)
{
    Target& target = *m_targets[std::size_t(index)];
    if (target.state == State::Running)
        target.sender->Cancel(); // its finished() follows and starts the next on its port
    else if (target.state == State::Waiting)
        Done(index, CDeviceSender::Result::Cancelled);
}

int CMultiSender::OkCount() const
{
    int count = 0;
    for (const auto& target : m_targets)
        count += target->state == State::Done && target->result == CDeviceSender::Result::Ok;
    return count;
}
