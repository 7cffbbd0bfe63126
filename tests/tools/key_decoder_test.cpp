#include "tools/key_decoder.h"

#include <gtest/gtest.h>

namespace {

using Keys = std::vector<KeyPress>;

} // namespace

TEST(KeyDecoder, SingleCharacterKeysAndEntries)
{
    KeyDecoder decoder;
    EXPECT_EQ(decoder.decode("L?OHNMPY\r"), (Keys{{KeyPress::Reset},
                                                  {KeyPress::Status},
                                                  {KeyPress::Run},
                                                  {KeyPress::Mode},
                                                  {KeyPress::PhCalibration},
                                                  {KeyPress::Buret},
                                                  {KeyPress::Save},
                                                  {KeyPress::Keyboard},
                                                  {KeyPress::Enter}}));
    EXPECT_EQ(decoder.decode("-1.5"),
              (Keys{{KeyPress::Digit, '-'}, {KeyPress::Digit, '1'}, {KeyPress::Digit, '.'}, {KeyPress::Digit, '5'}}));
}

TEST(KeyDecoder, TwoCharacterKeysMayArriveInTwoReads)
{
    KeyDecoder decoder;
    EXPECT_EQ(decoder.decode("QZ"), (Keys{{KeyPress::Method}}));
    EXPECT_TRUE(decoder.decode("I").empty());
    EXPECT_EQ(decoder.decode("Z"), (Keys{{KeyPress::Const}}));
    EXPECT_TRUE(decoder.decode("F").empty());
    EXPECT_EQ(decoder.decode("Z"), (Keys{{KeyPress::ConstReagent}}));
}

TEST(KeyDecoder, StrayCharactersAreUnknownAndLineFeedsAreDropped)
{
    KeyDecoder decoder;
    EXPECT_EQ(decoder.decode("Z\nIO\0x"), (Keys{{KeyPress::Unknown, 'Z'}, {KeyPress::Unknown, 'I'}, {KeyPress::Run}}));
    EXPECT_EQ(decoder.decode(QByteArray("\0x", 2)), (Keys{{KeyPress::Unknown, 'x'}}));
}
