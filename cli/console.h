#pragma once

#include <QString>

// Standard output and error of the command line, in UTF-8. Progress goes to stderr and only
// when it is a terminal: a script that pipes or logs the output sees results and errors alone.
class CConsole
{
public:
    CConsole();

    // A reader that has gone away is said once on stderr; the command goes on.
    void Out(const QString& text);
    // One line on stderr, after the program's name; ends a progress line first.
    void Error(const QString& text);
    // A line on the terminal only.
    void Note(const QString& text);

    bool IsTerminal() const { return m_bTerminal; }
    // Rewrites the progress line in place.
    void Progress(const QString& text);
    void EndProgress();

private:
    bool m_bTerminal = false;
    bool m_bOutLost = false;
    qsizetype m_nProgressWidth = 0; // characters of the progress line now shown, 0 when none
};
