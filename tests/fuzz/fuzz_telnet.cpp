#include "device/telnetcodec.h"

#include <algorithm>
#include <cstdlib>

namespace
{

using Events = QList<CTelnetCodec::Event>;

bool Same(const Events& a, const Events& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.kind == y.kind && x.option == y.option && x.command == y.command &&
               x.value == y.value;
    });
}

} // namespace

// What a server says means the same however the network cuts it up; data, escaped, is never taken
// for a command; a reply, however odd its value, reads back as itself after any data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    CTelnetCodec whole;
    whole.Feed(input);
    const Events expected = whole.TakeEvents();
    for (const CTelnetCodec::Event& event : expected)
        CTelnetCodec::Answer(event);

    CTelnetCodec pieces;
    Events got;
    for (qsizetype at = 0, i = 0; at < input.size(); ++i) {
        const qsizetype length = 1 + quint8(input[i % input.size()]) % 7;
        pieces.Feed(input.mid(at, length));
        got += pieces.TakeEvents();
        at += length;
    }
    if (!Same(expected, got))
        std::abort();

    if (input.isEmpty())
        return 0;
    // The code of a reply is the command's plus 100, and a reply's value fits the bound.
    const quint8 command = quint8(input[0]) % 100;
    const QByteArray value = input.mid(1, CTelnetCodec::kMostSubBytes - 2);
    const QByteArray reply = CTelnetCodec::ComPort(CTelnetCodec::Command(command + 100), value);
    CTelnetCodec afterData;
    afterData.Feed(CTelnetCodec::Escape(input) + reply);
    const Events read = afterData.TakeEvents();
    if (read.size() != 1 || read[0].kind != CTelnetCodec::Event::Kind::ComPortReply ||
        read[0].command != command || read[0].value != value)
        std::abort();
    return 0;
}
