#include "device/displaylist.h"
#include "fuzzapp.h"

#include <QCoreApplication>
#include <cstdlib>

namespace
{

// Names and reasons, in order: what a save read back must keep broken.
QStringList ProblemsOf(const CDisplayList& list)
{
    QStringList problems;
    for (const CDisplayList::Problem& problem : list.Problems())
        problems << problem.name + u'|' + problem.text;
    return problems;
}

[[noreturn]] void Fail(const char* what, const QByteArray& written)
{
    qWarning("%s:\n%s", what, written.constData());
    std::abort();
}

} // namespace

// Whatever the file holds, saving it unchanged gives it back byte for byte, and saving it changed
// (an entry rewritten in place, one added) reads back as the same entries with the broken ones
// still broken.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication<QCoreApplication>("fuzz_displays");
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    CDisplayList list;
    list.Parse(input);
    if (!input.isEmpty() && list.Bytes(CDisplayList::KeepBroken) != input)
        Fail("an unchanged list is not written as it was read", input);
    const QStringList problems = ProblemsOf(list);
    // A file that is not UTF-8 is never written over (the window and the command line refuse).
    if (std::any_of(list.Problems().begin(), list.Problems().end(),
                    [](const auto& problem) { return problem.raw.isEmpty(); }))
        return 0;
    QString why;
    if (!list.Entries().isEmpty()) {
        DisplayEntry changed = list.Entries().first();
        changed.config.baudIndex = (changed.config.baudIndex + 1) % 5;
        changed.config.parityIndex = 1 - changed.config.parityIndex;
        if (!list.Put(0, changed, why))
            Fail("an entry with other values is refused", input);
    }
    const DisplayEntry added{QStringLiteral("Новое табло"), PortConfig{}};
    const bool clash =
        std::any_of(list.Problems().begin(), list.Problems().end(), [&added](const auto& problem) {
            return problem.name.compare(added.name, Qt::CaseInsensitive) == 0;
        });
    if (!clash)
        list.Add(added, why);
    const QByteArray written = list.Bytes(CDisplayList::KeepBroken);
    CDisplayList read;
    read.Parse(written);
    if (read.Entries() != list.Entries())
        Fail("the entries read back differ", written);
    if (ProblemsOf(read) != problems)
        Fail("the broken entries read back differ", written);
    if (read.Bytes(CDisplayList::KeepBroken) != written)
        Fail("a second save differs", written);
    return 0;
}
