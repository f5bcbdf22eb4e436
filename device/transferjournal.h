#pragma once

#include "device/transferoutcome.h"

#include <QString>

// The journal of transfers: one line a transfer, from the windows and the command line alike,
// so an operator can tell afterwards whether a message reached a display. A UTF-8 text file in
// the user's data folder, tab separated, its words the same in every language (scripts read it):
//     2026-12-09 08:00:03	Вокзал	ttyUSB0	2004/2004	ok
// followed by the reason where a port would not open or a network transfer failed. It is kept
// below kMaxBytes by dropping the oldest lines; copies of the program running at once take turns
// through a lock file beside it.
class CTransferJournal
{
public:
    static constexpr qint64 kMaxBytes = 1024 * 1024;
    // How long a writer waits for another copy's turn before it appends without trimming.
    static constexpr int kLockWaitMs = 10000;

    // <user data folder>/Tavrix Editor/transfers.log
    static QString DefaultPath();

    explicit CTransferJournal(QString path = DefaultPath());

    // The line of a transfer that has ended (the sender writes it); the display is empty for the
    // COM port of the settings file. False when the file cannot be written (a transfer never
    // fails for it).
    bool Record(const TransferOutcome& outcome);
    bool Append(const QString& line);
    // Newest last; empty when there is none yet.
    QString Text() const;
    const QString& Path() const { return m_path; }

    static QString Line(const QString& time, const QString& display, const QString& port,
                        qint64 sent, qint64 total, const QString& word, const QString& reason);

    // The word stored for an outcome: a network port's success is the server taking the bytes,
    // which says nothing of the display ("handed-to-server"), not the serial line's "ok".
    static QString Word(TransferOutcome::Result result, const QString& portWord);
    // A stored word as the window shows it, in the language of the run; a word it does not know
    // (a line of an older journal) as it is.
    static QString WordText(const QString& word);
    // Whether a stored word (or an older line's text) is a transfer that did not succeed.
    static bool IsFailure(const QString& word);

private:
    bool Trim();

    QString m_path;
};
