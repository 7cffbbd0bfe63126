#include "common/cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
}

TEST(Cp1252, MapsTheWindowsSpecificCharacters)
{
    EXPECT_EQ(cp1252::decode("\x80\xFC\x96"), QString::fromUtf8("€ü–"));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("Bürette €")), QByteArray("B\xFCrette \x80"));
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("α→x")), QByteArray("??x"));
}
