#pragma once

#include <QString>

#include <functional>

/// The progress window of a method transfer, as the transfer drives it.
class ProgressDisplay
{
  public:
    virtual ~ProgressDisplay() = default;

    /// Shows the label over an empty gauge, without blocking other windows; the transfer runs.
    virtual void begin(const QString &label) = 0;
    /// Moves the gauge on by steps.
    virtual void advance(int steps) = 0;
    /// Fills the gauge and marks the transfer as finished.
    virtual void markFinished() = 0;
    virtual void dismiss() = 0;
    /// What the user's Cancel does while a transfer runs.
    virtual void setCancelAction(std::function<void()> cancel) = 0;
};
