#pragma once

#include "editor/editcontrol.h"

#include <QList>
#include <algorithm>

// An edit control without a window: one byte and one colour per position, a line break stored
// as CR LF as a rich edit reports it. Counts the calls whose number tells whether the encoder
// stays linear.
class FakeEditControl : public IEditControl
{
public:
    QByteArray GetText() const override
    {
        ++getTextCalls;
        return text;
    }
    int GetTextLength() const override { return int(text.size()); }
    void SetText(const QByteArray& newText) override
    {
        text.clear();
        colors.clear();
        selStart = selEnd = 0;
        Insert(newText, 0);
    }
    void GetSel(int& start, int& end) const override
    {
        start = selStart;
        end = selEnd;
    }
    void SetSel(int start, int end) override
    {
        const int length = GetTextLength();
        selStart = std::clamp(start, 0, length);
        selEnd = std::clamp(end < 0 ? length : end, selStart, length);
    }
    void SetSelectionCharFormat(const CharFormat& format) override
    {
        pending = format;
        for (int i = selStart; i < selEnd; ++i)
            colors[i] = format.color;
    }
    void ReplaceSel(const QByteArray& newText) override
    {
        text.remove(selStart, selEnd - selStart);
        colors.remove(selStart, selEnd - selStart);
        selEnd = selStart;
        Insert(newText, pending.color);
    }
    quint32 GetCharColor(int index) const override
    {
        ++colorCalls;
        return index >= 0 && index < colors.size() ? colors[index] : 0;
    }
    void BeginBulkEdit() override { ++bulkDepth; }
    void EndBulkEdit() override { --bulkDepth; }

    // Builds the text directly: a run of characters in one colour, LF written as CR LF.
    void Append(const QByteArray& run, quint32 color)
    {
        selStart = selEnd = GetTextLength();
        Insert(run, color);
    }

    QByteArray text;
    QList<quint32> colors;
    int selStart = 0;
    int selEnd = 0;
    CharFormat pending;
    int bulkDepth = 0;
    mutable int getTextCalls = 0;
    mutable int colorCalls = 0;

private:
    void Insert(const QByteArray& run, quint32 color)
    {
        QByteArray expanded;
        for (char ch : run) {
            if (ch == '\n')
                expanded += '\r';
            expanded += ch;
        }
        text.insert(selStart, expanded);
        colors.insert(selStart, expanded.size(), color);
        selStart = selEnd = selStart + int(expanded.size());
    }
};
