#include "data/header_walker.h"
#include "data/record_counter.h"
#include "data/record_text.h"
#include "tests/data/record_reference.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Pieces that make headers, near misses and overlaps likely in a random text.
QByteArray randomPiece(std::mt19937 &random)
{
    static const QByteArray pieces[] = {phHeader.toByteArray(),
                                        mvHeader.toByteArray(),
                                        phHeader.first(30).toByteArray(),
                                        mvHeader.sliced(25).toByteArray(),
                                        "mL",
                                        "           ",
                                        "  1.000  0.100  3.45\r\n",
                                        "Read Buffer:",
                                        "x"};
    return pieces[std::uniform_int_distribution<int>(0, std::size(pieces) - 1)(random)];
}

QByteArray randomText(std::mt19937 &random, int pieces)
{
    QByteArray text;
    for (int i = 0; i < pieces; ++i)
        text += randomPiece(random);
    return text;
}

TEST(RecordCounter, FollowsClustersThatSplitAHeader)
{
    const QByteArray text = "abc" + phHeader.toByteArray() + "  1  2\r\n" + mvHeader.toByteArray();
    RecordCounter counter;
    QByteArray shown;
    for (qsizetype at = 0; at < text.size(); at += 7) {
        const qsizetype oldSize = shown.size();
        shown += text.mid(at, 7);
        EXPECT_EQ(counter.update(shown, oldSize), reference::headerEnds(shown).size()) << at;
    }
    EXPECT_EQ(counter.count(), 2);
}

TEST(RecordCounter, EqualsAFullRecountAfterRandomChanges)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        RecordCounter counter;
        QByteArray text;
        for (int change = 0; change < 12; ++change) {
            const int kind = std::uniform_int_distribution<int>(0, 3)(random);
            qsizetype changedFrom = text.size();
            if (kind == 0 && !text.isEmpty()) {
                // An edit somewhere inside: replace a stretch.
                changedFrom = std::uniform_int_distribution<qsizetype>(0, text.size() - 1)(random);
                const qsizetype removed =
                    std::uniform_int_distribution<qsizetype>(0, text.size() - changedFrom)(random);
                text.replace(changedFrom, removed, randomText(random, 2));
            } else if (kind == 1 && !text.isEmpty()) {
                changedFrom = std::uniform_int_distribution<qsizetype>(0, text.size())(random);
                text.truncate(changedFrom);
            } else {
                text += randomText(random, std::uniform_int_distribution<int>(1, 6)(random));
            }
            ASSERT_EQ(counter.update(text, changedFrom), reference::headerEnds(text).size())
                << "round " << round << " change " << change;
            // Every record, and one past the last, read with the counter's help.
            for (int recordNo = 1; recordNo <= counter.count() + 1; ++recordNo)
                ASSERT_EQ(recordData(text, counter, recordNo), reference::recordData(text, recordNo))
                    << "round " << round << " change " << change << " record " << recordNo;
        }
    }
}

} // namespace
