#include "cli/publisher.h"

#include "cli/console.h"
#include "cli/exitcode.h"
#include "cli/siteagent.h"
#include "cli/transferreport.h"
#include "settings/uilanguage.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace
{

bool IsDelivered(const QString& word)
{
    return word == u"ok" || word == u"handed-to-server";
}

} // namespace

CPublisher::CPublisher(Options options, CConsole& console)
    : m_options(std::move(options)), m_console(console),
      m_hash(QCryptographicHash::hash(m_options.stream, QCryptographicHash::Sha256).toHex()),
      m_names(m_options.displays), m_namesKnown(!m_options.displays.isEmpty())
{
}

CPublisher::~CPublisher() = default;

int CPublisher::ExitCodeOf(const QString& word)
{
    if (IsDelivered(word))
        return ExitOk;
    if (word == u"open-failed")
        return ExitPort;
    if (word == u"refused")
        return ExitFile;
    return ExitTransfer;
}

int CPublisher::Run()
{
    m_client = std::make_unique<CMqttClient>(m_options.broker, QString());
    connect(m_client.get(), &CMqttClient::connected, this, &CPublisher::OnConnected);
    connect(m_client.get(), &CMqttClient::messageArrived, this, &CPublisher::OnMessage);
    connect(m_client.get(), &CMqttClient::refused, this,
            [this](CMqttClient::Refusal, const QString& reason) {
                m_console.Error(reason);
                Finish(ExitPort);
            });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [this] { Summarise(); });
    deadline.start(m_options.waitS * 1000);
    QEventLoop loop;
    m_quit = [&loop] { loop.quit(); };
    m_client->Start(false);
    loop.exec();
    return m_exitCode;
}

void CPublisher::OnConnected()
{
    const QString& site = m_options.site;
    // Subscribed first: the broker handles one client's packets in order, so no result of this
    // message can pass unseen.
    m_client->Subscribe(CSiteAgent::Topic(site, QStringLiteral("+"), QStringLiteral("result")));
    if (!m_namesKnown)
        m_client->Subscribe(QStringLiteral("tavrix/%1/displays").arg(site));
    const QStringList levels = m_namesKnown ? m_names : QStringList{QStringLiteral("all")};
    for (const QString& level : levels)
        m_client->Publish(CSiteAgent::Topic(site, level, QStringLiteral("message")),
                          m_options.stream, true);
}

void CPublisher::OnMessage(const QString& topic, const QByteArray& payload, bool retained)
{
    const QStringList levels = topic.split(u'/');
    if (m_done || levels.size() < 3)
        return;
    if (levels.size() == 3 && levels[2] == u"displays") {
        if (!m_namesKnown)
            for (const QJsonValue& name : QJsonDocument::fromJson(payload).array())
                m_names.append(name.toString());
        m_namesKnown = true;
        return;
    }
    const QString name = levels.value(2);
    const QJsonObject result = QJsonDocument::fromJson(payload).object();
    const QString word = result.value(QStringLiteral("result")).toString();
    // A retained result of this very payload that did not succeed is an earlier attempt: the
    // agent tries again and answers anew. One that succeeded stands: the agent will not resend.
    if (!m_names.contains(name) || m_answers.contains(name) ||
        result.value(QStringLiteral("sha256")).toString().toLatin1() != m_hash ||
        (retained && !IsDelivered(word)))
        return;
    const Answer answer{result.value(QStringLiteral("port")).toString(), word,
                        result.value(QStringLiteral("reason")).toString()};
    m_answers.insert(name, answer);
    m_console.Out(TransferReport::DisplayLine(name, answer.port, answer.reason));
    if (m_namesKnown && m_answers.size() == m_names.size())
        Summarise();
}

void CPublisher::Summarise()
{
    if (m_done)
        return;
    int code = ExitOk;
    int ok = 0;
    for (const QString& name : m_names) {
        const auto answer = m_answers.constFind(name);
        if (answer == m_answers.cend()) {
            const UiLanguage::SourceTexts sourceTexts;
            m_console.Out(TransferReport::DisplayLine(
                name, QStringLiteral("-"),
                QCoreApplication::translate("CPublisher", "Нет ответа за %1 с.")
                    .arg(m_options.waitS)));
            code = std::max<int>(code, ExitNoAnswer);
            continue;
        }
        ok += IsDelivered(answer->word) ? 1 : 0;
        code = std::max(code, ExitCodeOf(answer->word));
    }
    if (!m_namesKnown) {
        m_console.Error(QCoreApplication::translate("CPublisher",
                                                    "Площадка «%1» не ответила за %2 с: ее агент "
                                                    "ни разу не был на связи с брокером.")
                            .arg(m_options.site)
                            .arg(m_options.waitS));
        Finish(ExitNoAnswer);
        return;
    }
    m_console.Out(QCoreApplication::translate("CCommandLine", "Передано на %1 из %2 табло.")
                      .arg(ok)
                      .arg(m_names.size()) +
                  u'\n');
    Finish(code);
}

void CPublisher::Finish(int code)
{
    if (m_done)
        return;
    m_done = true;
    m_exitCode = code;
    m_client->Stop();
    m_quit();
}
