#include "terminal/terminal_text.h"

#include <gtest/gtest.h>

namespace {

QByteArray received(std::initializer_list<QByteArrayView> clusters)
{
    TerminalText text;
    for (QByteArrayView cluster : clusters)
        text.appendReceived(cluster);
    return text.text();
}

} // namespace

TEST(TerminalText, ReceivedClustersAreAppendedWithNothingAdded)
{
    EXPECT_EQ(received({"abc", "def\r\n", "ghi"}), "abcdef\r\nghi");
    // Text after an unfinished line continues that line.
    EXPECT_EQ(received({"pH 7.0", "1\r\n"}), "pH 7.01\r\n");
    EXPECT_EQ(received({"", "x"}), "x");
}

TEST(TerminalText, ReceivedLineEndsAreKeptAndEachShowsOneBreak)
{
    struct Case
    {
        QList<QByteArrayView> clusters;
        QList<QByteArray> lines;
    };
    const QList<Case> cases = {
        {{"a\rb\nc\r\nd\n\re"}, {"a", "b", "c", "d", "e"}},
        {{"a\r\r\nb"}, {"a", "", "b"}},
        {{"a\n\r\nb"}, {"a", "", "b"}},
        // A pair split over two clusters is one break.
        {{"line 1\r", "\nline 2"}, {"line 1", "line 2"}},
        {{"line 1\n", "\rline 2"}, {"line 1", "line 2"}},
        {{"line 1\r", "\n", "\nline 3"}, {"line 1", "", "line 3"}},
        {{"a\r", "\r", "\nb"}, {"a", "", "b"}},
    };
    for (const Case &c : cases) {
        TerminalText text;
        QByteArray sent;
        for (QByteArrayView cluster : c.clusters) {
            text.appendReceived(cluster);
            sent += cluster;
        }
        EXPECT_EQ(text.text(), sent);
        EXPECT_EQ(text.lines(), c.lines) << sent.toStdString();
        EXPECT_EQ(text.shownFrom(0), c.lines.join('\n')) << sent.toStdString();
        EXPECT_EQ(text.shownSize(), text.shownFrom(0).size());
    }
    // A file opened is still read with every lone CR and LF as CR LF.
    EXPECT_EQ(TerminalText::normalized("x\n\ny\r"), "x\r\n\r\ny\r\n");
}

TEST(TerminalText, ChangesReportWhereTheyBegan)
{
    TerminalText text;
    EXPECT_EQ(text.appendReceived("0123"), 0);
    EXPECT_EQ(text.appendReceived("45"), 4);
    EXPECT_EQ(text.addLine("x"), 6);
    EXPECT_EQ(text.replace(2, 1, "Z"), 2);
    EXPECT_EQ(text.text(), "01Z345\r\nx");
    EXPECT_EQ(text.setText("new"), 0);
}

TEST(TerminalText, AddedLineStandsOnALineOfItsOwn)
{
    TerminalText text;
    text.addLine("L");
    EXPECT_EQ(text.text(), "L\r\n");
    text.addLine("M");
    EXPECT_EQ(text.text(), "L\r\nM\r\n");
    text.appendReceived("reply without end");
    text.addLine("N");
    EXPECT_EQ(text.text(), "L\r\nM\r\nreply without end\r\nN");
}

TEST(TerminalText, BeautifyHalvesRunsOfLineBreaks)
{
    TerminalText text;
    text.setText("a\r\n\r\n\r\n\r\nb");
    EXPECT_EQ(text.beautify(), 1);
    EXPECT_EQ(text.text(), "a\r\n\r\nb");

    // k breaks become ceil(k / 2): one blank line disappears, two become one, so do three.
    const std::pair<int, int> runs[] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}};
    for (const auto &[before, after] : runs) {
        text.setText("x" + QByteArray("\r\n").repeated(before) + "y");
        text.beautify();
        EXPECT_EQ(text.text(), "x" + QByteArray("\r\n").repeated(after) + "y") << before;
    }

    text.setText("no\r\nblank\r\nlines\r\n");
    EXPECT_EQ(text.beautify(), text.size());
    EXPECT_EQ(text.text(), "no\r\nblank\r\nlines\r\n");
}

TEST(TerminalText, LinesAreTheTextSplitAtItsBreaks)
{
    TerminalText text;
    EXPECT_TRUE(text.lines().isEmpty());
    text.setText("one\r\n\r\nthree\r\n");
    EXPECT_EQ(text.lines(), (QList<QByteArray>{"one", "", "three"}));
    text.appendReceived("four");
    EXPECT_EQ(text.lines(), (QList<QByteArray>{"one", "", "three", "four"}));
}

TEST(TerminalText, ReplacedBytesAreNormalised)
{
    TerminalText text;
    text.setText("ab");
    text.replace(1, 0, "\n");
    EXPECT_EQ(text.text(), "a\r\nb");
    text.replace(1, 2, "");
    EXPECT_EQ(text.text(), "ab");

    // Removing what stood between a CR and an LF joins them into one break.
    TerminalText received;
    received.appendReceived("a\rX\nb\n\n");
    EXPECT_EQ(received.lines(), (QList<QByteArray>{"a", "X", "b", ""}));
    received.replace(2, 1, "");
    EXPECT_EQ(received.lines(), (QList<QByteArray>{"a", "b", ""}));
    EXPECT_EQ(received.shownSize(), 5);
}
