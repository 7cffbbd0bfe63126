#include "tools/instrument.h"

#include <QDate>
#include <QList>

#include <gtest/gtest.h>
#include <random>

namespace {

const QByteArray phHeader = "mL           mL             pH           pH       pH/mL";
const QByteArray mvHeader = "mL           mL             mV           mV         mV/mL";

/// Everything the instrument prints, without waiting; a running display is cut off.
QByteArray drain(Instrument &instrument, int limit = 100000)
{
    QByteArray text;
    while (instrument.hasOutput() && limit-- > 0)
        text += instrument.takeOutput().text;
    return text;
}

/// Sends the key strings one by one, as the program does, and collects the answers.
QByteArray send(Instrument &instrument, const QList<QByteArray> &strings)
{
    QByteArray text;
    for (const QByteArray &string : strings) {
        instrument.receive(string);
        text += drain(instrument);
    }
    return text;
}

QList<QByteArray> runSequence(const QByteArray &weight, const QByteArray &identification)
{
    return {"O", weight, "O", identification, "O", "O", "\r"};
}

/// The data lines right after the first header, read the way the program reads them.
QList<QList<QByteArray>> tableRows(const QByteArray &text, const QByteArray &header)
{
    const qsizetype start = text.indexOf(header);
    if (start < 0)
        return {};
    qsizetype end = start + header.size();
    while (end < text.size() && QByteArray("0123456789,-.E \r\n").contains(text[end]))
        ++end;
    QList<QList<QByteArray>> rows;
    for (const QByteArray &line : text.mid(start + header.size(), end - start - header.size()).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        EXPECT_TRUE(line.startsWith(' ')) << line.constData();
        rows.append(trimmed.simplified().split(' '));
    }
    return rows;
}

class InstrumentPowerOn : public ::testing::Test
{
  protected:
    InstrumentPowerOn() { instrument.lineConnected(); }

    Instrument instrument{QDate(2026, 12, 7)};
};

/// Past the power-on prompt, at rest.
class InstrumentTest : public InstrumentPowerOn
{
  protected:
    InstrumentTest() { drain(instrument); }
};

} // namespace

TEST_F(InstrumentPowerOn, GreetsTheFirstConnectionWithTheDatePromptOnly)
{
    EXPECT_TRUE(drain(instrument).contains("d.At 07"));
    instrument.lineConnected();
    EXPECT_FALSE(instrument.hasOutput());
}

TEST_F(InstrumentPowerOn, DateEntryAnswersTheDatePrompt)
{
    instrument.receive("5O3O9O");
    const QByteArray text = drain(instrument);
    EXPECT_TRUE(text.contains("Mo.  12\r\n"));
    EXPECT_TRUE(text.contains("Yr.  26\r\n"));
    EXPECT_TRUE(text.endsWith("DATE 05.03.09\r\n"));
    EXPECT_TRUE(send(instrument, {"?"}).contains("DATE          05.03.09"));
}

TEST_F(InstrumentPowerOn, ImpossibleDateIsRefusedAndTheOldOneKept)
{
    instrument.receive("31O2O9O");
    EXPECT_TRUE(drain(instrument).contains("E3 DATE"));
    EXPECT_TRUE(send(instrument, {"L", "?"}).contains("DATE          07.12.26"));
}

TEST_F(InstrumentPowerOn, UnansweredDatePromptGivesWayToFunctionKeys)
{
    instrument.takeOutput();
    const Printout expiry = instrument.takeOutput();
    EXPECT_EQ(expiry.text, "READY\r\n");
    EXPECT_EQ(expiry.delayMs, 20000);
    EXPECT_EQ(send(instrument, {"2", "O"}), "STIRRER ON\r\n");
}

TEST_F(InstrumentPowerOn, OtherKeysLeaveTheDatePromptAtOnce)
{
    instrument.receive("?");
    const QByteArray text = drain(instrument);
    EXPECT_TRUE(text.contains("STATUS DL25"));
    EXPECT_FALSE(text.contains("READY"));
}

TEST_F(InstrumentTest, ResetAndStatusAnswer)
{
    EXPECT_EQ(send(instrument, {"L"}), "\r\nRESET\r\n");
    const QByteArray status = send(instrument, {"?"});
    EXPECT_TRUE(status.contains("STATUS DL25"));
    EXPECT_TRUE(status.contains("METHOD        M36"));
    EXPECT_TRUE(status.contains("SIGNAL        pH"));
}

TEST_F(InstrumentTest, TitrationPrintsTheTableAndAResult)
{
    const QByteArray text = send(instrument, runSequence("0.25", "3"));
    EXPECT_EQ(text.count(phHeader), 1);
    EXPECT_FALSE(text.contains(mvHeader));
    const QList<QList<QByteArray>> rows = tableRows(text, phHeader);
    ASSERT_GT(rows.size(), 20);
    double volume = -1.0;
    for (const QList<QByteArray> &row : rows) {
        ASSERT_EQ(row.size(), 5);
        EXPECT_GT(row[0].toDouble(), volume);
        volume = row[0].toDouble();
    }
    EXPECT_EQ(rows.front(), (QList<QByteArray>{"0.000", "0.000", rows.front()[2], "0.00", "0.000"}));
    // The table ends in a text that starts with a letter other than E.
    const qsizetype results = text.indexOf("Results   SAMPLE 1   ID 3");
    ASSERT_GT(results, text.indexOf(phHeader));
    EXPECT_TRUE(text.contains("W =    0.2500 g"));
    // 0.25 g of a 99.8 % acid of 204.22 g/mol needs 12.22 mL of 0.1 mol/L base.
    const qsizetype at = text.indexOf("V = ", results);
    EXPECT_NEAR(text.mid(at + 4, 9).trimmed().toDouble(), 12.22, 0.03);
    EXPECT_TRUE(text.contains("TITRATION END"));
}

TEST_F(InstrumentTest, EmptyWeightAndIdentificationKeepTheLastOnes)
{
    send(instrument, runSequence("0.15", "4"));
    const QByteArray text = send(instrument, {"O", "O", "O", "O", "\r"});
    EXPECT_TRUE(text.contains("W =    0.1500 g"));
    EXPECT_TRUE(text.contains("SAMPLE 2   ID 4"));
}

TEST_F(InstrumentTest, UnreadableWeightIsReportedAndTheTitrationStillRuns)
{
    const QByteArray text = send(instrument, runSequence("0.2.5", "1"));
    EXPECT_TRUE(text.contains("E3 WEIGHT ?"));
    EXPECT_EQ(text.count(phHeader), 1);
}

TEST_F(InstrumentTest, MillivoltMethodPrintsTheMillivoltHeader)
{
    EXPECT_TRUE(send(instrument, {"L", "37", "QZ", "\r"}).contains("METHOD M37 LOADED"));
    const QByteArray text = send(instrument, runSequence("0.2", "1"));
    EXPECT_EQ(text.count(mvHeader), 1);
    EXPECT_FALSE(text.contains(phHeader));
    const QList<QList<QByteArray>> rows = tableRows(text, mvHeader);
    ASSERT_GT(rows.size(), 10);
    EXPECT_LT(rows.back()[2].toDouble(), rows.front()[2].toDouble()); // potential falls as the base goes in
}

TEST_F(InstrumentTest, KeysDuringATitrationDoNotBreakIntoTheTable)
{
    send(instrument, {"O", "0.2", "O", "1", "O", "O"});
    instrument.receive("\r");
    instrument.takeOutput();
    instrument.receive("?X2NO\r");
    const QByteArray text = drain(instrument);
    EXPECT_FALSE(text.contains("STATUS"));
    EXPECT_FALSE(text.contains("E0"));
    EXPECT_GT(tableRows(text, phHeader).size(), 20);
}

TEST_F(InstrumentTest, ResetEndsATitrationAtOnce)
{
    send(instrument, {"O", "0.2", "O", "1", "O", "O"});
    instrument.receive("\r");
    for (int line = 0; line < 5; ++line)
        instrument.takeOutput();
    EXPECT_EQ(send(instrument, {"L"}), "\r\nRESET\r\n");
    EXPECT_TRUE(send(instrument, {"?"}).contains("STATUS DL25"));
}

TEST_F(InstrumentTest, ResultsShortAndTableRepeatTheLastTitration)
{
    EXPECT_TRUE(send(instrument, {"4", "O"}).contains("E8 NO RESULTS"));
    const QByteArray titration = send(instrument, runSequence("0.2", "1"));
    const QByteArray results = titration.mid(titration.indexOf("\r\nResults"));
    EXPECT_EQ(send(instrument, {"4", "O"}), results);
    const QByteArray table = send(instrument, {"7", "O"});
    EXPECT_EQ(tableRows(table, phHeader), tableRows(titration, phHeader));
    EXPECT_TRUE(table.endsWith(results));
}

TEST_F(InstrumentTest, MethodUploadBecomesTheCurrentMethod)
{
    QList<QByteArray> strings{"L", "1", "H"};
    for (int group = 1; group <= 12; ++group) {
        strings << "0"
                << "1" << QByteArray::number(group % 10);
        if (group == 3 || group == 5)
            strings << ".";
        strings << "5"
                << "O";
    }
    const QByteArray upload = send(instrument, strings);
    EXPECT_TRUE(upload.contains("GROUP 3  013.5"));
    EXPECT_TRUE(upload.contains("GROUP C  0125"));
    EXPECT_TRUE(upload.endsWith("METHOD ACCEPTED AS CURRENT\r\n"));
    const QByteArray listing = send(instrument, {"2", "H", "\r"});
    EXPECT_TRUE(listing.contains("METHOD ENTERED"));
    EXPECT_TRUE(listing.contains("  1   0115\r\n"));
    EXPECT_TRUE(listing.contains("  5   015.5\r\n"));
    EXPECT_TRUE(listing.contains("  A   0105\r\n"));
}

TEST_F(InstrumentTest, UnreadableGroupKeepsItsDigitsAndTheUploadStaysInStep)
{
    QList<QByteArray> strings{"L", "1", "H"};
    for (int group = 1; group <= 12; ++group)
        strings << (group == 2 ? QByteArray("-1") : QByteArray("7")) << "O";
    const QByteArray upload = send(instrument, strings);
    EXPECT_TRUE(upload.contains("E1 INVALID, KEPT\r\n  GROUP 2  1001"));
    EXPECT_TRUE(upload.contains("GROUP 1  0007"));
    EXPECT_TRUE(upload.endsWith("METHOD ACCEPTED AS CURRENT\r\n"));
}

TEST_F(InstrumentTest, ResetDuringAnUploadKeepsTheOldMethod)
{
    send(instrument, {"L", "1", "H", "0", "0", "0", "1", "O", "L"});
    EXPECT_TRUE(send(instrument, {"2", "H", "\r"}).contains("METHOD M36\r\n  1   0011"));
}

TEST_F(InstrumentTest, SaveAndLoadMethodMemories)
{
    EXPECT_TRUE(send(instrument, {"L", "12", "P", "P"}).contains("METHOD SAVED AS M12"));
    EXPECT_TRUE(send(instrument, {"L", "40", "P", "P"}).contains("E7 M40 PREDEFINED, NOT SAVED"));
    EXPECT_TRUE(send(instrument, {"L", "-1", "P", "P"}).contains("E4 METHOD NO. ?"));
    EXPECT_TRUE(send(instrument, {"L", "5", "QZ", "\r"}).contains("E5 M5 EMPTY"));
    EXPECT_TRUE(send(instrument, {"L", "51", "QZ", "\r"}).contains("E4 METHOD NO. ?"));
    EXPECT_TRUE(send(instrument, {"L", "37", "QZ", "\r"}).contains("METHOD M37 LOADED"));
    EXPECT_TRUE(send(instrument, {"L", "12", "QZ", "\r"}).contains("METHOD M12 LOADED"));
    const QByteArray memory = send(instrument, {"0", "H", "\r"});
    EXPECT_TRUE(memory.contains("M12   0011 1001 000.0"));
    EXPECT_TRUE(memory.contains("M13   ---- ----"));
    EXPECT_EQ(memory.count("\r\n  M"), 51);
}

TEST_F(InstrumentTest, BuretFillsWithAndWithoutAVolume)
{
    instrument.receive("10");
    instrument.receive("M");
    EXPECT_TRUE(instrument.takeOutput().text.contains("FILLING BURET   10.000 mL"));
    const Printout ready = instrument.takeOutput();
    EXPECT_EQ(ready.text, "BURET READY\r\n");
    EXPECT_EQ(ready.delayMs, 10000);
    EXPECT_TRUE(send(instrument, {"M"}).contains("FILLING BURET   20.000 mL"));
    EXPECT_TRUE(send(instrument, {"25", "M"}).contains("E3 VOLUME ?"));
}

TEST_F(InstrumentTest, TiterAndReagentConstant)
{
    EXPECT_TRUE(send(instrument, {"0.99", "I", "Z"}).contains("TITER   0.9900 mol/L"));
    EXPECT_TRUE(send(instrument, {"0", "I", "Z"}).contains("E3 TITER ?"));
    EXPECT_TRUE(send(instrument, {"0.25", "F", "Z"}).contains("REAGENT CONST   0.2500"));
    const QByteArray status = send(instrument, {"?"});
    EXPECT_TRUE(status.contains("TITER         0.9900"));
    EXPECT_TRUE(status.contains("REAGENT CONST 0.2500"));
}

TEST_F(InstrumentTest, TwoBufferCalibrationMeasuresTheElectrode)
{
    const QByteArray text = send(instrument, {"N", "O", "O"});
    EXPECT_TRUE(text.contains("BUFFER 1  pH 4.00"));
    EXPECT_TRUE(text.contains("BUFFER 2  pH 7.00"));
    EXPECT_TRUE(text.contains("SLOPE   98.7 %   ZERO  7.04 pH"));
    EXPECT_TRUE(text.contains("CALIBRATION STORED"));
    EXPECT_TRUE(send(instrument, {"N", "O", "L", "?"}).contains("SLOPE         98.7 %"));
}

TEST_F(InstrumentTest, SignalDisplayRunsUntilReset)
{
    instrument.receive("3");
    instrument.receive("N");
    EXPECT_EQ(instrument.takeOutput().text, "SIGNAL pH\r\n");
    for (int reading = 0; reading < 3; ++reading) {
        const Printout printout = instrument.takeOutput();
        EXPECT_EQ(printout.delayMs, 1000);
        ASSERT_TRUE(printout.text.startsWith("  pH = "));
        EXPECT_NEAR(printout.text.mid(7).trimmed().toDouble(), 7.0, 0.1);
    }
    instrument.receive("L");
    EXPECT_EQ(drain(instrument), "\r\nRESET\r\n");
    EXPECT_FALSE(instrument.hasOutput());
    instrument.receive("2N");
    instrument.takeOutput();
    EXPECT_TRUE(instrument.takeOutput().text.endsWith(" mV\r\n"));
}

TEST_F(InstrumentTest, StirrerAndKeyboard)
{
    EXPECT_EQ(send(instrument, {"2", "O"}), "STIRRER ON\r\n");
    EXPECT_EQ(send(instrument, {"2", "O"}), "STIRRER OFF\r\n");
    EXPECT_EQ(send(instrument, {"Y"}), "KEYBOARD ENABLED\r\n");
    EXPECT_TRUE(send(instrument, {"?"}).contains("KEYBOARD      ON"));
}

TEST_F(InstrumentTest, UnknownKeysGetOneComplaintPerRun)
{
    EXPECT_EQ(send(instrument, {"XXXX"}), "E0 KEY ?\r\n");
    EXPECT_EQ(send(instrument, {"9", "O"}), "E2 FUNCTION ?\r\n");
    EXPECT_EQ(send(instrument, {"5", "H"}), "E2 MODE ?\r\n");
}

TEST_F(InstrumentTest, SurvivesAnyBytes)
{
    std::mt19937 random(7);
    for (int chunk = 0; chunk < 2000; ++chunk) {
        QByteArray bytes;
        for (int index = 0; index < 16; ++index)
            bytes.append(static_cast<char>("LO?HNMIFZPQY\r0123456789.-X\xff"[random() % 27]));
        instrument.receive(bytes);
        drain(instrument, 2000);
    }
    instrument.receive("L");
    drain(instrument, 2000);
    EXPECT_TRUE(send(instrument, {"?"}).contains("STATUS DL25"));
}

namespace {

/// The key strings of an upload as the program sends them: each digit on its own, the point
/// before the fourth digit of groups 3 and 5, a RUN after each group.
QList<QByteArray> uploadStrings(const std::array<MethodCodes::Group, MethodCodes::groupCount> &method)
{
    QList<QByteArray> strings{"L", "1", "H"};
    for (int group = 0; group < MethodCodes::groupCount; ++group) {
        for (int index = 0; index < 4; ++index) {
            if (index == 3 && MethodCodes::hasPoint(group))
                strings << ".";
            strings << QByteArray::number(method[group][index]);
        }
        strings << "O";
    }
    return strings;
}

/// Each group in turn carries 9, 8, 7, 6, so a digit filed in the wrong place or group shows.
class GroupUploadTest : public InstrumentTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(GroupUploadTest, CurrentMethodHoldsExactlyTheDigitsSent)
{
    const int group = GetParam();
    std::array<MethodCodes::Group, MethodCodes::groupCount> method{};
    for (int other = 0; other < MethodCodes::groupCount; ++other)
        method[other] = {0, 0, other / 10, other % 10};
    method[group] = {9, 8, 7, 6};
    EXPECT_TRUE(send(instrument, uploadStrings(method)).endsWith("METHOD ACCEPTED AS CURRENT\r\n"));

    const QByteArray listing = send(instrument, {"2", "H", "\r"});
    for (int other = 0; other < MethodCodes::groupCount; ++other) {
        const QByteArray digits = QByteArray::number(method[other][0]) + QByteArray::number(method[other][1]) +
                                  QByteArray::number(method[other][2]) +
                                  (MethodCodes::hasPoint(other) ? "." : "") + QByteArray::number(method[other][3]);
        EXPECT_TRUE(listing.contains("  " + QByteArray(1, MethodCodes::label(other)) + "   " + digits + "\r\n"))
            << "group " << other + 1 << " in\n" << listing.constData();
    }
}

INSTANTIATE_TEST_SUITE_P(Instrument, GroupUploadTest, ::testing::Range(0, MethodCodes::groupCount),
                         [](const auto &info) { return "Group" + std::to_string(info.param + 1); });

TEST_F(InstrumentTest, SaveIntoAPredefinedMemoryIsRefusedAndKeepsIt)
{
    for (int slot = 36; slot <= 50; ++slot) {
        const QByteArray name = "M" + QByteArray::number(slot);
        const QByteArray answer = send(instrument, {"L", QByteArray::number(slot), "P", "P"});
        EXPECT_TRUE(answer.contains("E7 " + name + " PREDEFINED, NOT SAVED\r\n")) << answer.constData();
        EXPECT_FALSE(answer.contains("SAVED AS"));
    }
    const QByteArray memory = send(instrument, {"0", "H", "\r"});
    EXPECT_TRUE(memory.contains("M40   " + MethodCodes::predefined(40).groupText(0)));
}

} // namespace
