// Compares the record finder with the plain reference rules on arbitrary terminal texts: header
// walk, incremental count, data block scan with "Read Buffer:" removal, and row splitting.

#include "common/cp1252.h"
#include "data/data_block.h"
#include "data/header_walker.h"
#include "data/record_counter.h"
#include "data/record_text.h"
#include "tests/data/record_reference.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

// Three bytes stand for whole headers and "Read Buffer:", so that short inputs reach them.
QByteArray expanded(const uint8_t *data, size_t size)
{
    QByteArray text;
    for (size_t i = 0; i < size; ++i) {
        switch (data[i]) {
        case 0x1c:
            text += phHeader;
            break;
        case 0x1d:
            text += mvHeader;
            break;
        case 0x1e:
            text += "rEAD bUFFER:";
            break;
        default:
            text += static_cast<char>(data[i]);
        }
    }
    return text;
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray text = expanded(data + 1, size - 1);
    const QList<qsizetype> ends = reference::headerEnds(text);
    check(countHeaders(text) == ends.size());

    const qsizetype split = text.size() * data[0] / 255;
    // The counter saw an older text that agrees up to `split` and then ended in a header.
    RecordCounter counter;
    counter.update(text.first(split) + phHeader.toByteArray(), 0);
    check(counter.update(text, split) == ends.size());

    for (int recordNo = 0; recordNo <= ends.size() + 1 && recordNo < 8; ++recordNo)
        check(recordData(text, recordNo) == reference::recordData(text, recordNo));

    const QString selection = cp1252::decode(text);
    check(splitDataBlock(selection) == reference::splitDataBlock(selection));
    return 0;
}
