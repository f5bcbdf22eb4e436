#include "editorfixture.h"

#include <cstdlib>

// Decoding normalises a stream once; what then comes out of the edit control decodes and
// encodes to itself.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_stream";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    // A fresh control each time, so that a finding replays from its input alone.
    EditorFixture f;
    const QByteArray input(reinterpret_cast<const char*>(data),
                           qsizetype(std::min<size_t>(size, size_t(f.doc.m_nCapacity))));
    f.Decode(input);
    const QByteArray once = f.Encode();
    f.Decode(once);
    const QByteArray twice = f.Encode();
    if (twice != once) {
        qWarning("%s\nencodes as %s\nthen as %s", input.toHex(' ').constData(),
                 once.toHex(' ').constData(), twice.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
