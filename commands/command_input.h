#pragma once

#include <QString>

#include <optional>

/// A sample as the run dialog gives it; an empty identification means none was chosen.
struct RunEntry
{
    QString weight;
    QString identification;
};

/// The questions the instrument commands ask; an empty answer means the user cancelled.
class CommandInput
{
  public:
    virtual ~CommandInput() = default;

    virtual std::optional<RunEntry> askRun() = 0;
    virtual std::optional<QString> askBuretVolume() = 0;
    virtual std::optional<QString> askTiterConcentration() = 0;
    virtual std::optional<QString> askReagentConstant() = 0;
    virtual bool confirmBufferPh4() = 0;
    virtual bool confirmBufferPh7() = 0;
};
