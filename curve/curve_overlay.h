#pragma once

#include "analysis/signal_unit.h"
#include "curve/curve_columns.h"

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

class QLocale;
class QPainter;
class QSize;

/// One titration among several drawn on common axes.
struct CurveSeries
{
    QString name; ///< what the legend calls it: its sample and date
    CurveColumns columns;
};

/// The colour of the series at index; neighbours stay apart on white and in grey print.
QColor curveSeriesColour(qsizetype index);

/// Draws the signals of several titrations against volume on common axes in a size area from the
/// painter's origin, each in its own colour, with a legend naming each at the plot's top right.
/// The unit names the vertical axis; empty when the series do not share one.
void drawCurveOverlay(QPainter &painter, const QSize &size, const QList<CurveSeries> &series,
                      std::optional<SignalUnit> unit, const QLocale &locale);
