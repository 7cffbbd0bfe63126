#include "terminal/terminal_accessible_notifier.h"
#include "terminal/terminal_edit.h"
#include "tests/support/form_fixture.h"
#include "tests/support/screen_reader_listening.h"

#include <QAccessible>
#include <QScrollBar>

namespace {

// A screen reader on the bus as far as this test needs one: it keeps its own copy of the reader
// text up to date from the events alone, and checks each caret event against the view.
struct ScreenReader
{
    QObject *view = nullptr;
    QString copy;
    qsizetype longestText = 0;
    int longestReaderText = 0;
    int caretEvents = 0;
    int wrongCarets = 0;
    int wrongRemovals = 0;

    void take(QAccessibleEvent *event)
    {
        if (event->object() != view)
            return;
        QAccessibleTextInterface *text = event->accessibleInterface()->textInterface();
        longestReaderText = std::max(longestReaderText, text->characterCount());
        switch (event->type()) {
        case QAccessible::TextInserted: {
            const auto *inserted = static_cast<QAccessibleTextInsertEvent *>(event);
            replace(inserted->changePosition(), QString(), inserted->textInserted());
            break;
        }
        case QAccessible::TextRemoved: {
            const auto *removed = static_cast<QAccessibleTextRemoveEvent *>(event);
            replace(removed->changePosition(), removed->textRemoved(), QString());
            break;
        }
        case QAccessible::TextUpdated: {
            const auto *updated = static_cast<QAccessibleTextUpdateEvent *>(event);
            replace(updated->changePosition(), updated->textRemoved(), updated->textInserted());
            break;
        }
        case QAccessible::TextCaretMoved:
            ++caretEvents;
            wrongCarets += static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition() != text->cursorPosition();
            break;
        default:
            break;
        }
    }

    void replace(int at, const QString &removed, const QString &inserted)
    {
        longestText = std::max({longestText, removed.size(), inserted.size()});
        wrongRemovals += copy.mid(at, removed.size()) != removed;
        copy.replace(at, removed.size(), inserted);
    }
};

ScreenReader *listening = nullptr;

void toScreenReader(QAccessibleEvent *event)
{
    listening->take(event);
}

QString readerText(QAccessibleInterface *reader)
{
    return reader->textInterface()->text(0, reader->textInterface()->characterCount());
}

} // namespace

class TerminalAccessibleTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { testApplication(); }

    void SetUp() override
    {
        view.setObjectName(QStringLiteral("Terminal"));
        view.resize(400, 200);
        view.show();
        TerminalAccessibleNotifier::attach(&view);
    }

    TerminalEdit view;
};

TEST_F(TerminalAccessibleTest, ScreenReaderReadsAndEditsTheLinesInViewAndTheCaretLine)
{
    QByteArray text;
    for (int line = 0; line < 200; ++line)
        text += "line " + QByteArray::number(line) + "\r\n";
    text += "mass 5 \xB5g";
    view.setText(text);
    view.scrollToEnd();
    const auto linesInView = [this] {
        QStringList lines;
        for (qsizetype line = view.firstVisibleLine(); line <= view.lastVisibleLine(); ++line)
            lines.append(line < 200 ? QStringLiteral("line %1").arg(line) : QStringLiteral("mass 5 \u00b5g"));
        return lines.join(QLatin1Char('\n'));
    };

    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(reader->textInterface(), nullptr);
    EXPECT_EQ(reader->role(), QAccessible::EditableText);
    EXPECT_EQ(reader->text(QAccessible::Name), QStringLiteral("Terminal"));
    EXPECT_TRUE(reader->state().editable && reader->state().multiLine && reader->state().focusable);
    ASSERT_GT(view.firstVisibleLine(), 3);
    ASSERT_EQ(view.lastVisibleLine(), 200);
    const QString atEnd = linesInView();
    EXPECT_EQ(readerText(reader).toStdString(), atEnd.toStdString());
    EXPECT_EQ(reader->textInterface()->cursorPosition(), atEnd.size());

    // The caret stays on line 3 while the user scrolls to the end: that line is read first.
    const qsizetype line3 = text.indexOf("line 3\r");
    view.setCaret(line3 + 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    EXPECT_EQ(readerText(reader).toStdString(), "line 3\n" + atEnd.toStdString());
    EXPECT_EQ(reader->textInterface()->cursorPosition(), 2);
    reader->textInterface()->setCursorPosition(1);
    EXPECT_EQ(view.caret(), line3 + 1);

    // The screen reader selects and replaces the micro sign; the view gets the byte.
    view.scrollToEnd();
    const int micro = int(readerText(reader).indexOf(QChar(0xB5)));
    reader->textInterface()->setSelection(0, micro, micro + 1);
    EXPECT_EQ(view.selectedBytes(), "\xB5");
    reader->editableTextInterface()->replaceText(micro, micro + 1, QStringLiteral("m"));
    EXPECT_TRUE(view.text().endsWith("mass 5 mg"));
}

TEST_F(TerminalAccessibleTest, EventsOfAScrollingStreamCarryOnlyTheTextInView)
{
    QByteArray stream;
    for (int line = 0; stream.size() < 5 * 1024 * 1024; ++line)
        stream += "Result " + QByteArray::number(line) + "   EP1   12.345 mL   pH 7.123\r\n";
    QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(&view);
    ScreenReader screenReader{&view, readerText(reader)};
    screenReader.longestReaderText = int(screenReader.copy.size());
    int clusters = 0;
    {
        listening = &screenReader;
        const ScreenReaderListening on(toScreenReader);
        for (qsizetype at = 0; at < stream.size(); at += 4096, ++clusters) {
            view.appendReceived(QByteArrayView(stream).sliced(at, std::min<qsizetype>(4096, stream.size() - at)));
            view.scrollToEnd();
        }
    }
    EXPECT_EQ(screenReader.copy.toStdString(), readerText(reader).toStdString());
    EXPECT_EQ(screenReader.wrongRemovals, 0);
    EXPECT_GT(screenReader.caretEvents, clusters / 2);
    EXPECT_EQ(screenReader.wrongCarets, 0);
    EXPECT_LE(screenReader.longestText, screenReader.longestReaderText);
    EXPECT_LT(screenReader.longestReaderText, 5000);
}

TEST_F(TerminalAccessibleTest, ALongLineIsReadAroundTheCaret)
{
    view.setText(QByteArray(100000, 'x') + "END");
    view.scrollToEnd();
    QAccessibleTextInterface *reader = QAccessible::queryAccessibleInterface(&view)->textInterface();
    const QString text = reader->text(0, reader->characterCount());
    EXPECT_LE(text.size(), 1000);
    EXPECT_TRUE(text.endsWith(QStringLiteral("xxEND")));
    EXPECT_EQ(reader->cursorPosition(), text.size());
    reader->setCursorPosition(int(text.size()) - 3);
    EXPECT_EQ(view.caret(), 100000);
}
