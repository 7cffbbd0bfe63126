#include "tests/support/form_fixture.h"
#include "tests/support/screen_reader_listening.h"
#include "tests/support/titration_text.h"

#include <QAccessible>
#include <QComboBox>
#include <QTabWidget>

namespace {

QString g_focused;

// What the bus bridge does with every event: it finds the object the event is about.
void resolveLikeTheBridge(QAccessibleEvent *event)
{
    QAccessibleInterface *about = event->accessibleInterface();
    if (event->type() == QAccessible::Focus && about)
        g_focused = about->text(QAccessible::Name);
}

/// Everything a screen reader reaches by going through the window's children.
int reachableObjects(QAccessibleInterface *root)
{
    int count = 0;
    QList<QAccessibleInterface *> pending{root};
    while (!pending.isEmpty()) {
        QAccessibleInterface *node = pending.takeLast();
        ++count;
        for (int index = 0, children = node->childCount(); index < children; ++index) {
            if (QAccessibleInterface *child = node->child(index))
                pending.append(child);
        }
    }
    return count;
}

class ScreenReaderForm : public FormFixture
{
};

TEST_F(ScreenReaderForm, FirstPageSwitchAfterAnIntakeShowsTheItemsInViewNotOnePerRecord)
{
    constexpr int kRecords = 5000;
    form->resize(1024, 768);
    form->show();
    const ScreenReaderListening on(resolveLikeTheBridge);
    QByteArray text;
    for (int record = 0; record < kRecords; ++record)
        text += titrationRecord(3);
    text += titrationRecord(40);
    control<TerminalEdit>("Terminal")->setText(text);
    auto *chooser = control<QComboBox>("comboBoxSelectRecord");
    ASSERT_EQ(chooser->count(), kRecords + 1);

    control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QCoreApplication::processEvents();

    EXPECT_LT(reachableObjects(QAccessible::queryAccessibleInterface(form)), 1000);
    // The pages behind show screen readers none of their controls; the page in front all of them.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QWidget>("TabSheet1"))->childCount(), 0);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QWidget>("TabSheet2"))->childCount(), 2);
    // The closed list of records stands for the record chosen.
    QAccessibleInterface *records = QAccessible::queryAccessibleInterface(chooser)->child(0);
    ASSERT_NE(records, nullptr);
    EXPECT_EQ(records->role(), QAccessible::List);
    ASSERT_EQ(records->childCount(), 1);
    EXPECT_EQ(records->child(0)->text(QAccessible::Name), QStringLiteral("data record %1").arg(kRecords + 1));
    EXPECT_EQ(records->tableInterface()->rowCount(), kRecords + 1);
    // The table tells its real size and hands out any cell; its children are the rows in view.
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(control<QTableView>("Table"));
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->tableInterface()->rowCount(), 41);
    EXPECT_EQ(table->tableInterface()->cellAt(40, 0)->text(QAccessible::Name), cells().cell(40, 0));
    EXPECT_GT(table->childCount(), 5);
    EXPECT_LT(table->childCount(), 41 * 5);
    QAccessibleInterface *first = table->child(0);
    EXPECT_EQ(first->text(QAccessible::Name), cells().cell(1, 0));
    EXPECT_EQ(table->indexOfChild(first), 0);

    // In the open list the reader is told of the record the user moves to.
    control<QTabWidget>("PageControl1")->setCurrentIndex(0);
    chooser->showPopup();
    QCoreApplication::processEvents();
    chooser->view()->setCurrentIndex(chooser->model()->index(99, 0));
    EXPECT_EQ(g_focused, "data record 100");
    EXPECT_LT(records->childCount(), 100);
    chooser->hidePopup();
}

} // namespace
