#pragma once

#include "device/devicesender.h"

#include <QString>

// The journal of transfers: one line a transfer, from the windows and the command line alike,
// so an operator can tell afterwards whether a message reached a display. A UTF-8 text file in
// the user's data folder, tab separated:
//     2026-12-09 08:00:03	Вокзал	ttyUSB0	2004 из 2004 байт	Передача данных успешно
//     завершена!!!
// followed by the reason where a port would not open. It is kept below kMaxBytes by dropping the
// oldest lines.
class CTransferJournal
{
public:
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    // <user data folder>/Tavrix Editor/transfers.log
    static QString DefaultPath();

    explicit CTransferJournal(QString path = DefaultPath());

    // The line of a transfer that has ended on the sender; display is empty for the COM port of
    // the settings file. False when the file cannot be written (a transfer never fails for it).
    bool Record(const QString& display, const CDeviceSender& sender, const QString& resultText);
    bool Append(const QString& line);
    // Newest last; empty when there is none yet.
    QString Text() const;
    const QString& Path() const { return m_path; }

    static QString Line(const QString& time, const QString& display, const QString& port,
                        qint64 sent, qint64 total, const QString& resultText,
                        const QString& reason);

private:
    bool Trim();

    QString m_path;
};
