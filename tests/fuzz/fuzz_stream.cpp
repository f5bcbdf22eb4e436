#include "editorfixture.h"
#include "fuzzapp.h"

#include <cstdlib>

// Decoding normalises a stream once; what then comes out of the edit control decodes and
// encodes to itself. The program keeps one control for every message it opens, so a control
// that has held all the inputs before must encode each as one that starts a new message does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication<QApplication>("fuzz_stream");
    // Never destroyed, as the application. The round trip starts each input on a new message, so
    // that its findings replay from their input alone; the other control, as the program's, holds
    // one message after another. Neither is shown: laying the text out is Qt's work, and took more
    // than half of the time.
    static auto* f = new EditorFixture(false);
    static auto* reused = new EditorFixture(false);
    f->Reset();
    const QByteArray input(reinterpret_cast<const char*>(data),
                           qsizetype(std::min<size_t>(size, size_t(f->doc.m_nCapacity))));
    f->Decode(input);
    const QByteArray once = f->Encode();
    f->Decode(once);
    const QByteArray twice = f->Encode();
    if (twice != once) {
        qWarning("%s\nencodes as %s\nthen as %s", input.toHex(' ').constData(),
                 once.toHex(' ').constData(), twice.toHex(' ').constData());
        std::abort();
    }
    reused->Decode(input);
    const QByteArray again = reused->Encode();
    if (again != once) {
        qWarning("%s\nencodes as %s on a new message, as %s in a control used before",
                 input.toHex(' ').constData(), once.toHex(' ').constData(),
                 again.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
