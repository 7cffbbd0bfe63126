#include "tools/acid_base_model.h"

#include <cmath>

namespace {

constexpr double waterProduct = 1.0e-14;

} // namespace

AcidBaseModel::AcidBaseModel(double acidMmol, double pKa, double startVolumeMl, double baseMolPerL)
    : m_acidMmol(acidMmol), m_ka(std::pow(10.0, -pKa)), m_startVolumeMl(startVolumeMl), m_baseMolPerL(baseMolPerL)
{
}

double AcidBaseModel::pH(double addedMl) const
{
    const double volume = m_startVolumeMl + addedMl;
    const double acid = m_acidMmol / volume;
    const double sodium = m_baseMolPerL * addedMl / volume;
    // H + Na = OH + A; the excess of positive charge grows with H, so bisect on log H.
    auto excess = [&](double h) { return h + sodium - waterProduct / h - acid * m_ka / (m_ka + h); };
    double low = -15.0;
    double high = 1.0;
    for (int step = 0; step < 60; ++step) {
        const double middle = (low + high) / 2.0;
        if (excess(std::pow(10.0, middle)) > 0.0)
            high = middle;
        else
            low = middle;
    }
    return -(low + high) / 2.0;
}
