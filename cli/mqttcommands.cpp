#include "cli/commandline.h"

#include "cli/clisettings.h"
#include "cli/messagesource.h"
#include "device/displaylist.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#ifdef TAVRIX_HAS_MQTT
#include "cli/publisher.h"
#include "cli/siteagent.h"
#endif

namespace
{

const QCommandLineOption kBrokerOption(QStringLiteral("broker"), QString(), QStringLiteral("URL"));
const QCommandLineOption kSiteOption(QStringLiteral("site"), QString(), QStringLiteral("ПЛОЩАДКА"));
const QCommandLineOption kUserOption(QStringLiteral("user"), QString(), QStringLiteral("ИМЯ"));
const QCommandLineOption kPasswordFileOption(QStringLiteral("password-file"), QString(),
                                             QStringLiteral("ФАЙЛ"));
const QCommandLineOption kCaFileOption(QStringLiteral("cafile"), QString(), QStringLiteral("ФАЙЛ"));
const QCommandLineOption kKeepaliveOption(QStringLiteral("keepalive"), QString(),
                                          QStringLiteral("СЕКУНДЫ"));
const QCommandLineOption kWaitOption(QStringLiteral("wait"), QString(), QStringLiteral("СЕКУНДЫ"));
const QCommandLineOption kTextOption(QStringLiteral("text"), QString(), QStringLiteral("РАЗМЕТКА"));
const QCommandLineOption kDisplayOption(QStringLiteral("display"), QString(),
                                        QStringLiteral("ИМЯ"));
const QCommandLineOption kAllOption(QStringLiteral("all"));
const QCommandLineOption kListOption(QStringLiteral("displays"), QString(), QStringLiteral("ФАЙЛ"));

[[maybe_unused]] const char* kPasswordVariable = "TAVRIX_MQTT_PASSWORD";

#ifdef TAVRIX_HAS_MQTT

bool ReadSeconds(const QCommandLineParser& parser, const QCommandLineOption& option, int low,
                 int high, int& seconds, CliFailure& failure)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    seconds = parser.value(option).toInt(&ok);
    if (ok && seconds >= low && seconds <= high)
        return true;
    failure = {ExitUsage,
               QCoreApplication::translate("CCommandLine", "«--%1» ждет число секунд от %2 до %3.")
                   .arg(option.names()[0])
                   .arg(low)
                   .arg(high)};
    return false;
}

// The broker, the site and the login; the password never comes from the command line, where
// every user of the machine could read it.
bool ReadBroker(const QCommandLineParser& parser, BrokerOptions& broker, QString& site,
                CliFailure& failure)
{
    for (const QCommandLineOption* option : {&kBrokerOption, &kSiteOption}) {
        if (!parser.isSet(*option)) {
            failure = {ExitUsage,
                       QCoreApplication::translate("CCommandLine", "Нужен параметр «--%1».")
                           .arg(option->names()[0])};
            return false;
        }
    }
    const QString why = broker.SetUrl(parser.value(kBrokerOption));
    if (!why.isEmpty()) {
        failure = {ExitUsage, why};
        return false;
    }
    site = parser.value(kSiteOption);
    const QString siteRefusal = CSiteAgent::TopicRefusal(site);
    if (site.isEmpty() || (!siteRefusal.isEmpty() && site != u"all")) {
        failure = {ExitUsage,
                   QCoreApplication::translate("CCommandLine", "Площадка «%1» не годится: %2.")
                       .arg(site, site.isEmpty()
                                      ? QCoreApplication::translate("CCommandLine", "имя пусто")
                                      : siteRefusal)};
        return false;
    }
    if (parser.isSet(kCaFileOption) && !broker.tls) {
        failure = {ExitUsage, QCoreApplication::translate("CCommandLine",
                                                          "«--cafile» нужен только для mqtts://.")};
        return false;
    }
    broker.caFile = parser.value(kCaFileOption);
    if (parser.isSet(kPasswordFileOption) && !parser.isSet(kUserOption)) {
        failure = {ExitUsage,
                   QCoreApplication::translate("CCommandLine",
                                               "«--password-file» указывается вместе с «--user».")};
        return false;
    }
    broker.user = parser.value(kUserOption);
    if (parser.isSet(kPasswordFileOption)) {
        QFile file(parser.value(kPasswordFileOption));
        if (!file.open(QIODevice::ReadOnly)) {
            failure = {
                ExitFile,
                QCoreApplication::translate("CCommandLine", "Файл пароля «%1» не читается: %2.")
                    .arg(QDir::toNativeSeparators(file.fileName()), file.errorString())};
            return false;
        }
        broker.password = QString::fromUtf8(file.readLine()).remove(u'\n').remove(u'\r');
    } else if (qEnvironmentVariableIsSet(kPasswordVariable)) {
        broker.password = qEnvironmentVariable(kPasswordVariable);
    }
    return ReadSeconds(parser, kKeepaliveOption, 5, 3600, broker.keepalive, failure);
}

#else

QString NoMqttText()
{
    return QCoreApplication::translate("CCommandLine",
                                       "В этой сборке нет поддержки MQTT: команды agent и publish "
                                       "недоступны.");
}

#endif

} // namespace

QString CCommandLine::HelpText()
{
    return CommandsHelpText() +
           QCoreApplication::translate(
               "CCommandLine",
               "\n"
               "Табло площадок через брокер MQTT:\n"
               "  agent --broker URL --site ПЛОЩАДКА [--displays ФАЙЛ] [--user ИМЯ\n"
               "        --password-file ФАЙЛ] [--cafile ФАЙЛ] [--keepalive СЕКУНДЫ]\n"
               "      обслуживать табло площадки: сообщения с брокера на табло, итоги на брокер\n"
               "  publish ФАЙЛ | --text РАЗМЕТКА --broker URL --site ПЛОЩАДКА\n"
               "        (--display ИМЯ ... | --all) [--user ИМЯ --password-file ФАЙЛ]\n"
               "        [--cafile ФАЙЛ] [--wait СЕКУНДЫ]\n"
               "      опубликовать сообщение и ждать итогов: по строке на табло, затем итог;\n"
               "      код 6: площадка не ответила вовремя\n"
               "  URL: mqtt://ХОСТ[:ПОРТ] или mqtts://ХОСТ[:ПОРТ]; пароль из файла или из\n"
               "  переменной TAVRIX_MQTT_PASSWORD, никогда в командной строке\n");
}

bool CCommandLine::AgentDisplays(const QCommandLineParser& parser, QList<DisplayEntry>& displays,
                                 CliFailure& failure)
{
#ifdef TAVRIX_HAS_MQTT
    CDisplayList list;
    QString path;
    if (!LoadDisplays(parser, list, path, failure))
        return false;
    for (const DisplayEntry& entry : list.Entries()) {
        const QString why = CSiteAgent::TopicRefusal(entry.name);
        if (why.isEmpty())
            displays.append(entry);
        else
            m_console.Error(
                QCoreApplication::translate("CCommandLine", "%1: табло «%2» пропущено: %3.")
                    .arg(QDir::toNativeSeparators(path), entry.name, why));
    }
    if (!displays.isEmpty())
        return true;
    failure = {ExitFile,
               QCoreApplication::translate("CCommandLine", "В списке «%1» нет ни одного табло.")
                   .arg(QDir::toNativeSeparators(path))};
#else
    Q_UNUSED(parser)
    Q_UNUSED(displays)
    failure = {ExitUsage, NoMqttText()};
#endif
    return false;
}

int CCommandLine::Agent()
{
    QCommandLineParser parser;
    parser.addOptions({kBrokerOption, kSiteOption, kListOption, kUserOption, kPasswordFileOption,
                       kCaFileOption, kKeepaliveOption});
    CliFailure failure;
    if (!Parse(parser, 0, failure))
        return Fail(failure);
#ifdef TAVRIX_HAS_MQTT
    CSiteAgent::Options options;
    if (!ReadBroker(parser, options.broker, options.site, failure) ||
        !AgentDisplays(parser, options.displays, failure))
        return Fail(failure);
    const CCliSettings settings(m_programDir);
    settings.NoteDefaults(m_console);
    options.capacity = settings.MessageCapacity();
    return CSiteAgent(options, m_console).Run();
#else
    return Fail({ExitUsage, NoMqttText()});
#endif
}

int CCommandLine::Publish()
{
    QCommandLineParser parser;
    parser.addOptions({kBrokerOption, kSiteOption, kUserOption, kPasswordFileOption, kCaFileOption,
                       kKeepaliveOption, kWaitOption, kTextOption, kDisplayOption, kAllOption});
    CliFailure failure;
    if (!Parse(parser, 1, failure))
        return Fail(failure);
#ifdef TAVRIX_HAS_MQTT
    CPublisher::Options options;
    if (!ReadBroker(parser, options.broker, options.site, failure) ||
        !ReadSeconds(parser, kWaitOption, 1, 86400, options.waitS, failure))
        return Fail(failure);
    if (parser.isSet(kAllOption) == parser.isSet(kDisplayOption))
        return Fail(
            {ExitUsage, QCoreApplication::translate(
                            "CCommandLine", "Укажите «--display» или «--all», одно из двух.")});
    for (const QString& name : parser.values(kDisplayOption)) {
        const QString why = CSiteAgent::TopicRefusal(name);
        if (!why.isEmpty() || name.isEmpty())
            return Fail({ExitUsage,
                         QCoreApplication::translate("CCommandLine", "Табло «%1» не годится: %2.")
                             .arg(name, why)});
        if (!options.displays.contains(name))
            options.displays.append(name);
    }
    const CCliSettings settings(m_programDir);
    if (!ReadMessage(parser, options.stream, failure) ||
        !CMessageSource::CheckMessage(options.stream, settings.MessageCapacity(), failure))
        return Fail(failure);
    settings.NoteDefaults(m_console);
    return CPublisher(options, m_console).Run();
#else
    return Fail({ExitUsage, NoMqttText()});
#endif
}
