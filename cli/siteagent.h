#pragma once

#include "cli/mqttclient.h"
#include "device/devicesender.h"
#include "device/displaylist.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CConsole;
class CMultiSender;

// Serves the displays of one site from a broker: a message published (retained) on
// tavrix/SITE/DISPLAY/message or tavrix/SITE/all/message is sent as `send` sends it, and its
// result is published on tavrix/SITE/DISPLAY/result; tavrix/SITE/status says whether the agent
// is there. A payload a display has shown is never sent to it again: the hash of what each
// display last took is kept in a state file, so a restart or a reconnect, which bring the
// retained messages back, sends only what is new.
class CSiteAgent : public QObject
{
    Q_OBJECT
public:
    struct Options {
        BrokerOptions broker;
        QString site;
        QList<DisplayEntry> displays;
        int capacity = 0;  // stream bytes a message may hold
        QString statePath; // StatePath(site) unless a test says otherwise
    };

    CSiteAgent(Options options, CConsole& console);
    ~CSiteAgent() override;

    // Until SIGTERM, SIGINT or SIGHUP (then the status "offline" is published and the transfers
    // that run are cancelled): ExitOk; a login or certificate refused: ExitPort.
    int Run();

    // Why a name cannot be one level of a topic; empty when it can.
    static QString TopicRefusal(const QString& name);
    // In the user's data folder, beside the journal.
    static QString StatePath(const QString& site);
    static QString Topic(const QString& site, const QString& level, const QString& leaf);

private:
    struct Work {
        QByteArray payload;
        QByteArray hash; // SHA-256, hex
        QString source;  // the topic's display level: the display's name or "all"
    };
    struct Display {
        DisplayEntry entry;
        std::optional<Work> pending;
        std::optional<Work> running;
        QByteArray shown;                 // hash of the payload last taken
        QHash<QString, QByteArray> taken; // the same, per source
        std::optional<QByteArray> unsent; // a result not yet acknowledged by the broker
        int messageId = -1;               // of the result's publishing
    };
    struct Batch {
        std::unique_ptr<CMultiSender> multi;
        QList<int> displays; // index in m_displays of each of multi's displays
        QStringList portKeys;
    };
    // What one finished display's transfer came to, as it is published.
    struct Outcome {
        QString word;
        qint64 sent = 0;
        qint64 total = 0;
        QString reason;
    };

    void OnConnected();
    void OnMessage(const QString& topic, const QByteArray& payload, bool retained);
    void Take(int index, const Work& work, bool retained);
    void Dispatch();
    void Launch(const QList<int>& indices);
    void OnDisplayFinished(Batch* batch, int index);
    void OnBatchFinished(Batch* batch);
    static Outcome OutcomeOf(const CMultiSender& multi, int index);
    void Report(int index, const Work& work, const Outcome& outcome);
    void PublishResult(int index);
    void OnPublished(int messageId);
    void Stop(int code);
    void LoadState();
    void SaveState() const;

    Options m_options;
    CConsole& m_console;
    std::unique_ptr<CMqttClient> m_client;
    std::vector<Display> m_displays;
    std::vector<std::unique_ptr<Batch>> m_batches;
    QSet<QString> m_busyPorts;
    QSet<QString> m_unknownNoted;
    std::function<void()> m_quit; // ends Run's event loop
    bool m_stopping = false;
    int m_exitCode = 0;
};
