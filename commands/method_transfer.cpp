#include "commands/method_transfer.h"

#include "commands/command_host.h"
#include "commands/keypad.h"
#include "commands/method_requests.h"
#include "commands/progress_display.h"
#include "method/method_error.h"

/// What the progress window and the status bar say about one kind of transfer.
struct TransferTexts
{
    QString label;
    QString completed;
    /// Followed by the titrator's error line.
    QString failed;
    QString lost;
    QString cancelled;
};

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

const TransferTexts kUploading{"Uploading data in progress...", "Upload completed", "Upload failed",
                               "Upload aborted - port lost", "Upload cancelled"};
const TransferTexts kSaving{"Saving data in progress...", "Saving completed", "Saving method failed",
                            "Saving method aborted - port lost", "Saving method cancelled"};
const TransferTexts kLoading{"Loading data in progress...", "Loading completed", "Loading method failed",
                             "Loading method aborted - port lost", "Loading method cancelled"};

/// Groups 3 and 5 carry a point before their fourth digit.
bool hasPoint(int group)
{
    return group == 3 || group == 5;
}

} // namespace

MethodTransfer::MethodTransfer(StepPlayer &player, CommandHost &host, MethodRequests &dialog, ProgressDisplay &progress)
    : m_player(player), m_host(host), m_dialog(dialog), m_progress(progress)
{
    m_progress.setCancelAction([this] { cancel(); });
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
    const std::int32_t slot = m_dialog.selectedSlot();
    const bool loadAsked = m_dialog.TitratorLoadButtonState() != 0;
    const bool uploadAsked = !loadAsked && m_dialog.TitratorUploadButtonState() != 0;
    const bool storeAsked = uploadAsked && m_dialog.TitratorSaveButtonState() != 0;
    // The file is the user's and the upload the titrator's: the file is written first, also with
    // the port closed; a save without a memory, or a file the system refuses, sends nothing.
    if (storeAsked && !writeMethodFile(slot))
        return;
    if (!m_player.portReady())
        return;
    if (loadAsked)
        return LoadMethod(turn, slot);
    if (!uploadAsked) {
        turn.play({send(keypad::Reset), status("Mode stopped")});
        return;
    }
    if (upload(turn) && storeAsked)
        SaveMethod(turn, slot);
}

void MethodTransfer::cancel()
{
    m_progress.dismiss();
    const Turn turn(m_player, Turn::Claim::Preempt);
    if (m_shown && m_player.portReady())
        turn.play({send(keypad::Reset), wait(1000), status(m_shown->cancelled)});
}

bool MethodTransfer::upload(const Turn &turn)
{
    const qsizetype mark = m_player.replyMark();
    // The status says from the start what the next minute is for.
    if (!playShown(turn,
                   {status(kUploading.label), beginProgress(kUploading), send(keypad::Reset), wait(1000), send("1"),
                    wait(1000), send(keypad::Mode), wait(1000)},
                   kUploading))
        return false;
    for (int group = 1; group <= kGroupCount; ++group) {
        m_progress.advance(1);
        // A group whose request was withdrawn meanwhile is left out.
        if (m_dialog.TitratorUploadButtonState() != 0 && !playShown(turn, groupSequence(group), kUploading))
            return false;
    }
    return playShown(turn, {finishProgress(), wait(1000), dismissProgress()}, kUploading) &&
           m_player.report(mark, kUploading.completed, kUploading.failed);
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

bool MethodTransfer::writeMethodFile(std::int32_t number)
{
    // A predefined memory keeps its refusal for after the upload, which it does not stop.
    if (number > kLastUserMemory)
        return true;
    if (!memoryChosen(number, kSavingAborted))
        return false;
    try {
        m_dialog.IniFileSave();
        return true;
    } catch (const MethodError &error) {
        m_host.setStatus(kSavingAborted + " - " + error.message());
        return false;
    }
}

void MethodTransfer::SaveMethod(const Turn &turn, std::int32_t number)
{
    if (number > kLastUserMemory) {
        m_host.showMessage(kSavingAborted + " Cannot Save Method on predefined Method-Memory!");
        m_host.setStatus(kSavingAborted);
        return;
    }
    memoryTransfer(turn, kSaving, number, keypad::Save, {send(keypad::Save)});
}

void MethodTransfer::LoadMethod(const Turn &turn, std::int32_t number)
{
    if (!memoryChosen(number, kLoadingAborted))
        return;
    memoryTransfer(turn, kLoading, number, keypad::Method, {send(keypad::Enter), wait(1000)});
}

void MethodTransfer::memoryTransfer(const Turn &turn, const TransferTexts &texts, std::int32_t number,
                                    const char *key, const Sequence &last)
{
    const QString memory = QString::number(number);
    Sequence steps{beginProgress(texts), send(keypad::Reset), wait(1000), advanceProgress(4), send(memory),
                   wait(1000),           advanceProgress(4),  send(key),  wait(1000),         advanceProgress(4)};
    steps.insert(steps.end(), last.begin(), last.end());
    steps.insert(steps.end(), {finishProgress(), dismissProgress()});
    const qsizetype mark = m_player.replyMark();
    if (playShown(turn, steps, texts))
        m_player.report(mark, "Method No.[" + memory + "] - " + texts.completed, texts.failed);
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

bool MethodTransfer::playShown(const Turn &turn, const Sequence &steps, const TransferTexts &texts)
{
    if (turn.play(steps))
        return true;
    m_progress.dismiss();
    if (turn.portLost())
        m_host.setStatus(texts.lost);
    return false;
}

MethodTransfer::Step MethodTransfer::beginProgress(const TransferTexts &texts)
{
    return StepPlayer::call([this, &texts] {
        m_shown = &texts;
        m_progress.begin(texts.label);
    });
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
