#include "data/header_walker.h"
#include "data/record_text.h"
#include "tests/data/record_reference.h"

#include <gtest/gtest.h>

namespace {

const QByteArray crlf = "\r\n";

QByteArray table(QByteArrayView header, const QByteArray &lines)
{
    return "    " + header.toByteArray() + crlf + lines + "Titration end" + crlf;
}

QByteArray phBlock(const QByteArray &signal)
{
    return "     1.000     0.100     " + signal + "     0.01     0.100\r\n";
}

TEST(GetFoundPattern, TakesTheEarlierHeaderOrTheOnlyOne)
{
    struct Case
    {
        qsizetype ph, mv;
        bool takePh;
    } const cases[] = {{5, 0, true}, {0, 5, false}, {3, 9, true}, {9, 3, false}, {1, 2, true}, {2, 1, false}};
    for (const Case &c : cases)
        EXPECT_EQ(GetFoundPattern(c.ph, c.mv), c.takePh) << c.ph << " " << c.mv;
}

TEST(HeaderWalker, CountsPhAndMvRecordsTogetherInTextOrder)
{
    const QByteArray text =
        table(phHeader, phBlock("3.45")) + table(mvHeader, phBlock("-120")) + table(phHeader, phBlock("7.01"));
    EXPECT_EQ(countHeaders(text), 3);
    EXPECT_EQ(recordData(text, 2), crlf + phBlock("-120"));
    EXPECT_EQ(recordData(text, 3), crlf + phBlock("7.01"));
}

TEST(HeaderWalker, NearMissesAreNoHeaders)
{
    QByteArray missingBlank = phHeader.toByteArray();
    missingBlank.remove(3, 1);
    QByteArray extraBlank = mvHeader.toByteArray();
    extraBlank.insert(30, ' ');
    const QByteArray nearMisses[] = {missingBlank,
                                     extraBlank,
                                     phHeader.toByteArray().toUpper(),
                                     phHeader.toByteArray().replace("pH/mL", "ph/mL"),
                                     mvHeader.toByteArray().replace("mL", "ml"),
                                     phHeader.chopped(1).toByteArray(),
                                     mvHeader.toByteArray().replace(' ', '\t')};
    for (const QByteArray &text : nearMisses)
        EXPECT_EQ(countHeaders(table(text, phBlock("3.45"))), 0) << text.constData();
}

TEST(HeaderWalker, AHeaderIsSkippedWholeBeforeTheNextSearch)
{
    // The second header would begin on the last "mL" of the first one; the walk has passed it.
    const QByteArray overlapping = phHeader.toByteArray() + phHeader.sliced(2).toByteArray();
    EXPECT_EQ(overlapping.count(phHeader), 2);
    EXPECT_EQ(countHeaders(overlapping), 1);
    EXPECT_EQ(countHeaders(phHeader.toByteArray() + phHeader.toByteArray()), 2);
    EXPECT_EQ(countHeaders(overlapping), reference::headerEnds(overlapping).size());
}

TEST(RecordText, DataBlockEndsAtTheFirstCharacterThatIsNoDataCharacter)
{
    struct Case
    {
        const char *after;
        const char *block;
    } const cases[] = {
        {"  1.5E-3  2,5\r\n  3\r\nTitration", "  1.5E-3  2,5\r\n  3\r\n"},
        {"  1.5e-3  2\r\n", "  1.5"},
        {"  1.5\t2\r\n", "  1.5"},
        {"  1.5  2x", "  1.5  2"},
        {"  1.5  2", "  1.5  2"},
        {"Result", ""},
    };
    for (const Case &c : cases) {
        const QByteArray text = phHeader.toByteArray() + c.after;
        EXPECT_EQ(recordData(text, 1), QByteArray(c.block)) << c.after;
    }
}

TEST(RecordText, ReadBufferIsRemovedInAnyCaseAndDoesNotEndTheBlock)
{
    const QByteArray text = table(phHeader, "   1.0   0.1   3.4   0.0   0.1\r\nRead Buffer:"
                                            "   2.0   0.1   3.5   0.1   0.2\r\nREAD bUFFER:\r\n");
    EXPECT_EQ(recordData(text, 1),
              QByteArray("\r\n   1.0   0.1   3.4   0.0   0.1\r\n   2.0   0.1   3.5   0.1   0.2\r\n\r\n"));
    // One pass: the removal does not look at the text it has joined.
    EXPECT_EQ(removeReadBuffer("ReadRead Buffer: Buffer:x"), QByteArray("Read Buffer:x"));
    EXPECT_EQ(removeReadBuffer("Read Buffer"), QByteArray("Read Buffer"));
}

TEST(RecordText, RecordsThatTheCleanedTextLacksGiveNothing)
{
    const QByteArray text = table(phHeader, phBlock("3.45"));
    EXPECT_EQ(recordData(text, 0), std::nullopt);
    EXPECT_EQ(recordData(text, 2), std::nullopt);
    // Removing "Read Buffer:" can also make a header out of two pieces.
    const QByteArray joined = phHeader.first(20).toByteArray() + "read buffer:" + phHeader.sliced(20).toByteArray();
    EXPECT_EQ(countHeaders(joined), 0);
    EXPECT_EQ(recordData(joined + "  1", 1), QByteArray("  1"));
}

} // namespace
