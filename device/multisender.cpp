#include "device/multisender.h"

#include "device/networkport.h"
#include "device/serialport.h"

#include <QEventLoop>
#include <QHash>
#include <QHostAddress>
#include <QHostInfo>

CMultiSender::CMultiSender(QObject* parent) : QObject(parent)
{
    // A name that takes longer than a connection may take: its displays go by their words.
    m_lookupTimer.setSingleShot(true);
    m_lookupTimer.setInterval(CNetworkPort::kConnectMs);
    connect(&m_lookupTimer, &QTimer::timeout, this, &CMultiSender::LaunchAll);
}

CMultiSender::~CMultiSender()
{
    Cancel();
}

QString CMultiSender::PortKey(const QString& word)
{
    if (CNetworkPort::IsNetworkWord(word)) {
        const auto address = CNetworkPort::Parse(word);
        return address ? CNetworkPort::Where(*address).toLower() : word.toLower();
    }
    const QString system = CSerialPort::SystemPortName(word);
#ifdef Q_OS_WIN
    return system.toUpper();
#else
    return system.startsWith(u'/') ? system : QStringLiteral("/dev/") + system;
#endif
}

bool CMultiSender::Start(const QList<DisplayEntry>& displays,
                         const QList<CDeviceSender::Frame>& frames,
                         CDeviceSender::MessageOf message)
{
    if (IsRunning() || displays.isEmpty())
        return false;
    m_targets.clear();
    m_frames = frames;
    m_message = message;
    ++m_nGeneration;
    m_nLookups = 0;
    for (const DisplayEntry& display : displays) {
        const int index = int(m_targets.size());
        auto target = std::make_unique<Target>();
        target->display = display;
        target->sender = std::make_unique<CDeviceSender>(display.config);
        target->sender->SetDisplay(display.name);
        target->outcome.result = CDeviceSender::Result::Cancelled;
        target->outcome.portWord = display.config.portName;
        target->outcome.display = display.name;
        target->outcome.message = message;
        if (m_wait)
            target->sender->SetWaitFunction(m_wait);
        connect(target->sender.get(), &CDeviceSender::progress, this,
                [this, index](qint64 sent, qint64 total, qint64 msLeft) {
                    Q_EMIT progress(index, sent, total, msLeft);
                });
        connect(target->sender.get(), &CDeviceSender::finished, this,
                [this, index](CDeviceSender::Result result) { OnSenderFinished(index, result); });
        target->keys = QStringList{PortKey(display.config.portName)};
        m_targets.push_back(std::move(target));
        LookUp(index);
    }
    m_nRunning = int(m_targets.size());
    if (m_nLookups == 0)
        LaunchAll();
    else
        m_lookupTimer.start();
    return true;
}

void CMultiSender::LookUp(int index)
{
    Target& target = *m_targets[std::size_t(index)];
    const auto address = CNetworkPort::Parse(target.display.config.portName);
    if (!address)
        return;
    if (!QHostAddress(address->host).isNull()) {
        target.keys += CNetworkPort::Endpoints(*address);
        return;
    }
    ++m_nLookups;
    QHostInfo::lookupHost(
        address->host, this,
        [this, generation = m_nGeneration, index, port = address->port](const QHostInfo& info) {
            OnLookedUp(generation, index, CNetworkPort::Endpoints(info.addresses(), port));
        });
}

void CMultiSender::OnLookedUp(quint64 generation, int index, const QStringList& endpoints)
{
    if (generation != m_nGeneration || m_nLookups == 0)
        return;
    m_targets[std::size_t(index)]->keys += endpoints;
    if (--m_nLookups == 0)
        LaunchAll();
}

// Displays that share a port key or a server endpoint, directly or through another display, form
// one chain in the order given; each chain starts with its first display.
void CMultiSender::LaunchAll()
{
    m_nLookups = 0;
    m_lookupTimer.stop();
    const int count = Count();
    std::vector<int> root(static_cast<std::size_t>(count));
    const auto find = [&root](int i) {
        while (root[std::size_t(i)] != i)
            i = root[std::size_t(i)] = root[std::size_t(root[std::size_t(i)])];
        return i;
    };
    QHash<QString, int> firstWithKey;
    for (int i = 0; i < count; ++i) {
        root[std::size_t(i)] = i;
        for (const QString& key : std::as_const(m_targets[std::size_t(i)]->keys)) {
            if (const auto first = firstWithKey.constFind(key); first != firstWithKey.constEnd())
                root[std::size_t(find(i))] = find(*first);
            else
                firstWithKey.insert(key, i);
        }
    }
    QHash<int, int> lastInChain;
    QList<int> firsts;
    for (int i = 0; i < count; ++i) {
        const int chain = find(i);
        if (const auto last = lastInChain.constFind(chain); last != lastInChain.constEnd())
            m_targets[std::size_t(*last)]->next = i;
        else
            firsts.append(i);
        lastInChain.insert(chain, i);
    }
    for (const int index : firsts)
        Launch(index);
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
    target.sender->Start(m_frames, m_message);
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
    // One cancelled before its turn on the port came keeps the outcome it started with.
    if (target.state == State::Running)
        target.outcome = target.sender->Outcome();
    target.outcome.result = result;
    target.state = State::Done;
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
        count +=
            target->state == State::Done && target->outcome.result == CDeviceSender::Result::Ok;
    return count;
}
