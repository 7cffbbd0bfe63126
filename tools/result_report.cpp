#include "tools/result_report.h"

#include <algorithm>
#include <array>

namespace {

// Result units of the method's result calculation group, by digit.
const std::array<QByteArray, 10> unitNames{"", "mmol", "%", "ppm", "mg/g", "mg/L", "g/L", "g/100mL", "mmol/L", "mL"};

QByteArray number(double value, int decimals, int width)
{
    return QByteArray::number(value, 'f', decimals).rightJustified(width);
}

} // namespace

ResultReport::ResultReport(bool measuresPh, int resultUnit, double titerMolPerL, double reagentConstant)
    : m_measuresPh(measuresPh), m_resultUnit(std::clamp(resultUnit, 0, 9)), m_titer(titerMolPerL),
      m_reagentConstant(reagentConstant)
{
}

QByteArray ResultReport::text(const Sample &sample, const std::optional<TitrationEnd> &end) const
{
    // Starts with a letter so that a reader of the table above knows where its numbers end.
    QByteArray text = "\r\nResults   SAMPLE " + QByteArray::number(sample.number) + "   ID " + sample.identification +
                      "\r\n  WEIGHT   " + number(sample.weightG, 4, 10) + " g\r\n";
    if (!end)
        return text + "  NO EQUIVALENCE POINT FOUND\r\nTITRATION END\r\n";
    const double consumption = end->volumeMl * m_titer;
    text += "  EQP 1    V = " + number(end->volumeMl, 3, 8) + " mL   " + (m_measuresPh ? "pH = " : "mV = ") +
            number(end->signal, m_measuresPh ? 2 : 1, 7) + "\r\n";
    text += "  Q =      " + number(consumption, 4, 10) + " mmol\r\n";
    text += "  R1 =     " + number(result(consumption, end->volumeMl, sample.weightG), 4, 10) + " " +
            unitNames[m_resultUnit] + "\r\n";
    return text + "TITRATION END\r\n";
}

double ResultReport::result(double consumptionMmol, double volumeMl, double sampleSize) const
{
    // The reagent constant is the sample's equivalent mass in g/mmol (M/z / 1000).
    const double equivalentMg = m_reagentConstant * 1000.0;
    switch (m_resultUnit) {
    case 2: // %
    case 7: // g/100mL
        return consumptionMmol * equivalentMg / (10.0 * sampleSize);
    case 3: // ppm
    case 5: // mg/L
        return consumptionMmol * equivalentMg * 1000.0 / sampleSize;
    case 4: // mg/g
    case 6: // g/L
        return consumptionMmol * equivalentMg / sampleSize;
    case 8: // mmol/L
        return consumptionMmol * 1000.0 / sampleSize;
    case 9: // mL
        return volumeMl;
    default:
        return consumptionMmol;
    }
}
