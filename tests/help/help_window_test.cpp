#include "help/help_window.h"

#include "tests/support/test_application_environment.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

namespace {

QStringList listed(const HelpWindow &window)
{
    QStringList titles;
    const auto *contents = window.findChild<QListWidget *>("HelpContents");
    for (int row = 0; row < contents->count(); ++row)
        titles << contents->item(row)->text();
    return titles;
}

class HelpWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override { ensureTestApplication<QApplication>(); }
};

} // namespace

TEST_F(HelpWindowTest, OpensAtTheNamedPageAndPlace)
{
    HelpWindow *window = HelpWindow::open("method-setup#upload");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentPage(), "method-setup");
    const auto *browser = window->findChild<QTextBrowser *>("HelpBrowser");
    EXPECT_TRUE(browser->toPlainText().contains("Save 'n' Upload Method"));
    EXPECT_EQ(window->findChild<QListWidget *>("HelpContents")->currentItem()->text(), "Methods and their upload");

    EXPECT_EQ(HelpWindow::open("commands"), window) << "one help window, reused";
    EXPECT_EQ(window->currentPage(), "commands");
    delete window;
}

TEST_F(HelpWindowTest, SearchListsThePagesHoldingEveryWord)
{
    HelpWindow window;
    const QStringList all = listed(window);
    EXPECT_EQ(all.first(), "Contents");
    window.findChild<QLineEdit *>("HelpSearch")->setText("dialout");
    EXPECT_EQ(listed(window), QStringList{"Troubleshooting the serial port"});
    window.findChild<QLineEdit *>("HelpSearch")->setText("DIALOUT adduser nonsenseword");
    EXPECT_TRUE(listed(window).isEmpty());
    window.findChild<QLineEdit *>("HelpSearch")->clear();
    EXPECT_EQ(listed(window), all);
}

TEST_F(HelpWindowTest, EveryPageIsListedAndEveryLinkOfTheManualLeadsToAPageOrPlace)
{
    const HelpIndex index;
    QStringList ids;
    for (const HelpIndex::Page &page : index.pages()) {
        EXPECT_FALSE(page.title.isEmpty()) << page.id.toStdString();
        ids << page.id;
    }
    for (const QString &file : QDir(":/help").entryList({"*.html"}))
        EXPECT_TRUE(ids.contains(file.chopped(5))) << file.toStdString() << " is not in the contents";

    static const QRegularExpression link(R"(href="([^"#]+)\.html(#([^"]+))?")");
    for (const QString &id : ids) {
        QFile file(":/help/" + id + ".html");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &match : link.globalMatch(html)) {
            QFile target(":/help/" + match.captured(1) + ".html");
            ASSERT_TRUE(target.open(QIODevice::ReadOnly)) << id.toStdString() << " links " << match.captured(0).toStdString();
            if (match.hasCaptured(3)) {
                EXPECT_TRUE(target.readAll().contains(("name=\"" + match.captured(3) + "\"").toUtf8()))
                    << id.toStdString() << " links " << match.captured(0).toStdString();
            }
        }
    }
}

TEST_F(HelpWindowTest, UsableWhileAModalDialogIsOpen)
{
    QDialog dialog;
    bool blocked = true;
    QString page;
    whenModalLoopRuns([&] {
        HelpWindow *window = HelpWindow::open("serial-settings");
        page = window->currentPage();
        blocked = QGuiApplicationPrivate::instance()->isWindowBlocked(window->windowHandle());
        delete window;
        dialog.reject();
    });
    dialog.exec();
    EXPECT_EQ(page, "serial-settings");
    EXPECT_FALSE(blocked);
}

TEST_F(HelpWindowTest, HelpKeyOfADialogOpensItsPage)
{
    QDialog dialog;
    auto *field = new QLineEdit(&dialog);
    HelpWindow::addHelpKey(&dialog, "serial-settings");
    QString page;
    whenModalLoopRuns([&] {
        dialog.activateWindow();
        QWindowSystemInterface::flushWindowSystemEvents();
        field->setFocus();
        EXPECT_EQ(QApplication::activeWindow(), &dialog);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
            dialog.windowHandle(), QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        if (auto *window = dialog.findChild<HelpWindow *>()) {
            page = window->currentPage();
            delete window;
        }
        dialog.reject();
    });
    dialog.exec();
    EXPECT_EQ(page, "serial-settings");
}
