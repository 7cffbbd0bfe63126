#include "app/terminal_text.h"

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

TEST(TerminalText, EveryKindOfLineEndBecomesOneBreak)
{
    EXPECT_EQ(received({"a\rb\nc\r\nd\n\re"}), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(received({"a\r\r\nb"}), "a\r\n\r\nb");
    EXPECT_EQ(TerminalText::normalized("x\n\ny\r"), "x\r\n\r\ny\r\n");
}

TEST(TerminalText, CrLfSplitOverTwoClustersIsOneBreak)
{
    EXPECT_EQ(received({"line 1\r", "\nline 2"}), "line 1\r\nline 2");
    EXPECT_EQ(received({"line 1\r", "\n", "\nline 3"}), "line 1\r\n\r\nline 3");
    EXPECT_EQ(received({"a\r", "\r", "\nb"}), "a\r\n\r\nb");
    // The CR shows its break at once, before the LF has come.
    TerminalText text;
    text.appendReceived("end\r");
    EXPECT_TRUE(text.endsWithLineBreak());
    // A line the program adds in between does not separate the two halves of the pair.
    text.addLine("Status:");
    text.appendReceived("\nreply");
    EXPECT_EQ(text.text(), "end\r\nStatus:\r\nreply");
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
}
