#include "terminal/terminal_edit.h"
#include "tests/support/form_fixture.h"

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

TEST_F(TerminalEditTest, MouseSelectionAcrossClustersCopiesAndPastesInTheCodePage)
{
    edit.resize(400, 200);
    edit.show();
    // A line break split between two clusters, and bytes that are not ASCII.
    edit.appendReceived("pH 7.5\r");
    edit.appendReceived("\n\x80 caf\xe9 12.5\r\n");
    const auto mouse = [&](QEvent::Type type, qsizetype offset, Qt::MouseButtons buttons) {
        const QPointF at = edit.characterRect(offset).topLeft() + QPointF(0, 2);
        QMouseEvent event(type, at, edit.viewport()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(edit.viewport(), &event);
    };
    mouse(QEvent::MouseButtonPress, 3, Qt::LeftButton);
    mouse(QEvent::MouseMove, 10, Qt::LeftButton);
    mouse(QEvent::MouseMove, 14, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, 14, Qt::NoButton);
    EXPECT_EQ(edit.selectedBytes(), "7.5\r\n\x80 caf\xe9");

    edit.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("7.5\n\u20ac caf\u00e9"));
    edit.setCaret(edit.text().size());
    edit.paste();
    EXPECT_EQ(edit.text().sliced(edit.text().size() - 11), "7.5\r\n\x80 caf\xe9");

    // Shift with the arrow keys extends the selection from where it was.
    edit.setCaret(0);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&edit, &down);
    EXPECT_EQ(edit.selectedBytes(), "pH 7.5\r\n");
}

TEST_F(TerminalEditTest, TypingInTheMiddleWhileClustersArriveAtTheEnd)
{
    edit.setText("first\r\nsecond\r\n");
    Changes changes(edit);
    edit.setCaret(9); // "se|cond"
    type("X");
    edit.appendReceived("third\r");
    type("Y");
    edit.appendReceived("\nfourth");
    type("\n");
    EXPECT_EQ(edit.text(), "first\r\nseXY\r\ncond\r\nthird\r\nfourth");
    EXPECT_EQ(shownLines(edit), "first\nseXY\ncond\nthird\nfourth");
    EXPECT_EQ(changes.starts, (QList<qsizetype>{9, 16, 10, 23, 11}));
    EXPECT_EQ(edit.caret(), 13);
}

TEST_F(TerminalEditTest, ReceptionShowsTheEndOfTheLastLine)
{
    edit.resize(300, 150);
    edit.show();
    QByteArray lines;
    for (int line = 0; line < 500; ++line)
        lines += "line " + QByteArray::number(line) + "\r\n";
    edit.appendReceived(lines);
    edit.appendReceived(QByteArray(5001, 'x') + "\tEND");
    edit.scrollToEnd();
    EXPECT_EQ(edit.lastVisibleLine(), 500);
    const QRect end = edit.characterRect(edit.caret());
    EXPECT_TRUE(edit.viewport()->rect().contains(end.center())) << end.x() << "," << end.y();
    // "END" starts after the tab, at the next multiple of eight columns.
    const qreal tabWidth = 7 * QFontMetricsF(edit.font()).horizontalAdvance(u'0');
    EXPECT_NEAR(edit.characterRect(edit.caret() - 3).x() - edit.characterRect(edit.caret() - 4).x(), tabWidth, 1.0);

    // The painted view shows ink left of the caret on the last line, and none below it.
    const QImage shown = edit.viewport()->grab().toImage();
    const auto inkIn = [&](QRect area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = std::max(0, area.left()); x <= area.right() && x < shown.width(); ++x)
                if (qGray(shown.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(QRect(end.x() - 20, end.y(), 18, end.height())));
    EXPECT_FALSE(inkIn(QRect(0, end.bottom() + 2, shown.width(), shown.height() - end.bottom() - 3)));
}
