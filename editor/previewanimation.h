#pragma once

#include "editor/dotstrip.h"

// The running text in the display's window, driven by a clock the caller advances: each line runs
// in from the right one column per step and out to the left; a full stop holds it still; a line
// with an effect replaces the window's picture by its own beginning, then runs on. After the last
// line the message starts again.
class CPreviewAnimation
{
public:
    enum Phase { Running, Holding, Changing };
    enum Effect { ShiftUp, ShiftDown, PaintFromBelow, PaintFromAbove, PaintWithNoise };

    static constexpr int kStepMs = 40;       // one column
    static constexpr int kEffectStepMs = 80; // one of kEffectSteps stages of an effect
    static constexpr int kEffectSteps = 8;

    void SetStrip(QList<DotLine> lines, int width);
    void Advance(int ms);

    // The window now: one column byte per display column.
    QByteArray Frame() const;
    // The window before the text starts to run: the beginning of the first line.
    QByteArray StillFrame() const
    {
        return m_lines.isEmpty() ? QByteArray(m_nWidth, 0) : Window(0, m_nWidth);
    }
    Phase GetPhase() const { return m_phase; }
    int LineIndex() const { return m_nLine; }
    int Width() const { return m_nWidth; }

    // The picture that effect makes halfway (step of kEffectSteps) from one window to the next.
    static QByteArray Blend(int effect, const QByteArray& from, const QByteArray& to, int step);

private:
    QByteArray Window(int line, int offset) const;
    int LineLength(int line) const;
    int RestOffset(int line) const;
    bool NextHasEffect() const;
    void StartLine(int line);
    void Step();
    void CheckStop();

    QList<DotLine> m_lines;
    int m_nWidth = 0;
    Phase m_phase = Running;
    int m_nLine = 0;
    // How far the line has moved: line column c stands at window column m_nWidth - m_nOffset + c.
    int m_nOffset = 0;
    int m_nNextStop = 0;
    int m_nHoldLeft = 0;
    int m_nEffect = 0;
    int m_nEffectStep = 0;
    QByteArray m_from;
    int m_nElapsed = 0;
};
