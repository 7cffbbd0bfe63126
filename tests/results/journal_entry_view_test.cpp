#include "curve/curve_layout.h"
#include "curve/curve_overlay.h"
#include "curve/curve_view.h"
#include "journal/journal.h"
#include "results/journal/journal_window.h"
#include "tests/journal/journal_samples.h"
#include "tests/journal/sqlite_test_backend.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/test_application_environment.h"
#include "tests/support/when_modal_loop_runs.h"

#include <QApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>

namespace {

constexpr double kStep = 0.5;
constexpr int kRows = 40;

/// A pH titration as the recorder keeps it: the title row, then a jump of 5 pH at `jumpAt` ml,
/// lifted by `offset` so that curves of several entries stay apart.
QList<QStringList> titrationTable(double jumpAt, double offset)
{
    QList<QStringList> table{{"Volume/ml", "Increment/ml", "Signal/pH", "Change/pH", "Derivative"}};
    double before = 0.0;
    for (int row = 0; row < kRows; ++row) {
        const double volume = row * kStep;
        const double signal = 4.0 + offset + 5.0 / (1.0 + std::exp(-4.0 * (volume - jumpAt)));
        const double change = row == 0 ? 0.0 : signal - before;
        table.append({QString::number(volume, 'f', 3), QString::number(kStep, 'f', 3), QString::number(signal, 'f', 2),
                      QString::number(change, 'f', 2), QString::number(change / kStep, 'f', 2)});
        before = signal;
    }
    return table;
}

/// Counts the picture's pixels of one colour, in columns from `left` to `right`.
int pixelsOf(const QImage &picture, const QColor &colour, int left = 0, int right = -1)
{
    int count = 0;
    for (int x = left; x <= (right < 0 ? picture.width() - 1 : right); ++x)
        for (int y = 0; y < picture.height(); ++y)
            count += picture.pixelColor(x, y) == colour;
    return count;
}

/// Three entries in a real journal file, shown in the Journal window as a user sees it.
class JournalEntryViewTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ensureTestApplication<QApplication>();
        ASSERT_TRUE(m_journal.open().ok());
        for (int number = 0; number < 3; ++number) {
            JournalEntry entry = sampleEntry(number, QDateTime(QDate(2024, 3, 1), QTime(8 + number, 0), Qt::UTC));
            entry.table = titrationTable(10.0 + number, 0.4 * number);
            entry.equivalencePoints = {{10.0 + number, 6.5}};
            ASSERT_TRUE(m_journal.append(entry).ok());
            m_uuids.append(entry.uuid);
        }
        m_window = std::make_unique<JournalWindow>(m_journal, m_dialogs);
        m_window->show();
    }

    JournalAmendment amendment(int entry, JournalAmendment::Kind kind) const
    {
        JournalAmendment row;
        row.kind = kind;
        row.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        row.entryUuid = m_uuids[entry];
        row.user = QStringLiteral("bob");
        return row;
    }
    QTableView *list() const { return m_window->findChild<QTableView *>(QStringLiteral("JournalList")); }
    QString cell(int row, int column) const { return list()->model()->index(row, column).data().toString(); }
    /// Opens the list's row and gives the entry's view.
    QWidget *open(int row) const
    {
        list()->clearSelection();
        list()->selectRow(row);
        m_window->findChild<QPushButton *>(QStringLiteral("JournalOpen"))->click();
        const QList<QDialog *> views = m_window->findChildren<QDialog *>(QStringLiteral("JournalEntry"));
        return views.isEmpty() ? nullptr : views.last();
    }

    SqliteTestBackend m_backend;
    Journal m_journal{m_backend.connection()};
    FakeDialogs m_dialogs;
    QStringList m_uuids;
    std::unique_ptr<JournalWindow> m_window;
};

TEST_F(JournalEntryViewTest, OpenEntryDrawsItsCurveMarkedAtTheReevaluatedPoint)
{
    JournalAmendment reevaluation = amendment(2, JournalAmendment::Kind::Reevaluation);
    reevaluation.equivalencePoints = {{12.5, 7.0}};
    reevaluation.settings = QStringLiteral("by hand");
    ASSERT_TRUE(m_journal.amend(reevaluation).ok());
    m_window->refresh();

    QWidget *view = open(0); // newest first: the entry of 10:00
    ASSERT_NE(view, nullptr);
    auto *curve = view->findChild<CurveView *>(QStringLiteral("JournalEntryCurve"));
    ASSERT_NE(curve, nullptr);
    curve->resize(600, 400);
    const QImage picture = curve->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const CurveLayout layout(picture.size());
    // The curve runs black through the plot's left and right halves...
    EXPECT_GT(pixelsOf(picture, Qt::black, CurveLayout::left + 10, layout.axisEndX() / 2), 50);
    EXPECT_GT(pixelsOf(picture, Qt::black, layout.axisEndX() / 2, layout.axisEndX() - 10), 50);
    // ...and the marker stands at the re-evaluated volume, not at the one the entry was written with.
    const QColor marker(0xB0, 0x00, 0x00);
    const int x = layout.xOf(12.5, 0.0, (kRows - 1) * kStep);
    EXPECT_GT(pixelsOf(picture, marker, x, x), layout.plotHeight() / 3);
    const int written = layout.xOf(12.0, 0.0, (kRows - 1) * kStep);
    EXPECT_EQ(pixelsOf(picture, marker, written, written), 0);
}

TEST_F(JournalEntryViewTest, ComparesThreeEntriesAsThreeColouredCurves)
{
    list()->selectAll();
    m_window->findChild<QPushButton *>(QStringLiteral("JournalCompare"))->click();
    auto *curve = m_window->findChild<CurveView *>(QStringLiteral("JournalComparisonCurve"));
    ASSERT_NE(curve, nullptr);
    curve->resize(700, 450);
    const QImage picture = curve->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Each series draws a curve of 39 segments across the plot, far more than its legend swatch.
    for (int series = 0; series < 3; ++series)
        EXPECT_GT(pixelsOf(picture, curveSeriesColour(series)), 400) << series;
    EXPECT_EQ(pixelsOf(picture, curveSeriesColour(3)), 0);
}

TEST_F(JournalEntryViewTest, EditThroughTheDialogChangesTheListKeepsTheOldAndUnsignsAndExportsTheNewValues)
{
    JournalAmendment review = amendment(1, JournalAmendment::Kind::Signature);
    review.meaning = QStringLiteral("Reviewed");
    ASSERT_TRUE(m_journal.amend(review).ok());
    m_window->refresh();
    QWidget *view = open(1);
    ASSERT_NE(view, nullptr);

    whenModalLoopRuns([] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("JournalEditWeight"))->setValue(0.2513);
        dialog->findChild<QLineEdit *>(QStringLiteral("JournalEditSample"))->setText(QStringLiteral("Sample 1b"));
        dialog->findChild<QLineEdit *>(QStringLiteral("JournalEditNote"))->setText(QStringLiteral("label misread"));
        dialog->findChild<QPushButton *>(QStringLiteral("JournalEditOk"))->click();
    });
    m_window->findChild<QPushButton *>(QStringLiteral("JournalEdit"))->click();

    EXPECT_EQ(cell(1, 1), QStringLiteral("Sample 1b"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("0.2513"));
    EXPECT_EQ(cell(1, 7), QStringLiteral("Reviewed (bob), no longer covers"));
    const JournalEntryHistory history = *m_journal.load(m_uuids[1]);
    EXPECT_EQ(history.entry.sampleId, QStringLiteral("Sample 1")) << "the entry as written stays";
    EXPECT_FALSE(history.amendments.last().user.isEmpty()) << "the OS user who edited";
    // The open view followed the edit.
    const QString signatures =
        view->findChild<QPlainTextEdit *>(QStringLiteral("JournalEntrySignatures"))->toPlainText();
    EXPECT_TRUE(signatures.endsWith(QStringLiteral("no longer covers the current values"))) << signatures.toStdString();
    EXPECT_TRUE(view->findChild<QPlainTextEdit *>(QStringLiteral("JournalEntryHistory"))
                    ->toPlainText()
                    .contains(QStringLiteral("Edit: weight 0.2513, sample \"Sample 1b\", note \"label misread\"")));

    QTemporaryDir folder;
    m_dialogs.saveAnswer = folder.filePath(QStringLiteral("entry.csv"));
    view->findChild<QPushButton *>(QStringLiteral("JournalEntryCsv"))->click();
    QFile csv(m_dialogs.saveAnswer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << m_dialogs.errors.join(QLatin1Char('\n')).toStdString();
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Volume/ml,Increment/ml,Signal/pH,Change/pH,Derivative\r\n0.000,")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Journal entry,%1,").arg(m_uuids[1])));
    EXPECT_TRUE(text.contains(QStringLiteral("Identification,Sample 1b,")));
    EXPECT_TRUE(text.contains(QStringLiteral("State,Amended in the journal,")));
    EXPECT_TRUE(text.contains(QStringLiteral("Note,label misread,")));
    EXPECT_TRUE(m_dialogs.saveRequests.last().fileName.contains(m_uuids[1].left(8)));
}

} // namespace
