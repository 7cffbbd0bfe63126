#include "results/journal/journal_comparison_dialog.h"

#include "curve/curve_overlay.h"
#include "curve/curve_view.h"
#include "results/journal/journal_record.h"
#include "results/journal/result_statistics.h"

#include <QLocale>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

QList<CurveSeries> seriesOf(const QList<JournalEntryHistory> &entries)
{
    QList<CurveSeries> series;
    for (const JournalEntryHistory &history : entries)
        series.append(
            {QStringLiteral("%1, %2").arg(history.current.sampleId, history.entry.runStart.toLocalTime().toString(
                                                                        QStringLiteral("yyyy-MM-dd HH:mm"))),
             entryCurve(history.entry)});
    return series;
}

// The unit the entries share; none when they differ.
std::optional<SignalUnit> commonUnit(const QList<JournalEntryHistory> &entries)
{
    std::optional<SignalUnit> unit;
    for (const JournalEntryHistory &history : entries) {
        const SignalUnit next = entryUnit(history.entry);
        if (unit && *unit != next)
            return std::nullopt;
        unit = next;
    }
    return unit;
}

} // namespace

JournalComparisonDialog::JournalComparisonDialog(const QList<JournalEntryHistory> &entries, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("JournalComparison"));
    setWindowTitle(QStringLiteral("Compare"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *text = new QPlainTextEdit(comparisonText(entries));
    text->setObjectName(QStringLiteral("JournalComparisonText"));
    text->setReadOnly(true);
    const QList<CurveSeries> series = seriesOf(entries);
    const std::optional<SignalUnit> unit = commonUnit(entries);
    auto *curve = new CurveView([series, unit](QPainter &painter, const QSize &size) {
        drawCurveOverlay(painter, size, series, unit, QLocale());
    });
    curve->setObjectName(QStringLiteral("JournalComparisonCurve"));
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(text);
    splitter->addWidget(curve);
    splitter->setStretchFactor(1, 3);
    (new QVBoxLayout(this))->addWidget(splitter);
    resize(760, 640);
}
