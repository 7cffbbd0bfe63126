#pragma once

#include "analysis/equivalence_points.h"
#include "analysis/signal_unit.h"

#include <QDialog>

class QDoubleSpinBox;
class QLabel;

/// Asks how the equivalence points of a table are to be found again, and shows the points the
/// settings find while they are changed.
class ReevaluationDialog : public QDialog
{
    Q_OBJECT

  public:
    ReevaluationDialog(const QList<TitrationSample> &samples, SignalUnit unit, QWidget *parent = nullptr);

    EquivalenceSettings settings() const;

  private:
    void showPoints();

    QList<TitrationSample> m_samples;
    SignalUnit m_unit;
    QDoubleSpinBox *m_prominence = nullptr;
    QDoubleSpinBox *m_jump = nullptr;
    QDoubleSpinBox *m_from = nullptr;
    QDoubleSpinBox *m_to = nullptr;
    QLabel *m_points = nullptr;
};
