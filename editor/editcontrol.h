#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <limits>

class CTextSnapshot;

// A character format as the marking scheme sees it. Colours are 0x00BBGGRR values, so the
// marking constants (0xFF0000 for control codes, 0xFA0000 … 0xF70000 for the symbol pages) are
// compared exactly as written.
struct CharFormat {
    QString face;
    quint32 color = 0;

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// A stretch of a whole text that has one format: the next length characters.
struct FormatRun {
    int length = 0;
    CharFormat format;
};

// What the encoder and decoder need of an edit control. The interactive edit control provides it
// on a QTextEdit; tests provide it with a plain double.
class IEditControl
{
public:
    virtual ~IEditControl() = default;

    // The whole text, one Windows-1251 byte per character position (a line break is one LF in the
    // real control; a double may use CR LF, which the encoder skips).
    virtual QByteArray GetText() const = 0;
    virtual int GetTextLength() const = 0;
    virtual void SetText(const QByteArray& text) = 0; // used only to clear
    virtual void GetSel(int& start, int& end) const = 0;
    virtual void SetSel(int start, int end) = 0;
    // For an empty selection this sets the format of what is inserted or typed next.
    virtual void SetSelectionCharFormat(const CharFormat& format) = 0;
    // Replaces the selection; the caret ends after the inserted text.
    virtual void ReplaceSel(const QByteArray& text) = 0;
    // Colour of the character at index; 0 outside the text. Never disturbs the user's selection.
    virtual quint32 GetCharColor(int index) const = 0;

    // The text and its colours as they stand, to be read later on any thread. The encoder reads
    // this copy, which finds every colour in one ordered list. This fallback asks for each
    // character's colour in turn.
    virtual CTextSnapshot Snapshot() const;

    // Most characters the control holds; the decoder stops at the last whole item within it.
    virtual int GetLimitText() const { return std::numeric_limits<int>::max(); }

    // Replaces the whole text by text formatted in runs (their lengths add up to its size) and
    // puts the caret at the start. A control builds it in one pass and lays it out once; this
    // fallback goes through the selection.
    virtual void SetMarkedText(const QByteArray& text, const QList<FormatRun>& runs)
    {
        SetText(QByteArray());
        int position = 0;
        for (const FormatRun& run : runs) {
            SetSelectionCharFormat(run.format);
            ReplaceSel(text.mid(position, run.length));
            position += run.length;
        }
        SetSel(0, 0);
    }

    // Brackets a run of many insertions (a whole decode) so a control can defer its layout.
    virtual void BeginBulkEdit() {}
    virtual void EndBulkEdit() {}
};
