#pragma once

#include "cli/exitcode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Where the command line's messages come from and go to: .tvd files (the stream itself),
// .txt files (the markup in UTF-8) and the markup of --text.
class CMessageSource
{
public:
    // .txt, in any case: a markup file; every other name is a stream file.
    static bool IsMarkupFile(const QString& path);

    // The stream of a .tvd file or of the markup in a .txt file; only a stream the display can
    // read (StreamCheck) is taken.
    static bool ReadMessage(const QString& path, QByteArray& stream, CliFailure& failure);
    // where names the source in an error ("--text" or the file).
    static bool ParseMarkup(const QString& markup, const QString& where, QByteArray& stream,
                            CliFailure& failure);

    // Whether a stream can be sent to a display that holds capacity bytes: not empty, not longer.
    static bool CheckMessage(const QByteArray& stream, int capacity, CliFailure& failure);
    // The same for bytes that come from elsewhere as a stream (a .tvd file's bytes over the
    // network): also one the display can read (StreamCheck).
    static bool CheckPayload(const QByteArray& bytes, int capacity, CliFailure& failure);

    static bool ReadBytes(const QString& path, QByteArray& bytes, CliFailure& failure);
    // Replaces the file only once all bytes are on disk.
    static bool WriteBytes(const QString& path, const QByteArray& bytes, CliFailure& failure);

    // A markup file: the markup and one line end, which is not part of the message (text
    // editors add one), so a message ending in a line break keeps it.
    static QByteArray MarkupFile(QByteArrayView stream);
    // The stream of a markup file's bytes (UTF-8).
    static bool ParseMarkupFile(const QByteArray& bytes, const QString& path, QByteArray& stream,
                                CliFailure& failure);
};
