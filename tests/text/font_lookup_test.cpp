#include "platform/font_lookup.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace mobu {
namespace {

TEST(FontLookup, WindowsNamesMapToTheIpaFonts)
{
    const struct {
        const char8_t* name;
        const char* family;
    } cases[] = {
        {u8"ＭＳ ゴシック", "IPAGothic"},   {u8"MS Gothic", "IPAGothic"},   {u8"ＭＳ Ｐゴシック", "IPAPGothic"},
        {u8"MS PGothic", "IPAPGothic"},     {u8"ＭＳ 明朝", "IPAMincho"},   {u8"MS Mincho", "IPAMincho"},
        {u8"ＭＳ Ｐ明朝", "IPAPMincho"},    {u8"MS PMincho", "IPAPMincho"},
    };
    for (const auto& c : cases) {
        std::optional<TFontFile> file = LookupFont(SysText(c.name));
        ASSERT_TRUE(file.has_value()) << reinterpret_cast<const char*>(c.name);
        EXPECT_EQ(file->family, c.family) << reinterpret_cast<const char*>(c.name);
        EXPECT_FALSE(file->path.empty());
    }
}

TEST(FontLookup, InstalledFamilyIsFoundByItsOwnName)
{
    std::optional<TFontFile> file = LookupFont("IPAMincho");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->family, "IPAMincho");
}

TEST(FontLookup, UnknownNameIsNotInstalled)
{
    EXPECT_FALSE(LookupFont("No Such Font Family 123").has_value());
    EXPECT_FALSE(LookupFont(SysText(u8"存在しない書体")).has_value());
    EXPECT_FALSE(LookupFont("").has_value());
}

TEST(FontLookup, SomeFontIsAlwaysAvailableAsLastResort)
{
    EXPECT_TRUE(LookupAnyFont().has_value());
}

}  // namespace
}  // namespace mobu
