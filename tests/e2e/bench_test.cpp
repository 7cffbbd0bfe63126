#include "tests/e2e/bench_fixture.h"

#include <csignal>

TEST_F(BenchFixture, InstrumentGreetsTheProgram)
{
    EXPECT_TRUE(runUntil([&] { return terminalHas("DL25 TITRATOR   SIM 1.0\r\nd.At "); }, 10000));
}

TEST_F(BenchFixture, ProgramOutlivesAKilledSimulatorQuietlyAndKeepsItsText)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    answerRunDialog("0.2", 1);
    form->RunClick();
    ASSERT_TRUE(runUntil([&] { return terminalHas("pH/mL\r\n") && terminalHas("   0.400  "); }, 20000));
    ::kill(static_cast<pid_t>(simulator.processId()), SIGKILL);
    runUntil([] { return false; }, 300);
    const QByteArray kept = form->terminalText().text();

    const double cpuBefore = cpuSeconds();
    runUntil([] { return false; }, 500);
    // An idle program sleeps; a worker spinning on the dead line would use the whole half second.
    EXPECT_LT(cpuSeconds() - cpuBefore, 0.15);
    EXPECT_EQ(form->terminalText().text(), kept);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(BenchFixture, ResetAndStatusAreAnsweredInTheTerminal)
{
    ASSERT_TRUE(runUntil([&] { return terminalHas("d.At"); }, 10000));
    form->ResetClick();
    EXPECT_TRUE(runUntil([&] { return terminalHas("\r\nRESET\r\n"); }, 5000));
    EXPECT_EQ(form->statusText(), "RESET");
    form->StatusClick();
    EXPECT_TRUE(runUntil([&] { return terminalHas("SAMPLES       0\r\n"); }, 5000));
    const QByteArray text = form->terminalText().text();
    EXPECT_LT(text.indexOf("Status:\r\n"), text.indexOf("STATUS DL25"));
    EXPECT_EQ(form->statusText(), "Asking Status");
}
