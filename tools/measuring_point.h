#pragma once

/// One line of the measuring table; signal, change and derivative are in the method's
/// unit (pH or mV).
struct MeasuringPoint
{
    double volumeMl = 0.0;
    double incrementMl = 0.0;
    double signal = 0.0;
    double change = 0.0;
    double derivative = 0.0;
    /// How long the instrument waited for a stable signal before printing the line.
    double seconds = 0.0;
};
