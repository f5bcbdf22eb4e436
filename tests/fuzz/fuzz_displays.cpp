#include "device/displaylist.h"
#include "fuzzapp.h"

#include <QCoreApplication>
#include <cstdlib>

namespace
{

QStringList ProblemsOf(const CDisplayList& list)
{
    QStringList problems;
    for (const CDisplayList::Problem& problem : list.Problems())
        problems << problem.name + u'|' + problem.text;
    return problems;
}

void Check(bool holds, const char* what, const QByteArray& bytes)
{
    if (holds)
        return;
    qWarning("%s:\n%s", what, bytes.constData());
    std::abort();
}

} // namespace

// Saved unchanged, a list gives its file back byte for byte; saved changed (an entry rewritten in
// place, one added), it reads back as the same entries with the same broken ones.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication<QCoreApplication>("fuzz_displays");
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    CDisplayList list;
    list.Parse(input);
    Check(input.isEmpty() || list.Bytes(CDisplayList::KeepBroken) == input, "not kept", input);
    // A file that is not UTF-8 is never written over (the window and the command line refuse).
    const QStringList problems = ProblemsOf(list);
    if (std::any_of(list.Problems().begin(), list.Problems().end(),
                    [](const auto& problem) { return problem.raw.isEmpty(); }))
        return 0;
    QString why;
    if (!list.Entries().isEmpty()) {
        DisplayEntry changed = list.Entries().first();
        changed.config.baudIndex = (changed.config.baudIndex + 1) % 5;
        changed.config.parityIndex = 1 - changed.config.parityIndex;
        Check(list.Put(0, changed, why), "other values refused", input);
    }
    const DisplayEntry added{QStringLiteral("Новое табло"), PortConfig{}};
    if (!problems.join(u'\n').contains(added.name + u'|', Qt::CaseInsensitive))
        list.Add(added, why);
    const QByteArray written = list.Bytes(CDisplayList::KeepBroken);
    CDisplayList read;
    read.Parse(written);
    Check(read.Entries() == list.Entries(), "other entries read back", written);
    Check(ProblemsOf(read) == problems, "other broken entries read back", written);
    Check(read.Bytes(CDisplayList::KeepBroken) == written, "a second save differs", written);
    return 0;
}
