#pragma once

#include "cli/console.h"
#include "cli/exitcode.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "device/devicesender.h"
#include "settings/uilanguage.h"

class CDisplayList;
class CInterruptWatcher;
class CMultiSender;
class QCommandLineParser;
struct DisplayEntry;

// The program without a window: send, convert, dump, ports, device-settings, --help and
// --version. Runs under a QCoreApplication, so it needs no display server, reads the settings file
// without questions and never writes it.
class CCommandLine
{
public:
    // True when the arguments name a command (or ask for help or the version), and also for any
    // arguments where no display server can be reached, which are then refused; anything else
    // starts the editor, a file name opening that file.
    static bool IsCommand(int argc, const char* const* argv);

    // arguments as QCoreApplication::arguments() gives them; programDir holds the settings file.
    CCommandLine(const QStringList& arguments, const QString& programDir);

    int Run();
    // Runs the command of the arguments under a QCoreApplication in the language chosen.
    static int Main(int argc, char* argv[], const UiLanguage::Option& language);
    // For `agent`: replaces the process by the agent's own build of the program where there is
    // one; returns when there is none.
    static void HandOverAgent(char* argv[]);

    static QString HelpText();
    static QString VersionText();

private:
    // The help of the commands that need no broker; HelpText adds the others.
    static QString CommandsHelpText();
    int Send();
    int Convert();
    int Dump();
    int Ports();
    int DeviceSettings();
    int Displays();
    // Serving a site's displays from an MQTT broker, and publishing to them (mqttcommands.cpp).
    int Agent();
    int Publish();

    // Parses the arguments after the command; false (with the failure) when they are wrong or
    // more than maxPositional, and also (with ExitOk) when they ask for help.
    bool Parse(QCommandLineParser& parser, int maxPositional, CliFailure& failure) const;
    // The message of FILE or of --text.
    bool ReadMessage(const QCommandLineParser& parser, QByteArray& stream,
                     CliFailure& failure) const;
    int Fail(const CliFailure& failure);
    using MessageOf = QString (*)(CDeviceSender::Result);
    // Waits for a transfer started on the sender, with progress on a terminal and the interrupt
    // (installed before the port opened) cancelling it; message gives the texts of its results.
    int Transfer(CDeviceSender& sender, MessageOf message, CInterruptWatcher& interrupt);

    // The list --displays names, or the one beside the settings file; its broken entries are told
    // on stderr and skipped.
    bool LoadDisplays(const QCommandLineParser& parser, CDisplayList& list, QString& path,
                      CliFailure& failure);
    // Whether --display or --all was given; then the displays they name, or the failure. --all
    // counts the broken entries it skips in m_nSkipped.
    bool ChosenDisplays(const QCommandLineParser& parser, QList<DisplayEntry>& displays,
                        CliFailure& failure);
    // Sends the frames to every display at once: a line for each as it ends, then a summary that
    // counts the skipped ones too, which make the status 3 at least.
    int TransferToDisplays(const QList<DisplayEntry>& displays,
                           const QList<CDeviceSender::Frame>& frames, MessageOf message,
                           const QString& summary);

    // The displays of the list that the agent can serve; the others are told on stderr.
    bool AgentDisplays(const QCommandLineParser& parser, QList<DisplayEntry>& displays,
                       CliFailure& failure);

    QStringList m_args;
    QString m_programDir;
    CConsole m_console;
    int m_nSkipped = 0;
};
