#include "cli/commandline.h"

#include "cli/clisettings.h"
#include "cli/framedump.h"
#include "cli/interruptwatcher.h"
#include "cli/messagesource.h"
#include "cli/transferreport.h"
#include "device/deviceframes.h"
#include "device/devicesender.h"
#include "device/displaylist.h"
#include "device/multisender.h"
#include "device/portrefusal.h"
#include "device/serialport.h"
#include "settings/uilanguage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSerialPortInfo>
#include <algorithm>
#include <csignal>

namespace
{

// A reader that goes away (`| head -1`) must not end the program in the middle of a transfer:
// every job is finished and journalled, and the status says how the transfers went.
void KeepRunningWithoutReader()
{
#ifndef Q_OS_WIN
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

const QString kSend = QStringLiteral("send");
const QString kConvert = QStringLiteral("convert");
const QString kDump = QStringLiteral("dump");
const QString kPorts = QStringLiteral("ports");
const QString kDeviceSettings = QStringLiteral("device-settings");
const QString kDisplays = QStringLiteral("displays");
const QString kAgent = QStringLiteral("agent");
const QString kPublish = QStringLiteral("publish");

bool IsHelp(const QString& arg)
{
    return arg == u"-h" || arg == u"--help" || arg == u"-?";
}

bool IsVersion(const QString& arg)
{
    return arg == u"-v" || arg == u"--version";
}

// Without one Qt's platform plugin aborts the editor's start. A platform that needs no server
// (offscreen, vnc, eglfs) is the user's choice.
bool HasDisplayServer()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// A word that can only be meant as a command ("displays"), not a file for the editor to open.
bool IsCommandWord(const QString& arg)
{
    if (arg.isEmpty() || !arg[0].isLetter() || QFileInfo::exists(arg))
        return false;
    return std::all_of(arg.begin(), arg.end(), [](QChar ch) {
        return ch.unicode() < 0x80 && (ch.isLetterOrNumber() || ch == u'-');
    });
}

const QCommandLineOption kPortOption(QStringLiteral("port"), QString(), QStringLiteral("ПОРТ"));
const QCommandLineOption kBaudOption(QStringLiteral("baud"), QString(), QStringLiteral("СКОРОСТЬ"));
const QCommandLineOption kTextOption(QStringLiteral("text"), QString(), QStringLiteral("РАЗМЕТКА"));
const QCommandLineOption kHelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kDisplayOption(QStringLiteral("display"), QString(),
                                        QStringLiteral("ИМЯ"));
const QCommandLineOption kAllOption(QStringLiteral("all"));
const QCommandLineOption kListOption(QStringLiteral("displays"), QString(), QStringLiteral("ФАЙЛ"));
const QCommandLineOption kAddOption(QStringLiteral("add"), QString(), QStringLiteral("ИМЯ"));
const QCommandLineOption kRemoveOption(QStringLiteral("remove"), QString(), QStringLiteral("ИМЯ"));

QString UsbIds(const QSerialPortInfo& info)
{
    if (!info.hasVendorIdentifier() || !info.hasProductIdentifier())
        return QStringLiteral("-");
    return QStringLiteral("%1:%2")
        .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
}

// Qt's own texts are English; the two faults a user makes most are told in Russian.
QString ParseErrorText(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString dashes = unknown[0].size() > 1 ? QStringLiteral("--") : QStringLiteral("-");
        return QCoreApplication::translate("CCommandLine", "Неизвестный параметр «%1».")
            .arg(dashes + unknown[0]);
    }
    for (const QCommandLineOption* option :
         {&kPortOption, &kBaudOption, &kTextOption, &kDisplayOption, &kListOption, &kAddOption,
          &kRemoveOption}) {
        if (args.last() == QStringLiteral("--") + option->names()[0])
            return QCoreApplication::translate("CCommandLine", "После «%1» нужно значение.")
                .arg(args.last());
    }
    return QCoreApplication::translate("CCommandLine", "Ошибка в командной строке: %1")
        .arg(parser.errorText());
}

QString ProgressText(qint64 sent, qint64 total, qint64 msLeft)
{
    const qint64 percent = total > 0 ? sent * 100 / total : 100;
    return QCoreApplication::translate("CCommandLine",
                                       "Передача: %1 из %2 байт (%3 %), осталось %4 с")
        .arg(sent)
        .arg(total)
        .arg(percent)
        .arg(
            QLocale(QLocale::Russian).toString(double(std::max<qint64>(0, msLeft)) / 1000, 'f', 1));
}

} // namespace

bool CCommandLine::IsCommand(int argc, const char* const* argv)
{
    if (!HasDisplayServer())
        return true;
    if (argc < 2)
        return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    return IsHelp(first) || IsVersion(first) || first == kSend || first == kConvert ||
           first == kDump || first == kPorts || first == kDeviceSettings || first == kDisplays ||
           first == kAgent || first == kPublish;
}

CCommandLine::CCommandLine(const QStringList& arguments, const QString& programDir)
    : m_args(arguments), m_programDir(programDir)
{
}

int CCommandLine::Run()
{
    const QString command = m_args.value(1);
    if (IsHelp(command)) {
        m_console.Out(HelpText());
        return ExitOk;
    }
    if (IsVersion(command)) {
        m_console.Out(VersionText());
        return ExitOk;
    }
    if (command == kSend)
        return Send();
    if (command == kConvert)
        return Convert();
    if (command == kDump)
        return Dump();
    if (command == kPorts)
        return Ports();
    if (command == kDeviceSettings)
        return DeviceSettings();
    if (command == kDisplays)
        return Displays();
    if (command == kAgent)
        return Agent();
    if (command == kPublish)
        return Publish();
    if (IsCommandWord(command))
        return Fail({ExitUsage,
                     QCoreApplication::translate("CCommandLine",
                                                 "Неизвестная команда «%1». Справка: tavrix-editor "
                                                 "--help.")
                         .arg(command)});
    return Fail({ExitUsage, QCoreApplication::translate(
                                "CCommandLine", "Редактору нужен графический сеанс, а DISPLAY и "
                                                "WAYLAND_DISPLAY не заданы. Команды без окна: "
                                                "tavrix-editor --help.")});
}

QString CCommandLine::VersionText()
{
    return QStringLiteral("tavrix-editor %1\n").arg(QStringLiteral(TAVRIX_VERSION));
}

QString CCommandLine::CommandsHelpText()
{
    return QCoreApplication::translate(
        "CCommandLine",
        "Использование:\n"
        "  tavrix-editor [ФАЙЛ.tvd]            редактор сообщений (нужен графический сеанс)\n"
        "  tavrix-editor КОМАНДА [ПАРАМЕТРЫ]   без окна, в том числе по ssh и из cron\n"
        "\n"
        "Команды:\n"
        "  send ФАЙЛ [--port ПОРТ] [--baud СКОРОСТЬ]\n"
        "      передать сообщение на табло: ФАЙЛ.tvd или разметку ФАЙЛ.txt\n"
        "  send --text РАЗМЕТКА [--port ПОРТ] [--baud СКОРОСТЬ]\n"
        "      передать сообщение, записанное разметкой\n"
        "  convert ВХОД ВЫХОД\n"
        "      перевести .tvd в разметку .txt или .txt в .tvd\n"
        "  dump ФАЙЛ | dump --text РАЗМЕТКА\n"
        "      показать кадр, который ушел бы на табло, ничего не передавая\n"
        "  ports\n"
        "      последовательные порты: имя, описание, USB VID:PID (через табуляцию)\n"
        "  device-settings [--port ПОРТ] [--baud СКОРОСТЬ]\n"
        "      передать в табло список изображений и флаги из файла настроек\n"
        "  send ФАЙЛ | --text РАЗМЕТКА  (--display ИМЯ ... | --all) [--displays ФАЙЛ]\n"
        "  device-settings (--display ИМЯ ... | --all) [--displays ФАЙЛ]\n"
        "      то же на несколько табло из списка сразу: по строке на табло, затем итог\n"
        "  displays [--displays ФАЙЛ]\n"
        "      список табло: имя, порт, скорость (через табуляцию)\n"
        "  displays --add ИМЯ --port ПОРТ [--baud СКОРОСТЬ] | displays --remove ИМЯ\n"
        "      добавить табло в список или убрать из него\n"
        "\n"
        "Параметры:\n"
        "  --port ПОРТ       порт вместо указанного в файле настроек (COM1, ttyUSB0, ...)\n"
        "  --baud СКОРОСТЬ   скорость вместо указанной в файле настроек (110 ... 56000)\n"
        "  --text РАЗМЕТКА   сообщение в разметке вместо файла\n"
        "  --display ИМЯ     табло из списка (можно несколько раз); --all все табло\n"
        "  --displays ФАЙЛ   другой список табло вместо displays.ini рядом с настройками\n"
        "  -h, --help        эта справка\n"
        "  -v, --version     версия программы\n"
        "\n"
        "Разметка (UTF-8; на табло уходит Windows-1251):\n"
        "  {fN} шрифт N (0-9)        {iN} параметр i (0-9)      {vN} параметр v (1-9)\n"
        "  {sN} полная остановка на N (1-9)                      {eN} эффект N (0-4)\n"
        "  {xHH} байт HH: символ устройства (80-BF)\n"
        "  \\n или перевод строки: новая строка;  {{ фигурная скобка;  \\\\ обратная черта\n"
        "\n"
        "Файл настроек только читается. Без него send работает с --port и --baud.\n"
        "Коды выхода: 0 все байты ушли в линию, 2 неверная командная строка,\n"
        "3 файл, разметка или файл настроек, 4 порт не открылся, 5 передача не удалась\n"
        "(для нескольких табло: худший из исходов),\n"
        "130 передача прервана Ctrl+C (SIGINT), 143 сигналом SIGTERM, 129 SIGHUP.\n"
        "Подробнее: man tavrix-editor\n");
}

bool CCommandLine::Parse(QCommandLineParser& parser, int maxPositional, CliFailure& failure) const
{
    parser.addOption(kHelpOption);
    QStringList args = m_args.mid(2);
    args.prepend(m_args.value(0));
    if (!parser.parse(args)) {
        failure = {ExitUsage, ParseErrorText(parser, args)};
        return false;
    }
    if (parser.isSet(kHelpOption)) {
        failure = {ExitOk, QString()};
        return false;
    }
    // Qt would take the last of two values; a script that gives two has a fault to hear of.
    const QStringList names = parser.optionNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i] != kDisplayOption.names()[0] && names.indexOf(names[i], i + 1) > i) {
            failure = {ExitUsage,
                       QCoreApplication::translate("CCommandLine",
                                                   "Параметр «--%1» можно указать только один раз.")
                           .arg(names[i])};
            return false;
        }
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > maxPositional) {
        failure = {ExitUsage, QCoreApplication::translate("CCommandLine", "Лишний аргумент «%1».")
                                  .arg(positional[maxPositional])};
        return false;
    }
    return true;
}

bool CCommandLine::ReadMessage(const QCommandLineParser& parser, QByteArray& stream,
                               CliFailure& failure) const
{
    const QStringList files = parser.positionalArguments();
    const bool text = parser.isSet(kTextOption);
    if (text == !files.isEmpty()) {
        failure = {ExitUsage,
                   QCoreApplication::translate(
                       "CCommandLine", "Укажите сообщение: файл или --text, одно из двух.")};
        return false;
    }
    if (text)
        return CMessageSource::ParseMarkup(
            parser.value(kTextOption),
            QCoreApplication::translate("CCommandLine", "Разметка --text"), stream, failure);
    return CMessageSource::ReadMessage(files[0], stream, failure);
}

int CCommandLine::Fail(const CliFailure& failure)
{
    if (failure.code == ExitOk) { // help asked for after a command
        m_console.Out(HelpText());
        return ExitOk;
    }
    m_console.Error(failure.text);
    return failure.code;
}

int CCommandLine::Convert()
{
    QCommandLineParser parser;
    CliFailure failure;
    if (!Parse(parser, 2, failure))
        return Fail(failure);
    if (parser.positionalArguments().size() < 2)
        return Fail(
            {ExitUsage, QCoreApplication::translate(
                            "CCommandLine", "Команде convert нужны два файла: откуда и куда.")});
    const QString in = parser.positionalArguments()[0];
    const QString out = parser.positionalArguments()[1];
    const bool toMarkup = CMessageSource::IsMarkupFile(out);
    if (CMessageSource::IsMarkupFile(in) == toMarkup)
        return Fail({ExitUsage, QCoreApplication::translate(
                                    "CCommandLine", "Команде convert нужны файл .tvd и файл .txt: "
                                                    "первый читается, второй пишется.")});
    QByteArray stream;
    if (!CMessageSource::ReadMessage(in, stream, failure))
        return Fail(failure);
    if (!CMessageSource::WriteBytes(out, toMarkup ? CMessageSource::MarkupFile(stream) : stream,
                                    failure))
        return Fail(failure);
    return ExitOk;
}

// A dry run of send: the frame is shown even when send would refuse the message, and the refusal
// follows it.
int CCommandLine::Dump()
{
    QCommandLineParser parser;
    parser.addOption(kTextOption);
    CliFailure failure;
    if (!Parse(parser, 1, failure))
        return Fail(failure);
    const CCliSettings settings(m_programDir);
    settings.NoteDefaults(m_console);
    QByteArray stream;
    if (!ReadMessage(parser, stream, failure))
        return Fail(failure);
    m_console.Out(FrameDump::Text(stream));
    m_console.Out(QCoreApplication::translate(
                      "CCommandLine", "Кадр текста: %1 байт; сообщение: %2 байт из %3 возможных.\n")
                      .arg(stream.size() + 4)
                      .arg(stream.size())
                      .arg(settings.MessageCapacity()));
    if (!CMessageSource::CheckMessage(stream, settings.MessageCapacity(), failure))
        return Fail(failure);
    return ExitOk;
}

int CCommandLine::Ports()
{
    QCommandLineParser parser;
    CliFailure failure;
    if (!Parse(parser, 0, failure))
        return Fail(failure);
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.portName() < b.portName();
    });
    for (const QSerialPortInfo& info : ports) {
        const QString description =
            info.description().isEmpty() ? QStringLiteral("-") : info.description();
        m_console.Out(
            QStringLiteral("%1\t%2\t%3\n").arg(info.portName(), description, UsbIds(info)));
    }
    if (ports.isEmpty())
        m_console.Note(
            QCoreApplication::translate("CCommandLine", "Последовательные порты не найдены."));
    return ExitOk;
}

int CCommandLine::Send()
{
    QCommandLineParser parser;
    parser.addOptions(
        {kPortOption, kBaudOption, kTextOption, kDisplayOption, kAllOption, kListOption});
    CliFailure failure;
    if (!Parse(parser, 1, failure))
        return Fail(failure);
    CCliSettings settings(m_programDir);
    QByteArray stream;
    QList<DisplayEntry> displays;
    if (ChosenDisplays(parser, displays, failure)) {
        if (!ReadMessage(parser, stream, failure) ||
            !CMessageSource::CheckMessage(stream, settings.MessageCapacity(), failure))
            return Fail(failure);
        settings.NoteDefaults(m_console);
        const QByteArray frame = DeviceFrames::TextFrame(
            reinterpret_cast<const quint8*>(stream.constData()), int(stream.size()));
        return TransferToDisplays(
            displays, {CDeviceSender::Frame{frame, 0}}, &CDeviceSender::TextMessage,
            QCoreApplication::translate("CCommandLine", "Передано на %1 из %2 табло."));
    }
    if (!failure.text.isEmpty())
        return Fail(failure);
    PortConfig config;
    if (!settings.SetOverrides(parser.value(kPortOption), parser.value(kBaudOption), failure) ||
        !ReadMessage(parser, stream, failure) ||
        !CMessageSource::CheckMessage(stream, settings.MessageCapacity(), failure) ||
        !settings.PortConfigToUse(config, failure))
        return Fail(failure);
    settings.NoteDefaults(m_console);
    CInterruptWatcher interrupt; // before the port opens: no signal may leave it half written
    CDeviceSender sender(config);
    sender.StartText(reinterpret_cast<const quint8*>(stream.constData()), int(stream.size()));
    return Transfer(sender, &CDeviceSender::TextMessage, interrupt);
}

int CCommandLine::DeviceSettings()
{
    QCommandLineParser parser;
    parser.addOptions({kPortOption, kBaudOption, kDisplayOption, kAllOption, kListOption});
    CliFailure failure;
    if (!Parse(parser, 0, failure))
        return Fail(failure);
    CCliSettings settings(m_programDir);
    QList<DisplayEntry> displays;
    const bool several = ChosenDisplays(parser, displays, failure);
    if (!several && !failure.text.isEmpty())
        return Fail(failure);
    if (!settings.IsRead())
        return Fail({ExitFile, settings.UnreadText()});
    if (!settings.PromptTexts().isEmpty()) // the picture list could not be read
        return Fail({ExitFile, settings.PromptTexts().first()});
    const DeviceServiceSettings& device = settings.Settings().m_device;
    if (DeviceFrames::ShownCount(device.m_pPictures) > DeviceFrames::kMaxShownPictures)
        return Fail({ExitFile, DeviceFrames::TooManyShownText()});
    if (several)
        return TransferToDisplays(
            displays,
            CDeviceSender::SettingsFrames(device.m_bGreeting, device.m_bDemoString,
                                          device.m_bDemoPictures, device.m_pPictures),
            &CDeviceSender::SettingsMessage,
            QCoreApplication::translate("CCommandLine", "Настройки переданы на %1 из %2 табло."));
    PortConfig config;
    if (!settings.SetOverrides(parser.value(kPortOption), parser.value(kBaudOption), failure) ||
        !settings.PortConfigToUse(config, failure))
        return Fail(failure);
    CInterruptWatcher interrupt;
    CDeviceSender sender(config);
    sender.StartDeviceSettings(device.m_bGreeting, device.m_bDemoString, device.m_bDemoPictures,
                               device.m_pPictures);
    return Transfer(sender, &CDeviceSender::SettingsMessage, interrupt);
}

int CCommandLine::Transfer(CDeviceSender& sender, MessageOf message, CInterruptWatcher& interrupt)
{
    QObject::connect(&sender, &CDeviceSender::progress,
                     [this](qint64 sent, qint64 total, qint64 msLeft) {
                         m_console.Progress(ProgressText(sent, total, msLeft));
                     });
    QObject::connect(&interrupt, &CInterruptWatcher::interrupted, &sender, &CDeviceSender::Cancel);
    KeepRunningWithoutReader();
    const CDeviceSender::Result result = sender.WaitForResult();
    const TransferOutcome& outcome = sender.Outcome();
    if (result == CDeviceSender::Result::OpenFailed) {
        // The editor's reason, on one line so that a script's log keeps it whole.
        const QString reason = outcome.refusal.LastErrorText() + u' ' +
                               CPortRefusal::Details(outcome.refusal).simplified();
        return Fail({ExitPort, QCoreApplication::translate("CCommandLine", "%1 Порт «%2»: %3")
                                   .arg(message(result), outcome.portWord, reason)});
    }
    if (result == CDeviceSender::Result::Cancelled && interrupt.InterruptCode() != ExitOk)
        return Fail({interrupt.InterruptCode(), message(result)});
    const QString details = outcome.Details();
    const QString text = details.isEmpty() ? message(result) : message(result) + u' ' + details;
    if (result != CDeviceSender::Result::Ok)
        return Fail({ExitTransfer, text});
    m_console.Note(text);
    return ExitOk;
}

bool CCommandLine::LoadDisplays(const QCommandLineParser& parser, CDisplayList& list, QString& path,
                                CliFailure& failure)
{
    path = parser.isSet(kListOption) ? parser.value(kListOption)
                                     : CDisplayList::DefaultPath(m_programDir);
    if (!list.Load(path)) {
        failure = {ExitFile, list.ErrorText()};
        return false;
    }
    const QString file = QDir::toNativeSeparators(path);
    for (const CDisplayList::Problem& problem : list.Problems()) {
        const QString what =
            problem.name.isEmpty()
                ? problem.text
                : QCoreApplication::translate("CCommandLine", "табло «%1» пропущено: %2")
                      .arg(problem.name, problem.text);
        m_console.Error(QStringLiteral("%1:%2: %3").arg(file).arg(problem.line).arg(what));
    }
    return true;
}

bool CCommandLine::ChosenDisplays(const QCommandLineParser& parser, QList<DisplayEntry>& displays,
                                  CliFailure& failure)
{
    const bool all = parser.isSet(kAllOption);
    if (!all && !parser.isSet(kDisplayOption)) {
        if (parser.isSet(kListOption))
            failure = {ExitUsage, QCoreApplication::translate(
                                      "CCommandLine", "«--displays» действует вместе с «--display» "
                                                      "или «--all».")};
        return false;
    }
    if (all && parser.isSet(kDisplayOption)) {
        failure = {ExitUsage,
                   QCoreApplication::translate("CCommandLine",
                                               "Укажите «--display» или «--all», одно из двух.")};
        return false;
    }
    if (parser.isSet(kPortOption) || parser.isSet(kBaudOption)) {
        failure = {ExitUsage, QCoreApplication::translate(
                                  "CCommandLine", "Порт и скорость табло берутся из списка табло: "
                                                  "«--port» и «--baud» с ними не указываются.")};
        return false;
    }
    CDisplayList list;
    QString path;
    if (!LoadDisplays(parser, list, path, failure))
        return false;
    const QString file = QDir::toNativeSeparators(path);
    if (all) {
        displays = list.Entries();
        m_nSkipped = int(std::count_if(
            list.Problems().begin(), list.Problems().end(),
            [](const CDisplayList::Problem& problem) { return problem.entry.has_value(); }));
    }
    for (const QString& name : parser.values(kDisplayOption)) {
        const DisplayEntry* entry = list.Find(name);
        const bool broken =
            std::any_of(list.Problems().begin(), list.Problems().end(),
                        [&name](const CDisplayList::Problem& problem) {
                            return problem.name.compare(name, Qt::CaseInsensitive) == 0;
                        });
        if (!entry) {
            failure = broken
                          ? CliFailure{ExitFile, QCoreApplication::translate(
                                                     "CCommandLine", "Табло «%1» записано в списке "
                                                                     "«%2» с ошибкой.")
                                                     .arg(name, file)}
                          : CliFailure{ExitUsage, QCoreApplication::translate(
                                                      "CCommandLine", "Табло «%1» нет в списке "
                                                                      "«%2».")
                                                      .arg(name, file)};
            return false;
        }
        if (!displays.contains(*entry))
            displays.append(*entry);
    }
    if (displays.isEmpty()) {
        failure = {ExitFile,
                   QCoreApplication::translate("CCommandLine", "В списке «%1» нет ни одного табло.")
                       .arg(file)};
        return false;
    }
    return true;
}

int CCommandLine::TransferToDisplays(const QList<DisplayEntry>& displays,
                                     const QList<CDeviceSender::Frame>& frames, MessageOf message,
                                     const QString& summary)
{
    CInterruptWatcher interrupt; // before any port opens
    KeepRunningWithoutReader();
    CMultiSender multi;
    struct Shown {
        qint64 sent = 0, total = 0, msLeft = 0;
    };
    QList<Shown> shown(displays.size());
    QObject::connect(&multi, &CMultiSender::progress,
                     [&](int index, qint64 sent, qint64 total, qint64 msLeft) {
                         shown[index] = {sent, total, msLeft};
                         Shown sum;
                         for (const Shown& one : shown) {
                             sum.sent += one.sent;
                             sum.total += one.total;
                             sum.msLeft = std::max(sum.msLeft, one.msLeft);
                         }
                         m_console.Progress(ProgressText(sum.sent, sum.total, sum.msLeft));
                     });
    QObject::connect(&multi, &CMultiSender::displayFinished, [&](int index, CDeviceSender::Result) {
        const QString text = TransferReport::DisplayText(multi, index, message);
        m_console.EndProgress();
        m_console.Out(TransferReport::DisplayLine(multi.Display(index).name,
                                                  multi.Display(index).config.portName, text));
    });
    QObject::connect(&interrupt, &CInterruptWatcher::interrupted, &multi,
                     qOverload<>(&CMultiSender::Cancel));
    multi.Start(displays, frames, message);
    multi.WaitForAll();
    m_console.EndProgress();
    QString total = summary.arg(multi.OkCount()).arg(multi.Count() + m_nSkipped);
    if (m_nSkipped > 0)
        total += u' ' + QCoreApplication::translate("CCommandLine",
                                                    "Пропущено записанных в списке с ошибкой: %1.")
                            .arg(m_nSkipped);
    m_console.Out(total + u'\n');
    // A display left out is a fault of the list, as it is for --display.
    int code = m_nSkipped > 0 ? ExitFile : ExitOk;
    for (int i = 0; i < multi.Count(); ++i) {
        const CDeviceSender::Result result = multi.Result(i);
        if (result == CDeviceSender::Result::OpenFailed)
            code = std::max<int>(code, ExitPort);
        else if (result != CDeviceSender::Result::Ok)
            code = std::max<int>(code, ExitTransfer);
    }
    return interrupt.InterruptCode() != ExitOk ? interrupt.InterruptCode() : code;
}

// Lists the displays, or adds or removes one (for provisioning scripts).
int CCommandLine::Displays()
{
    QCommandLineParser parser;
    parser.addOptions({kAddOption, kRemoveOption, kPortOption, kBaudOption, kListOption});
    CliFailure failure;
    if (!Parse(parser, 0, failure))
        return Fail(failure);
    const bool add = parser.isSet(kAddOption);
    const bool remove = parser.isSet(kRemoveOption);
    if (add && remove)
        return Fail({ExitUsage,
                     QCoreApplication::translate("CCommandLine",
                                                 "Укажите «--add» или «--remove», одно из двух.")});
    if (!add && (parser.isSet(kPortOption) || parser.isSet(kBaudOption)))
        return Fail({ExitUsage, QCoreApplication::translate(
                                    "CCommandLine", "«--port» и «--baud» указываются вместе с "
                                                    "«--add».")});
    if (add && !parser.isSet(kPortOption))
        return Fail({ExitUsage, QCoreApplication::translate("CCommandLine",
                                                            "Новому табло нужен порт: «--port».")});
    CDisplayList list;
    QString path;
    if (!LoadDisplays(parser, list, path, failure))
        return Fail(failure);
    const QString file = QDir::toNativeSeparators(path);
    if (!add && !remove) {
        for (const DisplayEntry& entry : list.Entries())
            m_console.Out(QStringLiteral("%1\t%2\t%3\n")
                              .arg(entry.name, entry.config.portName)
                              .arg(CSerialPort::BaudRates().value(entry.config.baudIndex)));
        return ExitOk;
    }
    // Rewriting the file would lose what could not be read.
    if (!list.Problems().isEmpty())
        return Fail({ExitFile,
                     QCoreApplication::translate("CCommandLine",
                                                 "В списке «%1» есть записи с ошибками: исправьте "
                                                 "их, затем повторите.")
                         .arg(file)});
    if (remove) {
        if (!list.Remove(parser.value(kRemoveOption)))
            return Fail({ExitUsage, QCoreApplication::translate("CCommandLine",
                                                                "Табло «%1» нет в списке «%2».")
                                        .arg(parser.value(kRemoveOption), file)});
    } else {
        DisplayEntry entry{parser.value(kAddOption).trimmed(), PortConfig{}};
        entry.config.portName = parser.value(kPortOption);
        QString why;
        if (parser.isSet(kBaudOption))
            why = CDisplayList::BaudRefusal(parser.value(kBaudOption), entry.config.baudIndex);
        if (!why.isEmpty() || !list.Add(entry, why))
            return Fail({ExitUsage, why});
    }
    if (!list.Save(path))
        return Fail({ExitFile, list.ErrorText()});
    return ExitOk;
}
