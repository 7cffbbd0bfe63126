#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class CommandHost;
class CommandInput;
class KeyPort;
class Pause;
class QDate;

/// The titrator's commands as key strings with waits between them. The titrator's answers are
/// not awaited: they reach the terminal while the waits handle events, and so may other commands,
/// whose strings then go out interleaved with these.
class InstrumentCommands
{
  public:
    /// Commands that ask nothing of the user.
    enum class Fixed {
        Reset,
        Status,
        ListCurrentMethod,
        ListAllMethods,
        Stirrer,
        ViewmV,
        ViewpH,
        GetResultsShort,
        GetResultsTable,
        Keyboard,
    };

    InstrumentCommands(KeyPort &port, const Pause &pause, CommandHost &host, CommandInput &input);

    void run(Fixed command);
    void startTitration();
    void fillBuret();
    void setTiterConcentration();
    void setReagentConstant();
    void calibratePh();
    void setDate(const QDate &today);

  private:
    struct Step
    {
        enum class Kind {
            Send,
            Wait,
            Status,
            Line,
        };
        Kind kind;
        QString text;
        std::uint32_t milliseconds = 0;
    };
    using Sequence = std::vector<Step>;

    static Step send(const QString &keys);
    static Step wait(std::uint32_t milliseconds);
    static Step status(const QString &text);
    static Step line(const QString &text);
    static Sequence fixedSequence(Fixed command);

    /// Tells the user and returns false when nothing could reach the titrator.
    bool portReady();
    void play(const Sequence &steps);

    KeyPort &m_port;
    const Pause &m_pause;
    CommandHost &m_host;
    CommandInput &m_input;
};
