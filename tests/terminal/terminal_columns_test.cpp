#include "terminal/terminal_columns.h"

#include <gtest/gtest.h>

namespace {

// Columns found by walking the line from its start, with nothing remembered.
qsizetype walkedColumn(const TerminalText &text, qsizetype offset)
{
    qsizetype column = 0;
    for (qsizetype at = text.lineStart(text.lineAt(offset)); at < offset; ++at)
        column = text.text()[at] == '\t' ? (column / 8 + 1) * 8 : column + 1;
    return column;
}

} // namespace

// Remembered points must never outlive a change before them, nor a break joined at a line start.
TEST(TerminalColumns, RememberedPointsFollowEditsAndAppends)
{
    TerminalText text;
    TerminalColumns columns;
    const auto expectAllColumns = [&] {
        for (qsizetype line = 0; line < text.lineCount(); ++line)
            for (qsizetype at = text.lineStart(line); at <= text.lineEnd(line); ++at)
                ASSERT_EQ(columns.columnOf(text, at), walkedColumn(text, at)) << at;
    };
    text.appendReceived("ab\tcdefghij\tk\r");
    expectAllColumns();
    columns.forget(text.appendReceived("\nxy\tz"));
    expectAllColumns();
    columns.forget(text.replace(1, 0, "\t\t"));
    expectAllColumns();
    columns.forget(text.replace(4, 3, "\r\n"));
    expectAllColumns();
    EXPECT_EQ(columns.offsetAt(text, 0, 9), 2); // inside the second tab: the tab itself
    EXPECT_EQ(columns.offsetAt(text, 0, 500), text.lineEnd(0));

    columns.measure(text, 0, text.size());
    EXPECT_EQ(columns.widest(), walkedColumn(text, text.lineEnd(0)));
}
