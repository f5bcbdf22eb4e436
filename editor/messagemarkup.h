#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// A plain-text form of the device byte stream for scripts and text files: characters stand for
// themselves, a line break is a line break, and everything else is a code in braces:
//   {fN} font, {iN} "i", {vN} "v", {sN} full stop, {eN} effect, {xHH} the byte HH as it is
//   (a device symbol, or any byte no other form can write), {{ a brace, \n a line break,
//   \\ a backslash.
// The markup written for a stream reads back to the same bytes, whatever the stream holds.
namespace MessageMarkup
{

// One item of a stream (a character, a symbol, a code with its parameter) and its markup; a line
// break is written as a real LF.
struct Item {
    qsizetype offset = 0;
    qsizetype length = 0;
    QString text;
};

struct Error {
    int line = 0;   // 1-based
    int column = 0; // 1-based, in characters
    QString text;   // Russian, without the position
};

QList<Item> Items(QByteArrayView stream);
QString ToMarkup(QByteArrayView stream);
// False, with the first fault in error, when the markup has a bad code or a character the display
// cannot show; stream then holds what was read before it.
bool FromMarkup(QStringView markup, QByteArray& stream, Error& error);
// FromMarkup, and the stream must be one the display can read (StreamCheck): what is sent. A
// fault of the stream names the markup that wrote the byte.
bool FromReadableMarkup(QStringView markup, QByteArray& stream, Error& error);
// The line and column of text[index].
Error ErrorAt(QStringView text, qsizetype index, const QString& message);
// The error with its position, as the user sees it.
QString Describe(const Error& error);

} // namespace MessageMarkup
