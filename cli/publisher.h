#pragma once

#include "cli/mqttclient.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class CConsole;

// Publishes a message (retained) for displays of a site and waits for each one's result with
// the same hash, which the site's agent publishes once the transfer has ended: a line per
// display as `send --all` prints it, then the total.
class CPublisher : public QObject
{
    Q_OBJECT
public:
    struct Options {
        BrokerOptions broker;
        QString site;
        QStringList displays; // empty: every display of the site
        QByteArray stream;
        int waitS = 60;
    };

    CPublisher(Options options, CConsole& console);
    ~CPublisher() override;

    // The exit status `send --all` would give, or ExitNoAnswer for a display that did not answer
    // in time, ExitPort for a broker that refused or could not be reached.
    int Run();

    // The status for a published result word.
    static int ExitCodeOf(const QString& word);

private:
    struct Answer {
        QString port;
        QString word;
        QString reason;
    };

    void OnConnected();
    void OnMessage(const QString& topic, const QByteArray& payload, bool retained);
    void Finish(int code);
    void Summarise();

    Options m_options;
    CConsole& m_console;
    QByteArray m_hash;
    std::unique_ptr<CMqttClient> m_client;
    QStringList m_names; // the displays awaited, in the order given or the agent's
    QHash<QString, Answer> m_answers;
    bool m_namesKnown = false;
    bool m_done = false;
    int m_exitCode = 0;
    std::function<void()> m_quit;
};
