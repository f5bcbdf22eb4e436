#include "fonts/exfont.h"

#include <QBuffer>
#include <cstdlib>

namespace
{

QByteArray Store(CEXFont& font)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!font.Serialize(buffer, true))
        std::abort();
    return buffer.data();
}

bool Load(CEXFont& font, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return font.Serialize(buffer, false);
}

} // namespace

// A font that loads stores as a file that loads as the same font.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CEXFont first;
    if (!Load(first, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    const QByteArray stored = Store(first);
    CEXFont second;
    if (!Load(second, stored) || Store(second) != stored)
        std::abort();
    return 0;
}
