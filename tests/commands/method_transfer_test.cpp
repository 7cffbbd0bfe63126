#include "commands/method_requests.h"
#include "commands/method_transfer.h"
#include "commands/progress_display.h"
#include "method/method_error.h"
#include "tests/support/command_doubles.h"

#include <QStringList>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

/// The method setup dialog: showing it runs what the test has the user do there.
class FakeRequests : public MethodRequests
{
  public:
    explicit FakeRequests(CommandLog &log) : m_log(log) {}

    void ResetTitratorSaveButtonState() override { save = 0; }
    void ResetTitratorLoadButtonState() override { load = 0; }
    void ResetTitratorUploadButtonState() override { upload = 0; }
    void showModal() override
    {
        m_log.add("dialog", {});
        if (user)
            user(*this);
    }
    std::int32_t TitratorUploadButtonState() const override { return upload; }
    std::int32_t TitratorLoadButtonState() const override { return load; }
    std::int32_t TitratorSaveButtonState() const override { return save; }
    int selectedSlot() const override { return slot; }
    ModeCode modeCode(int group) const override { return codes.at(group - 1); }
    void IniFileSave() override
    {
        if (!writable)
            throw MethodError("Unable to write to Config/12.ini");
        m_log.add("file", QString::number(slot));
    }

    std::function<void(FakeRequests &)> user;
    std::int32_t upload = 0;
    std::int32_t load = 0;
    std::int32_t save = 0;
    int slot = -1;
    bool writable = true;
    std::array<ModeCode, 12> codes{};

  private:
    CommandLog &m_log;
};

class RecordingProgress : public ProgressDisplay
{
  public:
    explicit RecordingProgress(CommandLog &log) : m_log(log) {}

    void begin(const QString &label) override
    {
        m_value = 0;
        m_log.add("progress", label);
    }
    void advance(int steps) override
    {
        m_value += steps;
        m_log.add("gauge", QString::number(m_value));
    }
    void markFinished() override { m_log.add("gauge", "13 finished"); }
    void dismiss() override { m_log.add("progress", "closed"); }
    void setCancelAction(std::function<void()> action) override { cancel = std::move(action); }

    std::function<void()> cancel;

  private:
    CommandLog &m_log;
    int m_value = 0;
};

/// The digits of the twelve groups as the tests set them, a group per entry, digits apart.
const QStringList kMethod = {"1 0 0 0", "0 2 0 0", "0 1 2 5", "0 1 2 5", "0 5 0 3", "0 0 0 6",
                             "7 0 0 7", "0 8 0 0", "0 0 9 0", "1 0 1 0", "0 0 1 1", "-1 2 0 0"};

std::vector<std::string> uploadSteps()
{
    std::vector<std::string> steps{"status Uploading data in progress...",
                                   "progress Uploading data in progress...",
                                   "send L",
                                   "wait 1000",
                                   "send 1",
                                   "wait 1000",
                                   "send H",
                                   "wait 1000"};
    for (int group = 1; group <= 12; ++group) {
        steps.push_back("gauge " + std::to_string(group));
        const QStringList digits = kMethod[group - 1].split(' ');
        for (int index = 0; index < 4; ++index) {
            if (index == 3 && (group == 3 || group == 5))
                steps.insert(steps.end(), {"send .", "wait 1000"});
            steps.insert(steps.end(), {"send " + digits[index].toStdString(), "wait 1000"});
        }
        steps.insert(steps.end(), {"send O", "wait 1000"});
    }
    steps.insert(steps.end(), {"gauge 13 finished", "wait 1000", "progress closed", "status Upload completed"});
    return steps;
}

std::vector<std::string> operator+(std::vector<std::string> first, const std::vector<std::string> &second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class MethodTransferTest : public ::testing::Test, protected RecordedCommands
{
  protected:
    MethodTransferTest()
    {
        for (int group = 0; group < 12; ++group) {
            const QStringList digits = kMethod[group].split(' ');
            for (int index = 0; index < 4; ++index)
                dialog.codes[group].digits[index] = digits[index].toInt();
        }
    }

    /// What the user presses in the dialog, with the slot chosen there.
    void press(std::int32_t FakeRequests::*button, int slot, std::int32_t FakeRequests::*also = nullptr)
    {
        dialog.user = [=](FakeRequests &shown) {
            shown.slot = slot;
            shown.*button = -1;
            if (also)
                shown.*also = -1;
        };
    }

    FakeRequests dialog{log};
    RecordingProgress progress{log};
    MethodTransfer transfer{commands.player(), host, dialog, progress};
};

struct ModeCase
{
    const char *name;
    std::int32_t FakeRequests::*button;
    std::int32_t FakeRequests::*also;
    int slot;
    std::vector<std::string> steps;
};

class ModeTest : public MethodTransferTest, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(ModeTest, SendsWhatTheDialogAskedFor)
{
    if (GetParam().button)
        press(GetParam().button, GetParam().slot, GetParam().also);
    transfer.Mode();
    EXPECT_EQ(log.entries(), timed(std::vector<std::string>{"dialog "} + GetParam().steps));
}

const std::vector<std::string> kLoad37 = {"progress Loading data in progress...",
                                          "send L",
                                          "wait 1000",
                                          "gauge 4",
                                          "send 37",
                                          "wait 1000",
                                          "gauge 8",
                                          "send QZ",
                                          "wait 1000",
                                          "gauge 12",
                                          "send <CR>",
                                          "wait 1000",
                                          "gauge 13 finished",
                                          "progress closed",
                                          "status Method No.[37] - Loading completed"};

INSTANTIATE_TEST_SUITE_P(
    MethodTransfer, ModeTest,
    ::testing::Values(
        ModeCase{"ClosedWithoutAButton", nullptr, nullptr, 12, {"send L", "status Mode stopped"}},
        ModeCase{"Load37", &FakeRequests::load, nullptr, 37, kLoad37},
        ModeCase{"LoadWinsOverUpload", &FakeRequests::load, &FakeRequests::upload, 37, kLoad37},
        ModeCase{"TemporaryUpload", &FakeRequests::upload, nullptr, 12, uploadSteps()},
        ModeCase{"SaveAndUpload12", &FakeRequests::upload, &FakeRequests::save, 12,
                 std::vector<std::string>{"file 12"} + uploadSteps() +
                     std::vector<std::string>{"progress Saving data in progress...", "send L",
                                                          "wait 1000", "gauge 4", "send 12", "wait 1000", "gauge 8",
                                                          "send P", "wait 1000", "gauge 12", "send P",
                                                          "gauge 13 finished", "progress closed",
                                                          "status Method No.[12] - Saving completed"}},
        ModeCase{"SaveAndUpload40RefusesTheStore", &FakeRequests::upload, &FakeRequests::save, 40,
                 uploadSteps() +
                     std::vector<std::string>{
                         "message Saving method aborted! Cannot Save Method on predefined Method-Memory!",
                         "status Saving method aborted!"}},
        ModeCase{"LoadWithoutAMemorySendsNothing",
                 &FakeRequests::load,
                 nullptr,
                 -1,
                 {"status Loading method aborted! - No method memory chosen"}},
        ModeCase{"SaveWithoutAMemorySendsNothing",
                 &FakeRequests::upload,
                 &FakeRequests::save,
                 -1,
                 {"status Saving method aborted! - No method memory chosen"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MethodTransferTest, RefusedMethodFileEndsTheStoreBeforeAnythingIsSent)
{
    press(&FakeRequests::upload, 12, &FakeRequests::save);
    dialog.writable = false;
    transfer.Mode();
    EXPECT_EQ(log.entries(), timed({"dialog ", "status Saving method aborted! - Unable to write to Config/12.ini"}));
}

TEST_F(MethodTransferTest, GroupsWithdrawnDuringTheUploadSendNothing)
{
    press(&FakeRequests::upload, 12);
    // Group 1 begins at 3003 and takes five seconds; group 2 sees the request gone.
    pump.at(5000, [this] { dialog.upload = 0; });
    transfer.Mode();
    const auto &entries = log.entries();
    const auto sent = std::count_if(entries.begin(), entries.end(),
                                    [](const std::string &entry) { return entry.find(" send ") != std::string::npos; });
    EXPECT_EQ(sent, 3 + 5);
    EXPECT_EQ(entries.back(), std::to_string(3003 + 5005 + 1001) + " status Upload completed");
}

TEST_F(MethodTransferTest, OtherCommandsDuringAnUploadAreRefused)
{
    press(&FakeRequests::upload, 12);
    pump.at(10000, [this] {
        commands.run(InstrumentCommands::Fixed::Status);
        transfer.Mode();
        commands.startTitration();
    });
    transfer.Mode();
    std::vector<std::string> entries = log.entries();
    const std::string busy = "10000 status Busy - command not sent";
    EXPECT_EQ(std::erase(entries, busy), 3u);
    EXPECT_EQ(entries, timed(std::vector<std::string>{"dialog "} + uploadSteps()));
    EXPECT_EQ(input.asked, 0);
}

TEST_F(MethodTransferTest, ResetStopsAnUploadAndClosesItsWindow)
{
    press(&FakeRequests::upload, 12);
    pump.at(10000, [this] { commands.run(InstrumentCommands::Fixed::Reset); });
    transfer.Mode();
    const auto &entries = log.entries();
    const auto stopped = std::find(entries.begin(), entries.end(), "9009 send 2");
    ASSERT_NE(stopped, entries.end());
    EXPECT_EQ(std::vector<std::string>(stopped + 1, entries.end()),
              (std::vector<std::string>{"10000 send L", "11001 status RESET", "11001 progress closed"}));

    commands.run(InstrumentCommands::Fixed::Keyboard);
    EXPECT_EQ(entries.back(), "11001 status Keyboard is on");
}

TEST_F(MethodTransferTest, APortLostAndBackWithinAWaitEndsSaveAndUpload)
{
    press(&FakeRequests::upload, 12, &FakeRequests::save);
    pump.at(10000, [this] { port.open = false; });
    pump.at(10500, [this] {
        port.open = true;
        ++port.openings;
    });
    transfer.Mode();
    const auto &entries = log.entries();
    const auto last = std::find(entries.begin(), entries.end(), "9009 send 2");
    ASSERT_NE(last, entries.end());
    EXPECT_EQ(std::vector<std::string>(last + 1, entries.end()),
              (std::vector<std::string>{"10010 progress closed", "10010 status Upload aborted - port lost"}));
}

TEST_F(MethodTransferTest, AnErrorLineOfTheTitratorReplacesTheSuccessText)
{
    host.received = "E5 M5 EMPTY\r\n";
    press(&FakeRequests::load, 5);
    pump.at(3500, [this] { host.received += "LOAD METHOD M5 ?  ENTER\r\nE5 M5 EMPTY\r\n"; });
    transfer.Mode();
    EXPECT_EQ(log.entries().back(), "4004 status Loading method failed: E5 M5 EMPTY");

    // A method the titrator refused in part is not stored.
    press(&FakeRequests::upload, 12, &FakeRequests::save);
    pump.at(20000, [this] { host.received += "E1 INVALID, KEPT\r\n"; });
    transfer.Mode();
    EXPECT_TRUE(log.entries().back().ends_with(" status Upload failed: E1 INVALID, KEPT"));
}

TEST_F(MethodTransferTest, QuitEndsAnUploadWithTheWaitItIsIn)
{
    press(&FakeRequests::upload, 12);
    pump.at(10000, [this] { commands.player().stop(); });
    transfer.Mode();
    EXPECT_EQ(log.entries().back(), "10010 progress closed");
}

} // namespace
