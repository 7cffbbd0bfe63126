#include "tools/uart_resampler.h"

#include <gtest/gtest.h>

TEST(UartResampler, SameSpeedPassesSevenBitTextUnchanged)
{
    const QByteArray text = "STATUS DL25\r\n  0.000 pH/mL";
    EXPECT_EQ(UartResampler(2400, 2400).convert(text), text);
    EXPECT_EQ(UartResampler(9600, 9600).convert(text), text);
}

TEST(UartResampler, OtherSpeedsGiveGarbledBytes)
{
    const QByteArray text = "STATUS DL25\r\n";
    for (quint32 receiver : {1200u, 4800u, 9600u, 19200u}) {
        const QByteArray heard = UartResampler(2400, receiver).convert(text);
        EXPECT_FALSE(heard.isEmpty()) << receiver;
        EXPECT_FALSE(heard.contains("STATUS")) << receiver;
        EXPECT_EQ(heard, UartResampler(2400, receiver).convert(text)) << receiver;
    }
    // A fast sender looks like short glitches to a slow receiver: fewer characters.
    EXPECT_LT(UartResampler(19200, 2400).convert(text).size(), text.size());
}

TEST(UartResampler, NoLineNoCharacters)
{
    EXPECT_TRUE(UartResampler(2400, 0).convert("abc").isEmpty());
    EXPECT_TRUE(UartResampler(0, 2400).convert("abc").isEmpty());
    EXPECT_TRUE(UartResampler(2400, 9600).convert({}).isEmpty());
}
