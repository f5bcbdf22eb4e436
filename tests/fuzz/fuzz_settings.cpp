#include "fuzzapp.h"
#include "tempprogram.h"

#include <QBuffer>
#include <QCoreApplication>
#include <cstdlib>

namespace
{

bool Read(TempProgram& program, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!program.settings->ReadWriteIni(buffer, false))
        return false;
    program.settings->ParsePictureLists();
    return true;
}

QByteArray Write(TempProgram& program)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!program.settings->ReadWriteIni(buffer, true))
        std::abort();
    return buffer.data();
}

} // namespace

// Whatever the reader accepts, the writer writes so that reading it back gives the same settings.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication<QCoreApplication>("fuzz_settings");
    // Two records for the process: a record per input costs a folder and two files. A value the
    // reader refuses leaves the setting as it was, so both start each input from the defaults,
    // read from what a new record writes, once an earlier input has changed them.
    static TempProgram first;
    static TempProgram second;
    static const QByteArray defaults = Write(first);
    static bool changed = false;
    if (changed && (!Read(first, defaults) || !Read(second, defaults)))
        std::abort();
    // A text the reader refuses changes nothing.
    changed = Read(first, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!changed)
        return 0;
    const QByteArray written = Write(first);
    if (!Read(second, written)) {
        qWarning("written settings not readable:\n%s", written.constData());
        std::abort();
    }
    if (Write(second) != written || second.settings->m_nMaxSym != first.settings->m_nMaxSym ||
        second.settings->m_strFontNames != first.settings->m_strFontNames) {
        qWarning("second write differs from the first:\n%s", written.constData());
        std::abort();
    }
    return 0;
}
