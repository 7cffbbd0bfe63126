#pragma once

#include "commands/step_player.h"

#include <QString>

#include <cstdint>

class CommandHost;
class MethodRequests;
class ProgressDisplay;
struct TransferTexts;

/// The Mode command: the method setup dialog, then what the user asked for there: an upload of
/// the method's twelve groups, an upload followed by a store into the titrator's method memory,
/// or a load from that memory, while a progress window shows how far it is. A transfer reports
/// success only when it ran to its end on one connection and the titrator printed no error
/// meanwhile.
class MethodTransfer
{
  public:
    MethodTransfer(StepPlayer &player, CommandHost &host, MethodRequests &dialog, ProgressDisplay &progress);

    void Mode();
    /// The progress window's Cancel: stops the transfer and resets the titrator, as Reset does.
    void cancel();

  private:
    using Sequence = StepPlayer::Sequence;
    using Step = StepPlayer::Step;
    using Turn = StepPlayer::Turn;

    /// Sends the method group by group; false unless it ran to its end without an error of the
    /// titrator.
    bool upload(const Turn &turn);
    Sequence groupSequence(int group) const;
    /// False, with a status, when the file of the chosen memory could not be written.
    bool writeMethodFile(std::int32_t number);
    void SaveMethod(const Turn &turn, std::int32_t number);
    void LoadMethod(const Turn &turn, std::int32_t number);
    /// The shape store and load share: RESET, the memory number, the function key, then last.
    void memoryTransfer(const Turn &turn, const TransferTexts &texts, std::int32_t number, const char *key,
                        const Sequence &last);
    /// False, with a status, when no memory was chosen.
    bool memoryChosen(std::int32_t number, const QString &aborted);
    /// Plays steps, closing the progress window when a Reset, a Cancel or a lost port stops them.
    bool playShown(const Turn &turn, const Sequence &steps, const TransferTexts &texts);

    Step beginProgress(const TransferTexts &texts);
    Step advanceProgress(int steps);
    Step finishProgress();
    Step dismissProgress();

    StepPlayer &m_player;
    CommandHost &m_host;
    MethodRequests &m_dialog;
    ProgressDisplay &m_progress;
    /// The transfer the progress window shows, for its Cancel.
    const TransferTexts *m_shown = nullptr;
};
