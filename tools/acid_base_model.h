#pragma once

/// A weak monoprotic acid in water titrated with a strong base: the pH after any added
/// volume, from the charge balance solved exactly.
class AcidBaseModel
{
  public:
    AcidBaseModel(double acidMmol, double pKa, double startVolumeMl, double baseMolPerL);

    double pH(double addedMl) const;
    double equivalenceVolumeMl() const { return m_acidMmol / m_baseMolPerL; }

  private:
    double m_acidMmol;
    double m_ka;
    double m_startVolumeMl;
    double m_baseMolPerL;
};
