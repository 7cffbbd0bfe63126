#pragma once

#include "analysis/equivalence_points.h"
#include "analysis/signal_unit.h"

#include <QString>

class QLocale;

/// pH when every signal lies where a pH can, else mV; for tables whose header is not known.
SignalUnit guessSignalUnit(const QList<TitrationSample> &samples);

/// "EQP 1: 12.22 ml, pH 8.78" or "EQP 2: 9.80 ml, -120.4 mV"; number counts from 1.
QString equivalenceLabel(int number, const EquivalencePoint &point, SignalUnit unit, const QLocale &locale);

/// The labels joined by "; ", or "No clear equivalence point".
QString resultLine(const QList<EquivalencePoint> &points, SignalUnit unit, const QLocale &locale);
