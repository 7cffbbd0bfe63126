#include "tools/instrument.h"

#include <QDate>

#include <cstddef>
#include <cstdint>

// Whatever arrives on the line, in whatever pieces, the instrument answers or keeps quiet,
// and a running display or titration always ends with RESET.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Instrument instrument(QDate(2026, 12, 7));
    instrument.lineConnected();
    std::size_t start = 0;
    while (start < size) {
        const std::size_t length = 1 + data[start] % 8;
        instrument.receive(QByteArray(reinterpret_cast<const char *>(data + start), qMin(length, size - start)));
        for (int printout = 0; printout < 64 && instrument.hasOutput(); ++printout)
            instrument.takeOutput();
        start += length;
    }
    instrument.receive("L");
    for (int printout = 0; printout < 4 && instrument.hasOutput(); ++printout)
        instrument.takeOutput();
    if (instrument.hasOutput())
        __builtin_trap();
    return 0;
}
