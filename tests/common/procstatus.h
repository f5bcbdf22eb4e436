#pragma once

#include <QFile>
#include <QString>

// A memory figure of a process in KB from its /proc status ("VmRSS", "VmHWM"); -1 where there is
// none.
inline qint64 ProcStatusKb(const char* field, const QString& pid = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
