#include "results/journal/reevaluation_dialog.h"

#include "analysis/result_text.h"
#include "results/journal/dialog_buttons.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include <optional>

namespace {

QDoubleSpinBox *field(const QString &name, double value, double maximum, int decimals, const QString &suffix,
                      const QString &noLimit = {})
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setDecimals(decimals);
    box->setRange(0.0, maximum);
    box->setSuffix(suffix);
    // The lowest value stands for "no limit" where a field has one.
    box->setSpecialValueText(noLimit);
    box->setValue(value);
    return box;
}

std::optional<double> limit(const QDoubleSpinBox *box)
{
    return box->value() == box->minimum() ? std::nullopt : std::optional<double>(box->value());
}

} // namespace

ReevaluationDialog::ReevaluationDialog(const QList<TitrationSample> &samples, SignalUnit unit, QWidget *parent)
    : QDialog(parent), m_samples(samples), m_unit(unit), m_points(new QLabel)
{
    const EquivalenceSettings defaults;
    setObjectName(QStringLiteral("ReevaluationDialog"));
    setWindowTitle(QStringLiteral("Re-evaluate equivalence points"));
    m_prominence = field(QStringLiteral("ReevaluationProminence"), 100.0 * defaults.minProminenceShare, 100.0, 1,
                         QStringLiteral(" %"));
    m_jump = field(QStringLiteral("ReevaluationJump"), defaults.minStepFactor, 1000.0, 1, QStringLiteral(" steps"));
    m_from = field(QStringLiteral("ReevaluationFrom"), 0.0, 1.0e4, 3, QStringLiteral(" ml"), QStringLiteral("start"));
    m_to = field(QStringLiteral("ReevaluationTo"), 0.0, 1.0e4, 3, QStringLiteral(" ml"), QStringLiteral("end"));
    m_points->setObjectName(QStringLiteral("ReevaluationPoints"));
    m_points->setWordWrap(true);
    m_points->setMinimumWidth(280);
    for (QDoubleSpinBox *box : {m_prominence, m_jump, m_from, m_to})
        connect(box, &QDoubleSpinBox::valueChanged, this, &ReevaluationDialog::showPoints);
    QDialogButtonBox *buttons = okCancelButtons(this, QStringLiteral("Reevaluation"));
    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Least &prominence of a slope maximum:"), m_prominence);
    layout->addRow(QStringLiteral("Least &jump across it, in typical steps:"), m_jump);
    layout->addRow(QStringLiteral("Points &from:"), m_from);
    layout->addRow(QStringLiteral("Points &to:"), m_to);
    layout->addRow(QStringLiteral("Found:"), m_points);
    layout->addRow(buttons);
    showPoints();
}

EquivalenceSettings ReevaluationDialog::settings() const
{
    return {m_prominence->value() / 100.0, m_jump->value(), limit(m_from), limit(m_to)};
}

void ReevaluationDialog::showPoints()
{
    m_points->setText(resultLine(findEquivalencePoints(m_samples, settings()), m_unit, QLocale()));
}
