#include "editorfixture.h"
#include "fuzzapp.h"

#include <cstdlib>

// Decoding normalises a stream once; what then comes out of the edit control decodes and
// encodes to itself. The program keeps one control for every message it opens, so a control
// that has held all the inputs before must encode each as a fresh one does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication<QApplication>("fuzz_stream");
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
    static auto* reused = new EditorFixture; // never destroyed, as the application
    reused->Decode(input);
    const QByteArray again = reused->Encode();
    if (again != once) {
        qWarning("%s\nencodes as %s in a fresh control, as %s in one used before",
                 input.toHex(' ').constData(), once.toHex(' ').constData(),
                 again.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
