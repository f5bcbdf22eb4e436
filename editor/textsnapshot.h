#pragma once

#include "editor/editcontrol.h"

#include <QString>
#include <vector>

// The editor's characters as the stream wants them: line and paragraph separators become LF,
// and everything is Windows-1251.
QByteArray EditorTextBytes(QString raw);

// A still copy of the editor text and its colours, taken in one quick pass on the thread that
// owns the control and read on any thread afterwards: every encoding reads one, and the lower
// pane encodes it on a worker while the operator types on. Only the reading half of
// IEditControl does anything.
class CTextSnapshot : public IEditControl
{
public:
    // A stretch of characters in one marking colour; the characters between runs are plain.
    struct ColorRun {
        int start = 0;
        int length = 0;
        quint32 color = 0;
    };

    CTextSnapshot() = default;
    // raw is the control's own text, runs in order and apart.
    CTextSnapshot(QString raw, std::vector<ColorRun> runs);
    // The same from text already in stream characters.
    CTextSnapshot(QByteArray text, std::vector<ColorRun> runs);

    QByteArray GetText() const override;
    int GetTextLength() const override { return m_nLength; }
    quint32 GetCharColor(int index) const override;
    CTextSnapshot Snapshot() const override { return *this; }

    // The copy follows nothing: writing to it does nothing.
    void SetText(const QByteArray&) override {}
    void GetSel(int& start, int& end) const override { start = end = 0; }
    void SetSel(int, int) override {}
    void SetSelectionCharFormat(const CharFormat&) override {}
    void ReplaceSel(const QByteArray&) override {}

private:
    QString m_raw;
    int m_nLength = 0;
    std::vector<ColorRun> m_runs;
    // Converted on first use, so the owner's thread only copies.
    mutable QByteArray m_text;
    mutable bool m_bConverted = false;
    mutable size_t m_nLastRun = 0; // the encoder reads in order: look here first
};
