#pragma once

#include "tools/titration_run.h"

#include <QByteArray>

#include <optional>

/// What the operator typed for one sample.
struct Sample
{
    double weightG = 0.2;
    QByteArray identification = "1";
    int number = 0;
};

/// The result block printed after a measuring table: equivalence point or endpoint,
/// titrant consumption and the result in the method's unit.
class ResultReport
{
  public:
    ResultReport(bool measuresPh, int resultUnit, double titerMolPerL, double reagentConstant);

    QByteArray text(const Sample &sample, const std::optional<TitrationEnd> &end) const;

  private:
    double result(double consumptionMmol, double volumeMl, double sampleSize) const;

    bool m_measuresPh;
    int m_resultUnit;
    double m_titer;
    double m_reagentConstant;
};
