#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Expected bytes are written as hex so a failure prints both sides in a form one can compare by
// eye; blanks between bytes are allowed.
inline QByteArray HexBytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// A marker instead of an empty array, so that "no file" never passes for "empty file".
inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
