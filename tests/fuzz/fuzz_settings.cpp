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
    TempProgram first;
    if (!Read(first, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    const QByteArray written = Write(first);
    TempProgram second;
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
