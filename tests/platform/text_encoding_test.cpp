#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace mobu {
namespace {

TEST(TextEncoding, RoundTripsJapaneseAndBackslash)
{
    // "表示\終了" : 0x5C stays a backslash and the 0x5C trail byte of 表 is not split.
    std::string cp932 = "\x95\x5c\x8e\xa6\\\x8f\x49\x97\xb9";
    std::string utf8 = Cp932ToUtf8(cp932);
    EXPECT_EQ(utf8, "表示\\終了");
    EXPECT_EQ(Utf8ToCp932(utf8), cp932);
}

TEST(TextEncoding, UndefinedBytesSurviveARoundTrip)
{
    std::string cp932 = "a\x80\xa0\xfd\xfe\xff" "b";
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(cp932)), cp932);
}

TEST(TextEncoding, TruncatedLeadByteBecomesReplacement)
{
    EXPECT_EQ(Cp932ToUtf8("ab\x82"), "ab\xEF\xBF\xBD");
}

TEST(TextEncoding, SysTextGivesCp932)
{
    EXPECT_EQ(SysText(u8"終了"), "\x8f\x49\x97\xb9");
}

}  // namespace
}  // namespace mobu
