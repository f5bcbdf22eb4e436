#pragma once

#include "settings/cp1251.h"
#include "testbytes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#ifndef _WIN32
#include <pty.h>
#include <unistd.h>
#endif

// What a run of the program left behind.
struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The settings file as the editor writes it, built here from bytes so that the program's own
// writer cannot hide a fault of its reader.
struct IniFile {
    QString com = QStringLiteral("COM1 3 4 2 1");
    QString maxSym = QStringLiteral("2048");
    QString images = QStringLiteral("Земля\tПламя\tГерб");
    QString uses = QStringLiteral("Да\tНет\tДа");
    QString numbers = QStringLiteral("7\t1\t2");
    QString times = QStringLiteral("5\t6\t300");
    QString greeting = QStringLiteral("Да");
    QString demoPic = QStringLiteral("Нет");
    QString demoStr = QStringLiteral("Да");

    QByteArray Bytes() const
    {
        const QByteArray stars(24, '*');
        QByteArray text = "//" + stars + " TAVRIX EDITOR INI FILE " + stars + "//\r\n";
        const QList<std::pair<const char*, QString>> sections = {
            {"COM", com},        {"MAXSYM", maxSym},     {"FONTS", QStringLiteral("Arial")},
            {"IMAGES", images},  {"USES", uses},         {"NUMBERS", numbers},
            {"TIMES", times},    {"GREETING", greeting}, {"DEMOPIC", demoPic},
            {"DEMOSTR", demoStr}};
        for (const auto& [name, value] : sections)
            text +=
                QByteArray(name) + ":\r\n" + Cp1251::FromUnicode(value) + "\r\nEND" + name + "\r\n";
        return text + "//" + stars + "  END OF INI FILE " + stars + "//";
    }
};

// The real executable, copied into a folder of its own so that each test decides what settings
// file lies beside it; HOME and the configuration folder point into the test's folder too.
class CliProgram
{
public:
    CliProgram()
    {
#ifdef _WIN32
        m_program = m_dir.filePath(QStringLiteral("tavrix-editor.exe"));
#else
        m_program = m_dir.filePath(QStringLiteral("tavrix-editor"));
#endif
        QFile::copy(QStringLiteral(TAVRIX_EDITOR_EXE), m_program);
        m_home.mkpath(QStringLiteral("."));
    }

    bool IsValid() const
    {
        return QFileInfo(m_program).isExecutable();
    }
    QString Path(const QString& name) const
    {
        return m_dir.filePath(name);
    }
    QString IniPath() const
    {
        return Path(QStringLiteral("Tavrix Editor.ini"));
    }
    void WriteIni(const QByteArray& bytes) const
    {
        QVERIFY(WriteFileBytes(IniPath(), bytes));
    }
    QString WriteFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = Path(name);
        WriteFileBytes(path, bytes);
        return path;
    }

    // stderrTerminal: the program's stderr is a pseudo-terminal, whose output lands in err.
    CliResult Run(const QStringList& args, bool stderrTerminal = false, int timeoutMs = 30000) const
    {
        QProcess process;
        Prepare(process);
#ifdef _WIN32
        // A console of its own is not a pipe the test can read.
        if (stderrTerminal)
            return {};
#else
        int master = -1;
        int slave = -1;
        if (stderrTerminal) {
            if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
                return {};
            process.setChildProcessModifier([slave] { dup2(slave, STDERR_FILENO); });
        }
#endif
        process.start(m_program, args);
        CliResult result;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
        } else if (process.exitStatus() == QProcess::NormalExit) {
            result.exitCode = process.exitCode();
        }
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
#ifndef _WIN32
        if (stderrTerminal) {
            ::close(slave);
            result.err += ReadAvailable(master);
            ::close(master);
        }
#endif
        return result;
    }

    // For a test that acts while the program runs: the environment and folder Run gives it.
    void Prepare(QProcess& process) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"),
                   m_home.filePath(QStringLiteral(".local/share")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir.path());
    }
    QString Program() const
    {
        return m_program;
    }
    QString JournalPath() const
    {
#ifdef _WIN32
        // There the program's data folder is the user's own, whatever the fixture's home says:
        // read what a run added, never clear it.
        return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath(QStringLiteral("Tavrix Editor/transfers.log"));
#else
        return m_home.filePath(QStringLiteral(".local/share/Tavrix Editor/transfers.log"));
#endif
    }
    QString ConfigPath(const QString& name) const
    {
        return m_home.filePath(QStringLiteral(".config/Tavrix Editor/") + name);
    }

private:
#ifndef _WIN32
    static QByteArray ReadAvailable(int fd)
    {
        QByteArray bytes;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, int(n));
        return bytes;
    }
#endif

    QTemporaryDir m_dir;
    QDir m_home{m_dir.filePath(QStringLiteral("home"))};
    QString m_program;
};
