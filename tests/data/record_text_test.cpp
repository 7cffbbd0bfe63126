#include "data/header_walker.h"
#include "data/record_text.h"
#include "tests/data/record_reference.h"

#include <gtest/gtest.h>

namespace {

const QString crlf = QStringLiteral("\r\n");

QString table(QStringView header, const QString &lines)
{
    return QStringLiteral("    ") + header.toString() + crlf + lines + QStringLiteral("Titration end") + crlf;
}

QString phBlock(const QString &signal)
{
    return QStringLiteral("     1.000     0.100     %1     0.01     0.100\r\n").arg(signal);
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
    const QString text =
        table(phHeader, phBlock("3.45")) + table(mvHeader, phBlock("-120")) + table(phHeader, phBlock("7.01"));
    EXPECT_EQ(countHeaders(text), 3);
    EXPECT_EQ(recordData(text, 2), crlf + phBlock("-120"));
    EXPECT_EQ(recordData(text, 3), crlf + phBlock("7.01"));
}

TEST(HeaderWalker, NearMissesAreNoHeaders)
{
    QString missingBlank = phHeader.toString();
    missingBlank.remove(3, 1);
    QString extraBlank = mvHeader.toString();
    extraBlank.insert(30, u' ');
    const QString nearMisses[] = {missingBlank,
                                  extraBlank,
                                  phHeader.toString().toUpper(),
                                  phHeader.toString().replace(QStringLiteral("pH/mL"), QStringLiteral("ph/mL")),
                                  mvHeader.toString().replace(QStringLiteral("mL"), QStringLiteral("ml")),
                                  phHeader.chopped(1).toString(),
                                  mvHeader.toString().replace(u' ', u'\t')};
    for (const QString &text : nearMisses)
        EXPECT_EQ(countHeaders(table(text, phBlock("3.45"))), 0) << qPrintable(text);
}

TEST(HeaderWalker, AHeaderIsSkippedWholeBeforeTheNextSearch)
{
    // The second header would begin on the last "mL" of the first one; the walk has passed it.
    const QString overlapping = phHeader.toString() + phHeader.sliced(2).toString();
    EXPECT_EQ(overlapping.count(phHeader), 2);
    EXPECT_EQ(countHeaders(overlapping), 1);
    EXPECT_EQ(countHeaders(phHeader.toString() + phHeader.toString()), 2);
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
        const QString text = phHeader.toString() + QString::fromLatin1(c.after);
        EXPECT_EQ(recordData(text, 1), QString::fromLatin1(c.block)) << c.after;
    }
}

TEST(RecordText, ReadBufferIsRemovedInAnyCaseAndDoesNotEndTheBlock)
{
    const QString text = table(phHeader, QStringLiteral("   1.0   0.1   3.4   0.0   0.1\r\nRead Buffer:") +
                                             QStringLiteral("   2.0   0.1   3.5   0.1   0.2\r\nREAD bUFFER:\r\n"));
    EXPECT_EQ(recordData(text, 1), QStringLiteral("\r\n   1.0   0.1   3.4   0.0   0.1\r\n   2.0   0.1   3.5   0.1   0.2"
                                                  "\r\n\r\n"));
    // One pass: the removal does not look at the text it has joined.
    EXPECT_EQ(removeReadBuffer(u"ReadRead Buffer: Buffer:x"), QStringLiteral("Read Buffer:x"));
}

TEST(RecordText, RecordsThatTheCleanedTextLacksGiveNothing)
{
    const QString text = table(phHeader, phBlock("3.45"));
    EXPECT_EQ(recordData(text, 0), std::nullopt);
    EXPECT_EQ(recordData(text, 2), std::nullopt);
    // Removing "Read Buffer:" can also make a header out of two pieces.
    const QString joined =
        phHeader.first(20).toString() + QStringLiteral("read buffer:") + phHeader.sliced(20).toString();
    EXPECT_EQ(countHeaders(joined), 0);
    EXPECT_EQ(recordData(joined + QStringLiteral("  1"), 1), QStringLiteral("  1"));
}

} // namespace
