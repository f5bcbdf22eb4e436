#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the text of a message may hold, and how text from elsewhere comes into it: from an input
// method, from another program's clipboard, or copied within the editor with its marking. The
// edit control turns keys and clipboard data into these calls; the rules need no window.
namespace MessageText
{

// A stretch of pasted or copied text in one colour: a marking colour (0x00BBGGRR), or 0 for
// plain text.
struct Run {
    QString text;
    quint32 color = 0;

    friend bool operator==(const Run&, const Run&) = default;
};

// A byte the display shows as the code page's character: not a code, not a device symbol, not a
// control character, not the one byte the code page leaves without a character.
bool IsShownCharacter(quint8 byte);
bool IsDeviceSymbol(quint8 byte);
// Text as it will be stored: what the code page cannot hold becomes '?'.
QString ThroughCodePage(const QString& text);
// Text from an input method or another program, as plain message text.
QString CleanForeignText(const QString& text);

// The control codes' colour or a symbol page's.
bool IsMarkingColor(quint32 color);
// Whether a pasted character keeps its marking colour.
bool KeepsMarking(QChar ch, quint32 color);
// Appends one fragment of pasted text in one colour (of the program's own format or of another
// program's rich text).
void AppendPasted(QList<Run>& runs, const QString& text, quint32 color);
QList<Run> FromPlainText(const QString& text);

// The program's own clipboard format: the runs of a selection with their marking.
extern const QString kMimeType;
QByteArray ToMimeData(const QList<Run>& runs);
// Read back as any pasted fragments are; a damaged end is left out.
QList<Run> FromMimeData(const QByteArray& data);

// Cuts the runs to room characters, never between a control letter and its digit.
void CutToRoom(QList<Run>& runs, int room);

} // namespace MessageText
