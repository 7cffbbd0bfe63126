#include "commands/method_transfer.h"

#include "commands/command_host.h"
#include "commands/keypad.h"
#include "commands/method_requests.h"
#include "commands/progress_display.h"
#include "method/method_error.h"

namespace {

// Sequences read as they are written down.
const auto send = StepPlayer::send;
const auto wait = StepPlayer::wait;
const auto status = StepPlayer::status;

constexpr int kGroupCount = 12;
/// Memories above this one hold the titrator's predefined methods.
constexpr std::int32_t kLastUserMemory = 35;

const QString kSavingAborted = "Saving method aborted!";
const QString kLoadingAborted = "Loading method aborted!";

/// Groups 3 and 5 carry a point before their fourth digit.
bool hasPoint(int group)
{
    return group == 3 || group == 5;
}

} // namespace

MethodTransfer::MethodTransfer(StepPlayer &player, CommandHost &host, MethodRequests &dialog, ProgressDisplay &progress)
    : m_player(player), m_host(host), m_dialog(dialog), m_progress(progress)
{
}

void MethodTransfer::Mode()
{
    const Turn turn(m_player);
    if (!turn.granted())
        return;
    m_dialog.ResetTitratorSaveButtonState();
    m_dialog.ResetTitratorLoadButtonState();
    m_dialog.ResetTitratorUploadButtonState();
    m_dialog.showModal();
    if (!m_player.portReady())
        return;
    if (m_dialog.TitratorLoadButtonState() != 0)
        return LoadMethod(turn, m_dialog.selectedSlot());
    if (m_dialog.TitratorUploadButtonState() == 0) {
        turn.play({send(keypad::Reset), status("Mode stopped")});
        return;
    }
    if (upload(turn) && m_dialog.TitratorSaveButtonState() != 0)
        SaveMethod(turn, m_dialog.selectedSlot());
}

bool MethodTransfer::upload(const Turn &turn)
{
    const QString uploading = "Uploading data in progress...";
    // The status says from the start what the next minute is for.
    if (!playShown(turn, {status(uploading), beginProgress(uploading), send(keypad::Reset), wait(1000), send("1"),
                          wait(1000), send(keypad::Mode), wait(1000)}))
        return false;
    for (int group = 1; group <= kGroupCount; ++group) {
        m_progress.advance(1);
        // A group whose request was withdrawn meanwhile is left out.
        if (m_dialog.TitratorUploadButtonState() != 0 && !playShown(turn, groupSequence(group)))
            return false;
    }
    return playShown(turn, {finishProgress(), wait(1000), dismissProgress(), status("Upload completed")});
}

MethodTransfer::Sequence MethodTransfer::groupSequence(int group) const
{
    const ModeCode code = m_dialog.modeCode(group);
    Sequence steps;
    for (std::size_t index = 0; index < code.digits.size(); ++index) {
        if (index == 3 && hasPoint(group))
            steps.insert(steps.end(), {send("."), wait(1000)});
        steps.insert(steps.end(), {send(QString::number(code.digits[index])), wait(1000)});
    }
    steps.insert(steps.end(), {send(keypad::Run), wait(1000)});
    return steps;
}

void MethodTransfer::SaveMethod(const Turn &turn, std::int32_t number)
{
    if (number > kLastUserMemory) {
        m_host.showMessage(kSavingAborted + " Cannot Save Method on predefined Method-Memory!");
        m_host.setStatus(kSavingAborted);
        return;
    }
    if (!memoryChosen(number, kSavingAborted))
        return;
    // An error ends the store where it happened, and the progress window with it.
    try {
        m_dialog.IniFileSave();
        playShown(turn, memorySequence("Saving data in progress...", number, keypad::Save, {send(keypad::Save)},
                                       "Saving completed"));
    } catch (const MethodError &error) {
        m_progress.dismiss();
        m_host.setStatus(kSavingAborted + " - " + error.message());
    }
}

void MethodTransfer::LoadMethod(const Turn &turn, std::int32_t number)
{
    if (!memoryChosen(number, kLoadingAborted))
        return;
    playShown(turn, memorySequence("Loading data in progress...", number, keypad::Method,
                                   {send(keypad::Enter), wait(1000)}, "Loading completed"));
}

MethodTransfer::Sequence MethodTransfer::memorySequence(const QString &label, std::int32_t number, const char *key,
                                                        const Sequence &last, const QString &completed)
{
    const QString memory = QString::number(number);
    Sequence steps{beginProgress(label), send(keypad::Reset), wait(1000), advanceProgress(4), send(memory),
                   wait(1000),           advanceProgress(4),  send(key),  wait(1000),         advanceProgress(4)};
    steps.insert(steps.end(), last.begin(), last.end());
    steps.insert(steps.end(),
                 {finishProgress(), dismissProgress(), status("Method No.[" + memory + "] - " + completed)});
    return steps;
}

// Sending the text "-1" in place of a memory number would make the titrator answer with an error
// while the program reported success.
bool MethodTransfer::memoryChosen(std::int32_t number, const QString &aborted)
{
    if (number >= 0)
        return true;
    m_host.setStatus(aborted + " - No method memory chosen");
    return false;
}

bool MethodTransfer::playShown(const Turn &turn, const Sequence &steps)
{
    if (turn.play(steps))
        return true;
    m_progress.dismiss();
    return false;
}

MethodTransfer::Step MethodTransfer::beginProgress(const QString &label)
{
    return StepPlayer::call([this, label] { m_progress.begin(label); });
}

MethodTransfer::Step MethodTransfer::advanceProgress(int steps)
{
    return StepPlayer::call([this, steps] { m_progress.advance(steps); });
}

MethodTransfer::Step MethodTransfer::finishProgress()
{
    return StepPlayer::call([this] { m_progress.markFinished(); });
}

MethodTransfer::Step MethodTransfer::dismissProgress()
{
    return StepPlayer::call([this] { m_progress.dismiss(); });
}
