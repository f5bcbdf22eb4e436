#include "cli/console.h"

#include <QByteArray>
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace
{

bool StderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) == 1;
#endif
}

#ifdef Q_OS_WIN
// The texts go out as UTF-8, which a console shows as such only in that code page. The code page
// is the console's, shared with the shell that started the program, so it goes back at exit.
UINT g_previousOutputCodePage = 0;

void UseUtf8Console()
{
    const UINT previous = GetConsoleOutputCP();
    if (previous == 0 || previous == CP_UTF8 || g_previousOutputCodePage != 0)
        return;
    if (!SetConsoleOutputCP(CP_UTF8))
        return;
    g_previousOutputCodePage = previous;
    std::atexit([] { SetConsoleOutputCP(g_previousOutputCodePage); });
}
#endif

bool Write(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written;
}

} // namespace

CConsole::CConsole() : m_bTerminal(StderrIsTerminal())
{
#ifdef Q_OS_WIN
    // The lines a script reads end in LF as on Linux, not in the CR LF of a text-mode stream.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    UseUtf8Console();
#endif
}

void CConsole::Out(const QString& text)
{
    if (m_bOutLost || Write(stdout, text))
        return;
    m_bOutLost = true;
    const int error = errno;
    Error(QCoreApplication::translate("CConsole", "Стандартный вывод не принимает строки: %1.")
              .arg(QString::fromLocal8Bit(std::strerror(error))));
}

void CConsole::Error(const QString& text)
{
    EndProgress();
    Write(stderr, QStringLiteral("tavrix-editor: ") + text + u'\n');
}

void CConsole::Note(const QString& text)
{
    if (!m_bTerminal)
        return;
    EndProgress();
    Write(stderr, text + u'\n');
}

void CConsole::Progress(const QString& text)
{
    if (!m_bTerminal)
        return;
    // Blanks wipe what is left of a longer previous line.
    const QString padding(std::max<qsizetype>(0, m_nProgressWidth - text.size()), u' ');
    Write(stderr, u'\r' + text + padding);
    m_nProgressWidth = text.size();
}

void CConsole::EndProgress()
{
    if (m_nProgressWidth == 0)
        return;
    Write(stderr, QStringLiteral("\n"));
    m_nProgressWidth = 0;
}
