#include "app/terminal_edit.h"
#include "form_fixture.h"

#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

// What a reader of the terminal text sees after each change.
struct Changes
{
    explicit Changes(TerminalEdit &edit)
    {
        QObject::connect(&edit, &TerminalEdit::terminalChanged, [this](qsizetype from) { starts.append(from); });
    }
    QList<qsizetype> starts;
};

} // namespace

class TerminalEditTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { testApplication(); }

    void type(const QString &keys)
    {
        for (const QChar key : keys) {
            if (key == QLatin1Char('\n'))
                QTest_keyClick(Qt::Key_Return, QString());
            else
                QTest_keyClick(Qt::Key_unknown, QString(key));
        }
    }

    void QTest_keyClick(Qt::Key key, const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&edit, &press);
    }

    void press(Qt::Key key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&edit, &event);
    }

    TerminalEdit edit;
};

TEST_F(TerminalEditTest, ShowsReceivedTextAsLinesAndReportsWhereItBegan)
{
    Changes changes(edit);
    edit.appendReceived("first\r");
    edit.appendReceived("\nsecond\nthird\n");
    edit.appendReceived("\r continued\rfourth\n\r\n");
    EXPECT_EQ(edit.text(), "first\r\nsecond\nthird\n\r continued\rfourth\n\r\n");
    EXPECT_EQ(shownLines(edit), "first\nsecond\nthird\n continued\nfourth\n\n");
    EXPECT_EQ(changes.starts, (QList<qsizetype>{0, 6, 20}));
}

TEST_F(TerminalEditTest, WhatTheUserTypesReachesTheText)
{
    edit.setText("abc\r\ndef\r\nghi");
    Changes changes(edit);
    edit.setCaret(6); // between "d" and "ef"
    type("X");
    EXPECT_EQ(edit.text(), "abc\r\ndXef\r\nghi");
    EXPECT_EQ(changes.starts.last(), 6);

    type("\n");
    EXPECT_EQ(edit.text(), "abc\r\ndX\r\nef\r\nghi");

    // Deleting a whole line break removes its CR and LF together.
    edit.setCaret(3);
    press(Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "abcdX\r\nef\r\nghi");
    EXPECT_EQ(changes.starts.last(), 3);

    // A selection over several lines replaced by pasted text with its own breaks.
    edit.setSelection(2, 9);
    edit.insertText(QStringLiteral("1\n2\r\n3"));
    EXPECT_EQ(edit.text(), "ab1\r\n2\r\n3\r\nghi");
    EXPECT_EQ(shownLines(edit), "ab1\n2\n3\nghi");

    // Received breaks of one byte or of LF CR go as a whole too, and only they.
    edit.setText({});
    edit.appendReceived("ab\n\rcd\nef");
    edit.setCaret(2);
    press(Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "abcd\nef");
    edit.setCaret(4);
    press(Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "abcdef");
}

TEST_F(TerminalEditTest, CharactersOutsideTheCodePageKeepPositionsInStep)
{
    edit.setText("ab");
    edit.setCaret(1);
    edit.insertText(QString::fromUtf8("\u20ac\U0001F600"));
    type("z");
    EXPECT_EQ(edit.text(), "a\x80??zb");
}

TEST_F(TerminalEditTest, NewTextReplacesEverything)
{
    edit.appendReceived("old\r\nlines");
    Changes changes(edit);
    edit.setText("");
    EXPECT_TRUE(edit.text().isEmpty());
    EXPECT_TRUE(shownLines(edit).isEmpty());
    EXPECT_EQ(changes.starts, QList<qsizetype>{0});
    edit.beautify();
    EXPECT_EQ(changes.starts.size(), 1); // nothing to tidy, no change
}

TEST_F(TerminalEditTest, SelectionIsTakenFromTheTextWithItsLineBreaksAsReceived)
{
    edit.appendReceived("ab\n\rcd\ref");
    EXPECT_TRUE(edit.selectedBytes().isEmpty());
    edit.setSelection(1, 8); // "b", break, "cd", break, "e"
    EXPECT_EQ(edit.selectedBytes(), "b\n\rcd\re");
    EXPECT_EQ(edit.selectedSize(), 7);
}
