#pragma once

#include "commands/step_player.h"

#include <QString>

#include <cstdint>

class CommandHost;
class MethodRequests;
class ProgressDisplay;

/// The Mode command: the method setup dialog, then what the user asked for there: an upload of
/// the method's twelve groups, an upload followed by a store into the titrator's method memory,
/// or a load from that memory, while a progress window shows how far it is.
class MethodTransfer
{
  public:
    MethodTransfer(StepPlayer &player, CommandHost &host, MethodRequests &dialog, ProgressDisplay &progress);

    void Mode();

  private:
    using Sequence = StepPlayer::Sequence;
    using Step = StepPlayer::Step;
    using Turn = StepPlayer::Turn;

    /// Sends the method group by group; false when a Reset stopped it.
    bool upload(const Turn &turn);
    Sequence groupSequence(int group) const;
    void SaveMethod(const Turn &turn, std::int32_t number);
    void LoadMethod(const Turn &turn, std::int32_t number);
    /// The shape store and load share: RESET, the memory number, the function key, then last.
    Sequence memorySequence(const QString &label, std::int32_t number, const char *key, const Sequence &last,
                            const QString &completed);
    /// False, with a status, when no memory was chosen.
    bool memoryChosen(std::int32_t number, const QString &aborted);
    /// Plays steps, closing the progress window when a Reset stops them.
    bool playShown(const Turn &turn, const Sequence &steps);

    Step beginProgress(const QString &label);
    Step advanceProgress(int steps);
    Step finishProgress();
    Step dismissProgress();

    StepPlayer &m_player;
    CommandHost &m_host;
    MethodRequests &m_dialog;
    ProgressDisplay &m_progress;
};
