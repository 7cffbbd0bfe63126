#include "data/header_walker.h"
#include "terminal/terminal_edit.h"
#include "tests/support/form_fixture.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QTabWidget>

namespace {

const QByteArray kPhTable = "   " + phHeader.toByteArray() +
                            "\r\n     0.000     0.000     3.45     0.00     0.000\r\n"
                            "     0.500     0.500     3.61     0.16     0.320\r\n"
                            "Read Buffer:     1.000     0.500     3.90     0.29     0.580\r\nTitration end\r\n";
const QByteArray kMvTable = "   " + mvHeader.toByteArray() +
                            "\r\n     0.000     0.000     -120     0     0.000\r\n"
                            "     0.200     0.200     -100\r\nResult 1\r\n";

class RecordsFormTest : public FormFixture
{
  protected:
    TerminalEdit *terminal() const { return control<TerminalEdit>(QStringLiteral("Terminal")); }
    QComboBox *chooser() const { return control<QComboBox>(QStringLiteral("comboBoxSelectRecord")); }
    /// Changes the page as the user does, with the tab.
    void enterPage(int index) const
    {
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(0);
        control<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(index);
    }
    QStringList row(int index) const
    {
        QStringList texts;
        for (int column = 0; column < 5; ++column)
            texts << cells().cell(index, column);
        return texts;
    }
    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < chooser()->count(); ++i)
            texts << chooser()->itemText(i);
        return texts;
    }
    void select(qsizetype from, qsizetype length) const { terminal()->setSelection(from, from + length); }
    void moveMouseOverTerminal() const
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), QPointF(20, 20), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(terminal()->viewport(), &move);
    }
};

TEST_F(RecordsFormTest, ListsPhAndMvRecordsTogetherAndParsesTheChosenOne)
{
    terminal()->setText(kPhTable + kMvTable + kPhTable);
    EXPECT_EQ(items(), QStringList({"data record 1", "data record 2", "data record 3"}));
    EXPECT_EQ(chooser()->currentIndex(), 2);

    chooser()->setCurrentIndex(1);
    enterPage(1);
    EXPECT_EQ(form->DataRowCount, 2);
    ASSERT_EQ(cells().rowCount(), 3);
    EXPECT_EQ(row(0), QStringList({"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"}));
    EXPECT_EQ(row(1), QStringList({"0.000", "0.000", "-120", "0", "0.000"}));
    EXPECT_EQ(row(2), QStringList({"0.200", "0.200", "-100", " ", " "}));

    // "Read Buffer:" between the lines of a record does not reach the table.
    chooser()->setCurrentIndex(0);
    enterPage(1);
    EXPECT_EQ(form->DataRowCount, 3);
    EXPECT_EQ(row(3), QStringList({"1.000", "0.500", "3.90", "0.29", "0.580"}));
}

TEST_F(RecordsFormTest, KeepsTheChoiceUntilANewHeaderArrives)
{
    terminal()->setText(kPhTable + kPhTable);
    chooser()->setCurrentIndex(0);
    terminal()->appendReceived("     2.000     0.500     4.10\r\n");
    EXPECT_EQ(chooser()->count(), 2);
    EXPECT_EQ(chooser()->currentIndex(), 0);

    terminal()->appendReceived(kMvTable.first(40));
    terminal()->appendReceived(kMvTable.sliced(40));
    EXPECT_EQ(items(), QStringList({"data record 1", "data record 2", "data record 3"}));
    EXPECT_EQ(chooser()->currentIndex(), 2);

    chooser()->setCurrentIndex(0);
    terminal()->setText(kPhTable + kMvTable);
    EXPECT_EQ(items(), QStringList({"data record 1", "data record 2"}));
    EXPECT_EQ(chooser()->currentIndex(), 1);

    terminal()->setText("");
    EXPECT_EQ(chooser()->count(), 0);
    EXPECT_EQ(chooser()->currentText(), "no data available");
}

TEST_F(RecordsFormTest, ASelectionOfSixCharactersIsParsedInsteadOfTheRecord)
{
    terminal()->setText(kPhTable + "  7.5  1\r\n");
    const qsizetype selectionStart = terminal()->text().indexOf("  7.5");
    moveMouseOverTerminal();
    EXPECT_EQ(form->statusText(), "");

    select(selectionStart, 5);
    moveMouseOverTerminal();
    EXPECT_EQ(form->statusText(), "");
    enterPage(1);
    EXPECT_EQ(form->DataRowCount, 3);

    select(selectionStart, 8);
    moveMouseOverTerminal();
    EXPECT_EQ(form->statusText(), "Attention: Manual Selection of Data!");
    enterPage(1);
    EXPECT_EQ(form->DataRowCount, 1);
    EXPECT_EQ(row(1), QStringList({"7.5", "1", " ", " ", " "}));
}

TEST_F(RecordsFormTest, WithoutRecordOrSelectionThePagesLeaveTheTableAlone)
{
    cells().setCell(1, 0, "typed");
    enterPage(1);
    enterPage(2);
    EXPECT_EQ(form->DataRowCount, 0);
    EXPECT_EQ(row(1)[0], "typed");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(RecordsFormTest, OnlyThePageChangesOfTheUserRefillTheTable)
{
    terminal()->setText(kPhTable);
    enterPage(1);
    cells().setCell(1, 0, "9.9");
    form->Graph2Click();
    EXPECT_EQ(control<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 2);
    EXPECT_EQ(row(1)[0], "9.9");
    enterPage(1);
    EXPECT_EQ(row(1)[0], "0.000");
}

TEST_F(RecordsFormTest, ATableArrivingOverTheLineBecomesDataRecordOne)
{
    device().receive(kPhTable);
    ASSERT_TRUE(advance(20000, [&] { return chooser()->count() == 1; }));
    EXPECT_EQ(chooser()->currentText(), "data record 1");
    enterPage(1);
    EXPECT_EQ(form->DataRowCount, 3);
}

} // namespace
