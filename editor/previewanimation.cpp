#include "editor/previewanimation.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace
{

// A fixed order in which the dots of a window change under noise, so every run looks alike.
std::vector<int> NoiseOrder(int dots)
{
    std::vector<int> order(size_t(std::max(0, dots)));
    std::iota(order.begin(), order.end(), 0);
    quint32 seed = 0x2545F491;
    for (size_t i = order.size(); i > 1; --i) {
        seed = seed * 1664525u + 1013904223u;
        std::swap(order[i - 1], order[(seed >> 8) % i]);
    }
    return order;
}

} // namespace

void CPreviewAnimation::SetStrip(QList<DotLine> lines, int width)
{
    m_lines = std::move(lines);
    if (m_lines.isEmpty())
        m_lines.append(DotLine{});
    m_nWidth = std::max(1, width);
    m_nElapsed = 0;
    m_from = QByteArray(m_nWidth, '\0');
    StartLine(0);
}

int CPreviewAnimation::LineLength(int line) const
{
    return int(m_lines[line].columns.size());
}

// A line that hands over to an effect comes to rest filling the window (or whole, when shorter).
int CPreviewAnimation::RestOffset(int line) const
{
    return std::max(LineLength(line), m_nWidth);
}

bool CPreviewAnimation::NextHasEffect() const
{
    const int next = (m_nLine + 1) % int(m_lines.size());
    return m_lines[next].effect >= 0;
}

QByteArray CPreviewAnimation::Window(int line, int offset) const
{
    QByteArray window(m_nWidth, '\0');
    const QByteArray& columns = m_lines[line].columns;
    for (int x = 0; x < m_nWidth; ++x) {
        const int c = x - m_nWidth + offset;
        if (c >= 0 && c < columns.size())
            window[x] = columns[c];
    }
    return window;
}

void CPreviewAnimation::StartLine(int line)
{
    m_nLine = line;
    m_nNextStop = 0;
    m_nHoldLeft = 0;
    const int effect = m_lines[line].effect;
    if (effect >= 0) {
        m_phase = Changing;
        m_nEffect = effect;
        m_nEffectStep = 0;
        m_nOffset = m_nWidth;
    } else {
        m_phase = Running;
        m_nOffset = 0;
        CheckStop();
    }
}

// Holds when everything before the next full stop has come into the window.
void CPreviewAnimation::CheckStop()
{
    const QList<DotMarker>& markers = m_lines[m_nLine].markers;
    for (; m_nNextStop < markers.size(); ++m_nNextStop) {
        const DotMarker& marker = markers[m_nNextStop];
        if (marker.letter != 's')
            continue;
        if (marker.column > m_nOffset)
            return;
        if (marker.value > 0) {
            ++m_nNextStop;
            m_phase = Holding;
            m_nHoldLeft = marker.value * 1000;
            return;
        }
    }
}

void CPreviewAnimation::Step()
{
    if (m_phase == Changing) {
        if (++m_nEffectStep >= kEffectSteps) {
            m_phase = Running;
            CheckStop();
        }
        return;
    }
    const bool toEffect = NextHasEffect();
    const int end = toEffect ? RestOffset(m_nLine) : LineLength(m_nLine) + m_nWidth;
    if (m_nOffset < end) {
        ++m_nOffset;
        CheckStop();
        return;
    }
    m_from = Frame();
    StartLine((m_nLine + 1) % int(m_lines.size()));
}

void CPreviewAnimation::Advance(int ms)
{
    if (m_nWidth <= 0)
        return;
    m_nElapsed += std::max(0, ms);
    for (;;) {
        if (m_phase == Holding) {
            if (m_nElapsed < m_nHoldLeft) {
                m_nHoldLeft -= m_nElapsed;
                m_nElapsed = 0;
                return;
            }
            m_nElapsed -= m_nHoldLeft;
            m_nHoldLeft = 0;
            m_phase = Running;
            CheckStop();
            continue;
        }
        const int step = m_phase == Changing ? kEffectStepMs : kStepMs;
        if (m_nElapsed < step)
            return;
        m_nElapsed -= step;
        Step();
    }
}

QByteArray CPreviewAnimation::Frame() const
{
    if (m_nWidth <= 0)
        return {};
    const QByteArray window = Window(m_nLine, m_nOffset);
    if (m_phase != Changing)
        return window;
    return Blend(m_nEffect, m_from, window, m_nEffectStep);
}

QByteArray CPreviewAnimation::Blend(int effect, const QByteArray& from, const QByteArray& to,
                                    int step)
{
    QByteArray result = to;
    const int k = std::clamp(step, 0, kEffectSteps);
    const int width = int(std::min(from.size(), to.size()));
    if (effect == PaintWithNoise) {
        result = from.left(width);
        const std::vector<int> order = NoiseOrder(width * 8);
        const size_t changed = order.size() * size_t(k) / kEffectSteps;
        for (size_t n = 0; n < changed; ++n) {
            const int x = order[n] / 8;
            const quint8 bit = quint8(1u << (order[n] % 8));
            result[x] = char((quint8(result[x]) & ~bit) | (quint8(to[x]) & bit));
        }
        return result;
    }
    for (int x = 0; x < width; ++x) {
        const unsigned a = quint8(from[x]);
        const unsigned b = quint8(to[x]);
        unsigned dots = 0;
        switch (effect) {
        case ShiftUp: // the old picture leaves at the top, the new one follows from below
            dots = (a >> k) | (b << (8 - k));
            break;
        case ShiftDown:
            dots = (a << k) | (b >> (8 - k));
            break;
        case PaintFromBelow: {
            const unsigned mask = (0xFFu << (8 - k)) & 0xFF;
            dots = (b & mask) | (a & ~mask);
            break;
        }
        default: { // paint from above
            const unsigned mask = (1u << k) - 1;
            dots = (b & mask) | (a & ~mask);
            break;
        }
        }
        result[x] = char(dots & 0xFF);
    }
    return result;
}
