#include "cli/siteagent.h"

#include "cli/console.h"
#include "cli/interruptwatcher.h"
#include "cli/messagesource.h"
#include "cli/transferreport.h"
#include "device/deviceframes.h"
#include "device/multisender.h"
#include "device/transferjournal.h"
#include "settings/uilanguage.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace
{

const QString kAll = QStringLiteral("all");

bool IsDelivered(const QString& word)
{
    return word == u"ok" || word == u"handed-to-server";
}

} // namespace

CSiteAgent::CSiteAgent(Options options, CConsole& console)
    : m_options(std::move(options)), m_console(console)
{
    for (const DisplayEntry& entry : m_options.displays)
        m_displays.push_back(Display{entry, {}, {}, {}, {}, {}, -1});
    if (m_options.statePath.isEmpty())
        m_options.statePath = StatePath(m_options.site);
}

CSiteAgent::~CSiteAgent() = default;

QString CSiteAgent::TopicRefusal(const QString& name)
{
    if (name.contains(u'/') || name.contains(u'+') || name.contains(u'#'))
        return QCoreApplication::translate("CSiteAgent",
                                           "«/», «+» и «#» в имени не годятся для темы брокера");
    if (name == kAll)
        return QCoreApplication::translate("CSiteAgent",
                                           "имя «all» у брокера значит «все табло площадки»");
    return QString();
}

QString CSiteAgent::StatePath(const QString& site)
{
    return QFileInfo(CTransferJournal::DefaultPath())
        .dir()
        .filePath(QStringLiteral("agent-%1.json").arg(site));
}

QString CSiteAgent::Topic(const QString& site, const QString& level, const QString& leaf)
{
    return QStringLiteral("tavrix/%1/%2/%3").arg(site, level, leaf);
}

int CSiteAgent::Run()
{
    LoadState();
    m_client = std::make_unique<CMqttClient>(m_options.broker,
                                             QStringLiteral("tavrix-agent-") + m_options.site);
    const QString status = QStringLiteral("tavrix/%1/status").arg(m_options.site);
    m_client->SetWill(status, "offline");
    connect(m_client.get(), &CMqttClient::connected, this, &CSiteAgent::OnConnected);
    connect(m_client.get(), &CMqttClient::messageArrived, this, &CSiteAgent::OnMessage);
    connect(m_client.get(), &CMqttClient::published, this, &CSiteAgent::OnPublished);
    connect(m_client.get(), &CMqttClient::connectionLost, this,
            [this](const QString& reason, int retryS) {
                m_console.Error(QCoreApplication::translate("CSiteAgent",
                                                            "Нет связи с брокером %1: %2. "
                                                            "Новая попытка через %3 с.")
                                    .arg(m_options.broker.Url(), reason)
                                    .arg(retryS));
            });
    connect(m_client.get(), &CMqttClient::refused, this,
            [this](CMqttClient::Refusal, const QString& reason) {
                m_console.Error(reason);
                Stop(ExitPort);
            });
    CInterruptWatcher interrupt;
    connect(&interrupt, &CInterruptWatcher::interrupted, this, [this] { Stop(ExitOk); });
    QEventLoop loop;
    m_console.Error(QCoreApplication::translate("CSiteAgent", "Площадка «%1»: табло %2, брокер %3.")
                        .arg(m_options.site)
                        .arg(m_displays.size())
                        .arg(m_options.broker.Url()));
    m_client->Start(true);
    m_quit = [&loop] { loop.quit(); };
    loop.exec();
    return m_exitCode;
}

void CSiteAgent::OnConnected()
{
    m_console.Error(QCoreApplication::translate("CSiteAgent", "Связь с брокером %1 есть.")
                        .arg(m_options.broker.Url()));
    m_client->Publish(QStringLiteral("tavrix/%1/status").arg(m_options.site), "online", true);
    QJsonArray names;
    for (const Display& display : m_displays)
        names.append(display.entry.name);
    m_client->Publish(QStringLiteral("tavrix/%1/displays").arg(m_options.site),
                      QJsonDocument(names).toJson(QJsonDocument::Compact), true);
    m_client->Subscribe(Topic(m_options.site, QStringLiteral("+"), QStringLiteral("message")));
    for (int i = 0; i < int(m_displays.size()); ++i)
        PublishResult(i);
}

void CSiteAgent::OnMessage(const QString& topic, const QByteArray& payload, bool retained)
{
    const QStringList levels = topic.split(u'/');
    if (m_stopping || levels.size() != 4 || payload.isEmpty()) // empty: a retained one cleared
        return;
    const Work work{payload, QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex(),
                    levels[2]};
    bool known = work.source == kAll;
    for (int i = 0; i < int(m_displays.size()); ++i) {
        if (work.source == kAll || m_displays[std::size_t(i)].entry.name == work.source) {
            Take(i, work, retained);
            known = true;
        }
    }
    if (!known && !m_unknownNoted.contains(work.source)) {
        m_unknownNoted.insert(work.source);
        m_console.Error(QCoreApplication::translate("CSiteAgent",
                                                    "Сообщение для табло «%1», которого нет в "
                                                    "списке, пропущено.")
                            .arg(work.source));
    }
    Dispatch();
}

// A retained message comes back with every connection: the display that took it from that topic
// has it already. A message published now is sent unless the display shows it.
void CSiteAgent::Take(int index, const Work& work, bool retained)
{
    Display& display = m_displays[std::size_t(index)];
    if (work.hash == display.shown || (retained && display.taken.value(work.source) == work.hash))
        return;
    CliFailure failure;
    {
        const UiLanguage::SourceTexts sourceTexts;
        if (!CMessageSource::CheckPayload(work.payload, m_options.capacity, failure)) {
            Report(index, work, Outcome{QStringLiteral("refused"), 0, 0, failure.text});
            return;
        }
    }
    display.pending = work; // the newest wins over one still waiting
}

// Displays that wait for the same payload go together, like `send --all`; a port that a running
// send holds, or that another payload takes in this round, waits for its turn.
void CSiteAgent::Dispatch()
{
    if (m_stopping)
        return;
    QList<QByteArray> order;
    QHash<QByteArray, QList<int>> groups;
    QHash<QString, QByteArray> claimed;
    for (int i = 0; i < int(m_displays.size()); ++i) {
        Display& display = m_displays[std::size_t(i)];
        if (!display.pending || display.running)
            continue;
        if (display.pending->hash == display.shown) {
            display.pending.reset();
            continue;
        }
        const QString key = CMultiSender::PortKey(display.entry.config.portName);
        const QByteArray& hash = display.pending->hash;
        if (m_busyPorts.contains(key) || claimed.value(key, hash) != hash)
            continue;
        claimed.insert(key, hash);
        if (!groups.contains(hash))
            order.append(hash);
        groups[hash].append(i);
    }
    for (const QByteArray& hash : order)
        Launch(groups.value(hash));
}

void CSiteAgent::Launch(const QList<int>& indices)
{
    auto batch = std::make_unique<Batch>();
    batch->multi = std::make_unique<CMultiSender>();
    batch->displays = indices;
    QList<DisplayEntry> entries;
    QByteArray payload;
    for (int index : indices) {
        Display& display = m_displays[std::size_t(index)];
        display.running = std::move(display.pending);
        display.pending.reset();
        payload = display.running->payload;
        entries.append(display.entry);
        batch->portKeys.append(CMultiSender::PortKey(display.entry.config.portName));
        m_busyPorts.insert(batch->portKeys.last());
    }
    Batch* raw = batch.get();
    connect(raw->multi.get(), &CMultiSender::displayFinished, this,
            [this, raw](int index) { OnDisplayFinished(raw, index); });
    // Queued: the sender is destroyed there, after it has returned.
    connect(
        raw->multi.get(), &CMultiSender::finished, this, [this, raw] { OnBatchFinished(raw); },
        Qt::QueuedConnection);
    m_batches.push_back(std::move(batch));
    const QByteArray frame = DeviceFrames::TextFrame(
        reinterpret_cast<const quint8*>(payload.constData()), int(payload.size()));
    raw->multi->Start(entries, {CDeviceSender::Frame{frame, 0}});
}

// The one place that reads how a display's transfer went.
CSiteAgent::Outcome CSiteAgent::OutcomeOf(const CMultiSender& multi, int index)
{
    const TransferOutcome& done = multi.Outcome(index);
    return {CTransferJournal::Word(done.result, done.portWord), done.sent, done.total,
            TransferReport::DisplayText(multi, index, &CDeviceSender::TextMessage)};
}

void CSiteAgent::OnDisplayFinished(Batch* batch, int index)
{
    const int i = batch->displays.value(index);
    Display& display = m_displays[std::size_t(i)];
    const Work work = *display.running;
    display.running.reset();
    const Outcome outcome = OutcomeOf(*batch->multi, index);
    if (IsDelivered(outcome.word)) {
        display.shown = work.hash;
        display.taken.insert(work.source, work.hash);
        SaveState();
    }
    Report(i, work, outcome);
}

void CSiteAgent::OnBatchFinished(Batch* batch)
{
    for (const QString& key : batch->portKeys)
        m_busyPorts.remove(key);
    std::erase_if(m_batches,
                  [batch](const std::unique_ptr<Batch>& one) { return one.get() == batch; });
    if (m_stopping)
        Stop(m_exitCode);
    else
        Dispatch();
}

void CSiteAgent::Report(int index, const Work& work, const Outcome& outcome)
{
    Display& display = m_displays[std::size_t(index)];
    QJsonObject result;
    result.insert(QStringLiteral("result"), outcome.word);
    result.insert(QStringLiteral("sent"), outcome.sent);
    result.insert(QStringLiteral("total"), outcome.total);
    result.insert(QStringLiteral("sha256"), QString::fromLatin1(work.hash));
    result.insert(QStringLiteral("time"),
                  QDateTime::currentDateTime()
                      .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                      .toString(Qt::ISODate));
    result.insert(QStringLiteral("reason"), outcome.reason);
    result.insert(QStringLiteral("port"), display.entry.config.portName);
    display.unsent = QJsonDocument(result).toJson(QJsonDocument::Compact);
    m_console.Out(TransferReport::DisplayLine(display.entry.name, display.entry.config.portName,
                                              outcome.word + u' ' + outcome.reason));
    PublishResult(index);
}

// A result waits for the broker's acknowledgement: one the connection lost on its way is
// published again once the agent is back.
void CSiteAgent::PublishResult(int index)
{
    Display& display = m_displays[std::size_t(index)];
    if (display.unsent)
        display.messageId =
            m_client->Publish(Topic(m_options.site, display.entry.name, QStringLiteral("result")),
                              *display.unsent, true);
}

void CSiteAgent::OnPublished(int messageId)
{
    for (Display& display : m_displays) {
        if (display.unsent && display.messageId == messageId) {
            display.unsent.reset();
            display.messageId = -1;
        }
    }
}

// Running transfers are cancelled and their results published before the goodbye.
void CSiteAgent::Stop(int code)
{
    if (!m_stopping) {
        m_stopping = true;
        m_exitCode = code;
        for (const std::unique_ptr<Batch>& batch : m_batches)
            batch->multi->Cancel();
    }
    if (!m_batches.empty())
        return;
    m_client->Publish(QStringLiteral("tavrix/%1/status").arg(m_options.site), "offline", true);
    m_client->Stop();
    if (m_exitCode == ExitOk)
        m_console.Error(QCoreApplication::translate("CSiteAgent", "Агент площадки «%1» остановлен.")
                            .arg(m_options.site));
    if (m_quit)
        m_quit();
}

void CSiteAgent::LoadState()
{
    QFile file(m_options.statePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
    for (Display& display : m_displays) {
        const QJsonObject one = state.value(display.entry.name).toObject();
        display.shown = one.value(QStringLiteral("shown")).toString().toLatin1();
        const QJsonObject taken = one.value(QStringLiteral("taken")).toObject();
        for (auto it = taken.begin(); it != taken.end(); ++it)
            display.taken.insert(it.key(), it.value().toString().toLatin1());
    }
}

// Written whole or not at all: a state file torn by a crash would resend every message.
void CSiteAgent::SaveState() const
{
    QJsonObject state;
    for (const Display& display : m_displays) {
        if (display.shown.isEmpty())
            continue;
        QJsonObject taken;
        for (auto it = display.taken.begin(); it != display.taken.end(); ++it)
            taken.insert(it.key(), QString::fromLatin1(it.value()));
        state.insert(display.entry.name,
                     QJsonObject{{QStringLiteral("shown"), QString::fromLatin1(display.shown)},
                                 {QStringLiteral("taken"), taken}});
    }
    QDir().mkpath(QFileInfo(m_options.statePath).absolutePath());
    QSaveFile file(m_options.statePath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(state).toJson(QJsonDocument::Indented)) < 0 || !file.commit())
        m_console.Error(
            QCoreApplication::translate("CSiteAgent", "Файл состояния «%1» не записан: %2.")
                .arg(QDir::toNativeSeparators(m_options.statePath), file.errorString()));
}
