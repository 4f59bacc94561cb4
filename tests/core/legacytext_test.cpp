#include "core/legacytext.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(LegacyText, CountsBytesOfTheEightBitForm)
{
    EXPECT_EQ(legacytext::byteCount(u"abc"_s), 3);
    EXPECT_EQ(legacytext::byteCount(u"中文"_s), 4);
    EXPECT_EQ(legacytext::byteCount(QString::fromUtf8("\xF0\x9F\x98\x80")), 4);
}

TEST(LegacyText, RoundTripsEveryCharacter)
{
    const QString text = u"中文 abc é ß "_s + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(legacytext::decode(legacytext::encode(text)), text);
}

TEST(LegacyText, InvalidBytesDecodeToNothing)
{
    EXPECT_FALSE(legacytext::decode(QByteArray("\xD6\xD0\xFF\xFF", 4)).has_value());
}

TEST(LegacyText, CutKeepsWholeCharacters)
{
    EXPECT_EQ(legacytext::cutToBytes(u"a中文"_s, 4), u"a中"_s);
    EXPECT_EQ(legacytext::cutToBytes(u"a中文"_s, 5), u"a中文"_s);
    EXPECT_EQ(legacytext::cutToBytes(u"a中文"_s, 0), u""_s);
}

} // namespace
