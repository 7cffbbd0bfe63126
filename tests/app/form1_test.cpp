#include "app/status_led.h"
#include "data/header_walker.h"
#include "help/help_window.h"
#include "terminal/terminal_edit.h"
#include "tests/support/form_fixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <qpa/qwindowsysteminterface.h>

namespace {

const QColor kGrey(0x80, 0x80, 0x80);
const QColor kRed(0xFF, 0x00, 0x00);
const QByteArray kFirstLine = "Terminal DL 25 - Laborkurs Nord\r\n";

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class Form1Test : public FormFixture
{
  protected:
    TerminalEdit *terminal() const { return control<TerminalEdit>(QStringLiteral("Terminal")); }
    QByteArray terminalText() const { return form->terminalText().text(); }
    QColor lamp() const { return control<StatusLed>(QStringLiteral("LED"))->color(); }
    void setTerminal(const QByteArray &text) { terminal()->setText(text); }
    QTemporaryDir dir;
};

TEST_F(Form1Test, StartsOnTheTerminalPageWithPortOpenAndTableTitles)
{
    EXPECT_EQ(form->windowTitle(), "Korvane");
    EXPECT_EQ(control<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_TRUE(form->SerialPort1->Active());
    EXPECT_EQ(form->SerialPort1->CommPort(), "COM1");
    EXPECT_EQ(form->SerialPort1->BaudRate(), 2400u);
    EXPECT_EQ(form->SerialPort1->DataBits(), 7);
    EXPECT_EQ(form->SerialPort1->ParityType(), 2);
    EXPECT_EQ(form->SerialPort1->StopBits(), 2);
    EXPECT_EQ(form->SerialPort1->RTOCharDelayTime(), 4500u);
    EXPECT_EQ(form->SerialPort1->WTOCharDelayTime(), 4500u);
    EXPECT_EQ(form->SerialPort1->WTOExtraDelayTime(), 1000);
    EXPECT_EQ(form->SerialPort1->ClusterSize(), 4096);
    EXPECT_EQ(form->SerialPort1->RxQueueSize(), 2048);
    EXPECT_EQ(form->statusText(), "Ready");
    EXPECT_EQ(terminalText(), kFirstLine);
    EXPECT_EQ(lamp(), kGrey);
    EXPECT_EQ(control<QComboBox>("comboBoxSelectRecord")->currentText(), "no data available");
    EXPECT_EQ(control<QComboBox>("comboBoxSelectRecord")->count(), 0);

    ASSERT_EQ(cells().columnCount(), 5);
    EXPECT_EQ(cells().rowCount(), 2);
    const QStringList titles = {"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(cells().cell(0, column), titles[column]);
}

TEST_F(Form1Test, EveryControlHasItsNameAndAnAccessibleName)
{
    const QStringList names = {"Terminal",
                               "Table",
                               "StatusBar1",
                               "Edit1",
                               "LED",
                               "comboBoxSelectRecord",
                               "PageControl1",
                               "TabSheet1",
                               "TabSheet2",
                               "TabSheet3",
                               "Titrationskurve",
                               "Send",
                               "BitBtn2",
                               "Graph2",
                               "BitBtn1",
                               "SaveTable",
                               "ClearTable",
                               "BtPrintCurve",
                               "Save",
                               "ToolBar1"};
    for (const QString &name : names) {
        QWidget *widget = control<QWidget>(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << name.toStdString();
    }
    EXPECT_EQ(control<QPushButton>("BitBtn2")->text(), "Beautify");
    EXPECT_EQ(control<QPushButton>("BitBtn2")->toolTip(), "Remove double blank lines");
    EXPECT_EQ(control<QWidget>("LED")->toolTip(), "COM Status");
    EXPECT_EQ(control<QWidget>("LED")->size(), QSize(21, 15));
    EXPECT_TRUE(control<QPushButton>("Send")->isDefault());
    auto *tabs = control<QTabWidget>("PageControl1");
    EXPECT_EQ(tabs->tabText(0), "Terminal");
    EXPECT_EQ(tabs->tabText(1), "Table");
    EXPECT_EQ(tabs->tabText(2), "Curve");
}

TEST_F(Form1Test, ToolBarHintsInOrder)
{
    const QStringList hints = {"New File",
                               "Open File",
                               "",
                               "",
                               "Cut",
                               "Copy",
                               "Paste",
                               "Select All",
                               "Fill Buret",
                               "Mode",
                               "List Method",
                               "List All Methods",
                               "Run",
                               "Show Results (table)",
                               "Reset",
                               "Status",
                               "Keyboard on",
                               "Help",
                               "Exit The Program"};
    for (int i = 0; i < hints.size(); ++i) {
        auto *button = control<QToolButton>(QStringLiteral("ToolButton%1").arg(i + 1));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), hints[i]) << i + 1;
        EXPECT_FALSE(button->icon().isNull()) << i + 1;
    }
}

TEST_F(Form1Test, MenusCarryEveryEntryWithAccessKeysAndShortcuts)
{
    struct Entry
    {
        const char *menu;
        const char *text;
        const char *shortcut;
        bool enabled;
    };
    const Entry entries[] = {
        {"&File", "&New", "Ctrl+N", true},
        {"&File", "&Open...", "Ctrl+O", true},
        {"&File", "&Save as Text file", "Ctrl+S", true},
        {"&File", "Save as &Excel file", "", true},
        {"&File", "Save as &CSV...", "", true},
        {"&File", "Save as X&LSX...", "", true},
        {"&File", "Export &Report...", "", true},
        {"&File", "&Print...", "Ctrl+P", true},
        {"&File", "Print Set&up...", "", true},
        {"&File", "Open capture &folder", "", true},
        {"&File", "E&xit", "Ctrl+Q", true},
        {"&Edit", "Cu&t", "Ctrl+X", true},
        {"&Edit", "&Copy", "Ctrl+C", true},
        {"&Edit", "&Paste", "Ctrl+V", true},
        {"&Edit", "Select &all", "", true},
        {"&Edit", "&Replace", "", false},
        {"&Titrator Setup", "Set &Date", "", true},
        {"&Titrator Setup", "&Fill Buret", "", true},
        {"&Titrator Setup", "p&H Calibration", "", true},
        {"&Titrator Setup", "Reagent &Constant", "", true},
        {"&Titrator Setup", "T&iter Concentration", "", true},
        {"&Titrator Setup", "&Series Input", "", false},
        {"&Titrator Setup", "Com &Port Settings", "", true},
        {"&Method", "&Mode (Method Setup)", "", true},
        {"&Method", "List &Current Method", "", true},
        {"&Method", "List &All Methods", "", true},
        {"Titr&ation", "Start Titration (&run)", "", true},
        {"Titr&ation", "S&eries Run", "", false},
        {"Titr&ation", "Get Results (s&hort)", "", true},
        {"Titr&ation", "Get Results (&table)", "", true},
        {"Titr&ation", "View &pH", "", true},
        {"Titr&ation", "View &mV", "", true},
        {"Titr&ation", "Re&set", "", true},
        {"Titr&ation", "Stat&us", "", true},
        {"T&oggle", "&Keyboard", "", true},
        {"T&oggle", "&Stirrer", "", true},
        {"&Journal", "&Open Journal...", "Ctrl+J", true},
        {"&Journal", "Lab &server...", "", true},
        {"&Help", "&Contents", "", true},
        {"&Help", "Co&mmands", "", true},
        {"&Help", "&About...", "", true},
    };
    QStringList menus;
    for (QAction *menu : form->menuBar()->actions())
        menus.append(menu->text());
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Titrator Setup", "&Method", "Titr&ation", "T&oggle", "&Journal",
                                  "&Help"}));
    // Every menu and every entry has an Alt key of its own within its menu.
    const auto accessKey = [](const QString &text) { return text.at(text.indexOf(u'&') + 1).toLower(); };
    QSet<QChar> menuKeys;
    for (QAction *menu : form->menuBar()->actions()) {
        EXPECT_FALSE(menuKeys.contains(accessKey(menu->text()))) << menu->text().toStdString();
        menuKeys.insert(accessKey(menu->text()));
        QSet<QChar> keys;
        for (QAction *action : menu->menu()->actions()) {
            if (action->isSeparator())
                continue;
            ASSERT_TRUE(action->text().contains(u'&')) << action->text().toStdString();
            EXPECT_FALSE(keys.contains(accessKey(action->text()))) << action->text().toStdString();
            keys.insert(accessKey(action->text()));
        }
    }
    QStringList seen;
    for (QAction *menu : form->menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (!action->isSeparator())
                seen.append(menu->text() + "|" + action->text());
        }
    }
    QStringList expected;
    for (const Entry &entry : entries) {
        expected.append(QString::fromLatin1(entry.menu) + "|" + entry.text);
        for (QAction *menu : form->menuBar()->actions()) {
            if (menu->text() != entry.menu)
                continue;
            for (QAction *action : menu->menu()->actions()) {
                if (action->text() != entry.text)
                    continue;
                EXPECT_EQ(action->shortcut(), QKeySequence(entry.shortcut)) << entry.text;
                EXPECT_EQ(action->isEnabled(), entry.enabled) << entry.text;
            }
        }
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(Form1Test, ReceivedTextIsAppendedExactlyAndScrolledIntoView)
{
    QByteArray text = "Status:\r\n";
    for (int i = 0; i < 60; ++i)
        text += "  " + QByteArray::number(i) + ".000     0.100\r\n";
    device().receive(text);
    ASSERT_TRUE(advance(20000, [&] { return terminalText() == kFirstLine + text; })) << terminalText().toStdString();
    const QScrollBar *bar = terminal()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(terminal()->caret(), terminalText().size());
    EXPECT_FALSE(terminal()->hasSelection());
}

TEST_F(Form1Test, ClusterEventWithoutClusterTurnsLampGreyAndScrollsOnly)
{
    setTerminal(QByteArray("line\r\n").repeated(100) + "partial");
    terminal()->verticalScrollBar()->setValue(0);
    terminal()->setSelection(0, 3);
    form->SerialPort1RxCharEvent();
    EXPECT_EQ(lamp(), kRed);

    form->SerialPort1RxClusterEvent();
    EXPECT_EQ(lamp(), kGrey);
    EXPECT_EQ(terminalText(), QByteArray("line\r\n").repeated(100) + "partial");
    EXPECT_FALSE(terminal()->hasSelection());
    EXPECT_EQ(terminal()->verticalScrollBar()->value(), terminal()->verticalScrollBar()->maximum());
}

TEST_F(Form1Test, SendAddsTheTerminalLineAndSendsTheFieldAsTyped)
{
    auto *field = control<QLineEdit>("Edit1");
    form->SendClick();
    advance(10);
    EXPECT_EQ(terminalText(), kFirstLine);
    EXPECT_TRUE(device().written().isEmpty());

    field->setText("L");
    control<QPushButton>("Send")->click();
    EXPECT_EQ(terminalText(), kFirstLine + "L\r\n");
    EXPECT_TRUE(field->text().isEmpty());
    advance(10);
    EXPECT_EQ(device().written(), "L");
}

TEST_F(Form1Test, TerminalLineAfterTextWithAndWithoutFinalBreak)
{
    setTerminal("reply");
    form->addTerminalLine("Status:");
    EXPECT_EQ(terminalText(), "reply\r\nStatus:");
    form->addTerminalLine("Status:");
    EXPECT_EQ(terminalText(), "reply\r\nStatus:\r\nStatus:");
    setTerminal("reply\r\n");
    form->addTerminalLine("Status:");
    EXPECT_EQ(terminalText(), "reply\r\nStatus:\r\n");
}

TEST_F(Form1Test, BeautifyLeavesOneBlankLineOfThree)
{
    setTerminal("a\r\n\r\n\r\n\r\nb\r\nc");
    control<QPushButton>("BitBtn2")->click();
    EXPECT_EQ(terminalText(), "a\r\n\r\nb\r\nc");
    EXPECT_EQ(shownLines(*terminal()), "a\n\nb\nc");
    control<QPushButton>("BitBtn2")->click();
    EXPECT_EQ(terminalText(), "a\r\nb\r\nc");
    control<QPushButton>("BitBtn2")->click();
    EXPECT_EQ(terminalText(), "a\r\nb\r\nc");
}

TEST_F(Form1Test, NewClearsTheTerminalOnlyAfterOk)
{
    answerNextModal("CancelBtn");
    form->New1Click();
    EXPECT_EQ(terminalText(), kFirstLine);
    answerNextModal("OKBtn");
    form->New1Click();
    EXPECT_TRUE(terminalText().isEmpty());
    EXPECT_TRUE(shownLines(*terminal()).isEmpty());
}

TEST_F(Form1Test, SavedTextOpensAsTheSameText)
{
    const QByteArray text = "Korvane \x80 caf\xe9\r\n\r\n  1.000   7.01\r\nlast line";
    setTerminal(text);
    dialogs.saveAnswer = dir.filePath("run.txt");
    form->Save1Click();
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, "Korvane.txt");
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, "txt");
    EXPECT_EQ(fileContent(dialogs.saveAnswer), text);
    EXPECT_EQ(form->statusText(), "Ready");

    setTerminal("something else");
    dialogs.openAnswer = dialogs.saveAnswer;
    form->Open1Click();
    EXPECT_EQ(terminalText(), text);
    EXPECT_EQ(form->statusText(), QDir::toNativeSeparators(QFileInfo(dialogs.saveAnswer).absoluteFilePath()));
    EXPECT_EQ(terminal()->caret(), text.size());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(Form1Test, OpenTurnsLoneCrAndLfIntoCrLf)
{
    writeFile(dir.filePath("mixed.txt"), "unix\nmac\rdos\r\nend");
    dialogs.openAnswer = dir.filePath("mixed.txt");
    form->Open1Click();
    EXPECT_EQ(terminalText(), "unix\r\nmac\r\ndos\r\nend");

    dialogs.openAnswer = dir.filePath("missing.txt");
    form->Open1Click();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(terminalText(), "unix\r\nmac\r\ndos\r\nend");

    dialogs.openAnswer.clear();
    form->Open1Click();
    EXPECT_EQ(terminalText(), "unix\r\nmac\r\ndos\r\nend");
}

TEST_F(Form1Test, OverwriteNeedsOk)
{
    const QString path = dir.filePath("old.txt");
    writeFile(path, "old content");
    setTerminal("new content");
    dialogs.saveAnswer = path;
    answerNextModal("CancelBtn");
    form->Save1Click();
    EXPECT_EQ(fileContent(path), "old content");

    answerNextModal("OKBtn");
    form->Save1Click();
    EXPECT_EQ(fileContent(path), "new content");
}

TEST_F(Form1Test, FileThatCannotBeWrittenShowsTheErrorAndChangesNothing)
{
    setTerminal("kept");
    dialogs.saveAnswer = dir.filePath("no/such/folder/x.txt");
    form->Save1Click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("x.txt"));
    EXPECT_EQ(terminalText(), "kept");
    EXPECT_FALSE(QFileInfo::exists(dialogs.saveAnswer));
}

TEST_F(Form1Test, PrintPutsEveryLineOnPagesInOrder)
{
    QByteArray text;
    for (int i = 1; i <= 150; ++i)
        text += "line " + QByteArray::number(i) + "\tTAB\r\n";
    const QByteArray longLine = "BEGIN" + QByteArray(400, 'x') + "END";
    text += longLine + "\r\n";
    setTerminal(text);
    dialogs.pdfFile = dir.filePath("terminal.pdf");
    form->Print1Click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(" ").toStdString();

    const QString info = run("pdfinfo", {dialogs.pdfFile});
    const int pages = info.section("Pages:", 1).trimmed().section('\n', 0, 0).toInt();
    EXPECT_GE(pages, 2);
    const QStringList printed = run("pdftotext", {"-layout", dialogs.pdfFile, "-"}).split('\n');
    int next = 1;
    for (const QString &row : printed) {
        if (row.simplified() == QStringLiteral("line %1 TAB").arg(next))
            ++next;
    }
    EXPECT_EQ(next, 151);
    // The long line continues on the next printed rows instead of being cut off at the edge.
    const int begin = printed.indexOf(QRegularExpression("^BEGINx+$"));
    ASSERT_GE(begin, 0);
    EXPECT_TRUE(
        printed.mid(begin + 1).join('\n').contains(QRegularExpression("^x*END$", QRegularExpression::MultilineOption)));
}

TEST_F(Form1Test, PrintCancelledPrintsNothingAndAFailedJobIsReported)
{
    dialogs.printAnswer = false;
    dialogs.pdfFile = dir.filePath("never.pdf");
    form->Print1Click();
    EXPECT_FALSE(QFileInfo::exists(dialogs.pdfFile));
    EXPECT_TRUE(dialogs.errors.isEmpty());

    dialogs.printAnswer = true;
    dialogs.pdfFile = dir.filePath("no/such/folder/terminal.pdf");
    form->Print1Click();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(terminalText(), kFirstLine);
}

TEST_F(Form1Test, ClipboardEntriesWorkOnTheTerminal)
{
    setTerminal("alpha beta");
    form->Selectall1Click();
    EXPECT_EQ(terminal()->selectedText(), "alpha beta");
    form->Copy1Click();
    form->Cut1Click();
    EXPECT_TRUE(terminalText().isEmpty());
    form->Paste1Click();
    form->Paste1Click();
    EXPECT_EQ(terminalText(), "alpha betaalpha beta");
}

TEST_F(Form1Test, HelpOpensTheManualOnThePageOfTheWindowInFront)
{
    const auto shownPage = [] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *help = qobject_cast<HelpWindow *>(window); help && help->isVisible()) {
                const QString place = help->findChild<QTextBrowser *>()->source().fragment();
                return help->currentPage() + (place.isEmpty() ? QString() : u'#' + place);
            }
        return QString();
    };
    form->Contents1Click();
    EXPECT_EQ(shownPage(), "commands");
    form->HelpContents1Click();
    EXPECT_EQ(shownPage(), "contents");
    // F1 in the main window names the page in front, as the window system delivers the key.
    form->show();
    control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    form->activateWindow();
    QWindowSystemInterface::flushWindowSystemEvents();
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        form->windowHandle(), QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(shownPage(), "main-window#table");

    form->About1Click();
    EXPECT_TRUE(dialogs.messages.last().contains("Korvane"));
}

TEST_F(Form1Test, QuitClosesThePortAndTheWindow)
{
    form->show();
    bool closed = false;
    QObject::connect(form.get(), &TForm1::closed, [&] { closed = true; });
    form->QuitClick();
    EXPECT_FALSE(form->SerialPort1->Active());
    EXPECT_TRUE(device().closed());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(closed);
}

TEST_F(Form1Test, QuitDuringANestedWaitEndsTheProgramOnlyAfterTheHandler)
{
    form->show();
    QObject::connect(form.get(), &TForm1::closed, qApp, &QCoreApplication::quit);
    QPointer<TForm1> window(form.get());
    bool handlerFinished = false;
    QTimer::singleShot(0, [&] {
        // A command waiting inside its own event processing while the user quits.
        bool quitDone = false;
        QTimer::singleShot(0, [&] {
            window->QuitClick();
            quitDone = true;
        });
        while (!quitDone)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ASSERT_FALSE(window.isNull());
        window->addTerminalLine("still here");
        window->SerialPort1->SendString("O");
        handlerFinished = true;
    });
    QCoreApplication::exec();
    EXPECT_TRUE(handlerFinished);
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(form->SerialPort1->Active());
    EXPECT_TRUE(terminalText().endsWith("still here\r\n"));
}

TEST_F(Form1Test, ReceivedLineEndsReachTheViewOnceEachAndTheFileAsSent)
{
    const QByteArray text = "dos\r\nunix\nacorn\n\rmac\rend";
    device().receive(text);
    ASSERT_TRUE(advance(20000, [&] { return terminalText() == kFirstLine + text; })) << terminalText().toStdString();
    EXPECT_EQ(shownLines(*terminal()), "Terminal DL 25 - Laborkurs Nord\ndos\nunix\nacorn\nmac\nend");

    dialogs.saveAnswer = dir.filePath("received.txt");
    form->Save1Click();
    EXPECT_EQ(fileContent(dialogs.saveAnswer), kFirstLine + text);
}

TEST_F(Form1Test, StatusTextStaysWhileTheMouseCrossesTheToolBarAndScreenReadersReadIt)
{
    form->show();
    auto *status = control<QStatusBar>("StatusBar1");
    QLabel *panel = status->findChild<QLabel *>("StatusPanel0");
    ASSERT_NE(panel, nullptr);
    // Hovering sends the hover hint up to the window; a button without one sends none on leaving.
    for (QToolButton *button :
         control<QWidget>("ToolBar1")->findChildren<QToolButton *>(QRegularExpression("^ToolButton"))) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(button, &enter);
        QStatusTipEvent hint(button->toolTip());
        QCoreApplication::sendEvent(button, &hint);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
    }
    EXPECT_EQ(form->statusText(), "Ready");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(status->currentMessage().isEmpty());

    QAccessibleInterface *readable = QAccessible::queryAccessibleInterface(panel);
    ASSERT_NE(readable, nullptr);
    EXPECT_EQ(readable->text(QAccessible::Name), "Ready");
    form->setStatusText("RESET");
    EXPECT_EQ(readable->text(QAccessible::Name), "RESET");
}

namespace {

TEST_F(Form1Test, ThePagesUseTheWindowsSpace)
{
    form->show();
    auto *pages = control<QTabWidget>("PageControl1");
    const auto tableRows = [&] {
        pages->setCurrentIndex(1);
        QCoreApplication::processEvents();
        return control<QTableView>("Table")->viewport()->height();
    };
    form->resize(800, 600);
    const int small = tableRows();
    const QSize smallPages = pages->size();
    // A desktop may hold the window to its screen: what counts is what the pages got.
    form->resize(1920, 1080);
    const int rows = tableRows();
    const QSize grown = pages->size() - smallPages;
    ASSERT_GT(grown.height(), 100);
    EXPECT_GT(rows, small + grown.height() * 3 / 4);

    // A drawn curve is drawn again to the page's size.
    setTerminal("TITRATION STARTED\r\n" + phHeader.toByteArray() + "\r\n  1.0 1 4.0 1 1\r\n  2.0 1 8.0 1 5\r\nEND\r\n");
    pages->setCurrentIndex(2);
    QCoreApplication::processEvents();
    auto *curve = control<QLabel>("Titrationskurve");
    const int large = curve->width();
    form->resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(curve->pixmap().size(), curve->size());
    EXPECT_LT(curve->width(), large - grown.width() * 3 / 4);
}

TEST_F(Form1Test, OpenCaptureFolderWithoutAFileManagerOffersItsPath)
{
    dialogs.openDocumentAnswer = false;
    dialogs.questionAnswer = true;
    control<QAction>("OpenCaptureFolder1")->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(QDir::toNativeSeparators(dialogs.documents.value(0))));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QDir::toNativeSeparators(dialogs.documents.value(0)));
}

} // namespace

namespace {

TEST_F(Form1Test, ExitAsksBeforeUnsavedMethodEditsAreLost)
{
    form->show();
    QWidget *methods = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == "MethodSetupForm")
            methods = window;
    ASSERT_NE(methods, nullptr);
    methods->findChild<QLineEdit *>("PredosageVolumeEdit")->setText("12345");

    form->QuitClick();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains("not saved to a method file"));
    EXPECT_TRUE(form->isVisible());

    dialogs.questionAnswer = true;
    form->QuitClick();
    EXPECT_FALSE(form->isVisible());
}

} // namespace
