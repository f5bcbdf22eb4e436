#include "editor/textsnapshot.h"

#include "settings/cp1251.h"

#include <algorithm>

QByteArray EditorTextBytes(QString raw)
{
    for (QChar& ch : raw) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator)
            ch = u'\n';
    }
    return Cp1251::FromUnicode(raw);
}

CTextSnapshot::CTextSnapshot(QString raw, std::vector<ColorRun> runs)
    : m_raw(std::move(raw)), m_nLength(int(m_raw.size())), m_runs(std::move(runs))
{
}

CTextSnapshot::CTextSnapshot(QByteArray text, std::vector<ColorRun> runs)
    : m_nLength(int(text.size())), m_runs(std::move(runs)), m_text(std::move(text)),
      m_bConverted(true)
{
}

CTextSnapshot IEditControl::Snapshot() const
{
    QByteArray text = GetText();
    std::vector<CTextSnapshot::ColorRun> runs;
    for (int i = 0; i < int(text.size()); ++i) {
        const quint32 color = GetCharColor(i);
        if (color == 0)
            continue;
        if (!runs.empty() && runs.back().color == color &&
            runs.back().start + runs.back().length == i)
            ++runs.back().length;
        else
            runs.push_back({i, 1, color});
    }
    return CTextSnapshot(std::move(text), std::move(runs));
}

QByteArray CTextSnapshot::GetText() const
{
    if (!m_bConverted) {
        m_text = EditorTextBytes(m_raw);
        m_bConverted = true;
    }
    return m_text;
}

quint32 CTextSnapshot::GetCharColor(int index) const
{
    if (index < 0 || index >= GetTextLength() || m_runs.empty())
        return 0;
    const auto contains = [index](const ColorRun& run) {
        return index >= run.start && index < run.start + run.length;
    };
    if (m_nLastRun < m_runs.size() && contains(m_runs[m_nLastRun]))
        return m_runs[m_nLastRun].color;
    if (m_nLastRun + 1 < m_runs.size() && contains(m_runs[m_nLastRun + 1]))
        return m_runs[++m_nLastRun].color;
    // The first run that starts after index; the one before it may hold index.
    const auto after = std::upper_bound(m_runs.cbegin(), m_runs.cend(), index,
                                        [](int at, const ColorRun& run) { return at < run.start; });
    if (after == m_runs.cbegin())
        return 0;
    const size_t found = size_t(after - m_runs.cbegin()) - 1;
    if (!contains(m_runs[found]))
        return 0;
    m_nLastRun = found;
    return m_runs[found].color;
}
