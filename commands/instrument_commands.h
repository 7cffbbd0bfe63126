#pragma once

#include "commands/step_player.h"

#include <QString>

class CommandHost;
class CommandInput;
class KeyPort;
class Pause;
class QDate;

/// The titrator's commands as key strings with waits between them. The titrator's answers are
/// not awaited: they reach the terminal while the waits handle events. Another command started
/// meanwhile is refused, except Reset, which stops this one.
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

    /// The player of these commands, shared by every other sequence of key strings so that one
    /// runs at a time.
    StepPlayer &player() { return m_player; }

  private:
    using Sequence = StepPlayer::Sequence;
    using Turn = StepPlayer::Turn;

    static Sequence fixedSequence(Fixed command);
    /// A turn to play, when the port is open and no other command runs; else tells the user.
    bool ready(const Turn &turn);
    /// Plays the steps; false, telling the user when the port was lost, if they were stopped.
    bool play(const Turn &turn, const Sequence &steps);

    StepPlayer m_player;
    CommandHost &m_host;
    CommandInput &m_input;
};
