// The preview-menu file reader over fixtures of every version written by
// tests/data/prev_menu/make_mmt_fixtures.py, the damaged files it writes, the writer's round
// trip and the path rules.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "components/prev_menu_file.h"
#include "core/mobu_error.h"

namespace mobu {
namespace {

std::string Fixture(const std::string& name)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/prev_menu/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The fields the version holds as "key = value" lines, in file order.
std::string Listing(const TPrevMenuFile& file)
{
    std::string out = "version = " + std::to_string(file.Version) + "\nwidth = " + std::to_string(file.Width) +
                      "\nheight = " + std::to_string(file.Height) + "\n";
    auto line = [&out](const char* key, const std::string& v) { out += std::string(key) + (v.empty() ? " =\n" : " = " + v + "\n"); };
    auto number = [&](const char* key, int32_t v) { line(key, std::to_string(v)); };
    const int v = file.Version;
    for (const TPrevMenuRecord& r : file.Buttons) {
        out += "[button]\n";
        number("x", r.X);
        number("y", r.Y);
        line("normal", r.Normal);
        line("capture_mask", r.CaptureMask ? "yes" : "no");
        line("name", r.Name);
        line("hover", r.Hover);
        line("leave", r.Leave);
        line("click", r.Click);
        if (v > 100) line("disabled", r.Disabled);
        if (v > 102) line("disabled_hover", r.DisabledHover), line("disabled_leave", r.DisabledLeave);
        line("hover_overlay", r.HoverOverlay);
        line("leave_overlay", r.LeaveOverlay);
        line("click_overlay", r.ClickOverlay);
        if (v > 101) line("disabled_hover_overlay", r.DisabledHoverOverlay), line("disabled_leave_overlay", r.DisabledLeaveOverlay);
        number("overlay_x", r.OverlayX);
        number("overlay_y", r.OverlayY);
        line("cursor", r.Cursor);
        if (v > 103) {
            line("checked", r.Checked);
            line("checked_hover", r.CheckedHover);
            line("checked_leave", r.CheckedLeave);
            line("checked_hover_overlay", r.CheckedHoverOverlay);
            line("checked_leave_overlay", r.CheckedLeaveOverlay);
            number("group", r.Group);
        }
        if (v > 104) line("check_overlay", r.CheckOverlay);
        if (v > 105) line("uncheck_overlay", r.UncheckOverlay);
    }
    return out;
}

TEST(PrevMenuFile, EveryVersionReadsTheFieldsItHolds)
{
    for (int version = kPrevMenuFirstVersion; version <= kPrevMenuLastVersion; ++version) {
        const std::string name = "v" + std::to_string(version);
        const std::string bytes = Fixture(name + ".mmt");
        ASSERT_FALSE(bytes.empty()) << name;
        const TPrevMenuFile file = ReadPrevMenuFile(bytes);
        EXPECT_EQ(file.Version, version);
        ASSERT_EQ(file.Buttons.size(), 3u) << name;
        EXPECT_EQ(Listing(file), Fixture(name + ".txt")) << name;
        // Written back in the same version: the same bytes.
        EXPECT_EQ(WritePrevMenuFile(file) == bytes, version != 103) << name;  // 103 has a negative size
    }
}

TEST(PrevMenuFile, DamagedFilesFailWithTheirMessages)
{
    struct TCase {
        const char* fixture;
        std::string message;
    };
    const TCase cases[] = {
        {"bad_version.mmt", prev_menu_messages::BadVersion()},
        {"bad_magic.mmt", prev_menu_messages::BadFormat()},
        {"huge_count.mmt", prev_menu_messages::BadFormat()},
        {"long_string.mmt", prev_menu_messages::BadFormat()},
    };
    for (const TCase& c : cases) {
        const std::string bytes = Fixture(c.fixture);
        ASSERT_FALSE(bytes.empty()) << c.fixture;
        try {
            ReadPrevMenuFile(bytes);
            ADD_FAILURE() << c.fixture << " was read";
        } catch (const EMobuError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.fixture;
        }
    }
    // Every cut of a good file fails cleanly.
    const std::string good = Fixture("v106.mmt");
    for (size_t keep = 0; keep < good.size(); keep += 7) {
        const std::string cut = good.substr(0, keep);
        EXPECT_THROW(ReadPrevMenuFile(cut), EMobuError) << keep;
    }
    const std::string digits = "MobuPrevMenu1x6";
    EXPECT_THROW(ReadPrevMenuFile(digits + std::string(12, '\0')), EMobuError);
}

TEST(PrevMenuFile, DefaultNamesAndPathRules)
{
    EXPECT_EQ(DefaultButtonName(0), "Button00");
    EXPECT_EQ(DefaultButtonName(7), "Button07");
    EXPECT_EQ(DefaultButtonName(123), "Button123");
    struct TCase {
        const char* file;
        const char* path;
        const char* game_path;
    };
    const TCase cases[] = {
        {"cg\\menu\\a.mmt", "b.fsk", "cg\\menu\\b.fsk"},
        {"cg\\menu\\a.mmt", "", ""},
        {"cg\\menu\\a.mmt", "\\sys\\b.fsk", "sys\\b.fsk"},
        {"cg\\menu\\a.mmt", "C:\\b.fsk", "C:\\b.fsk"},
        {"cg\\menu\\a.mmt", "..\\b.fsk", "cg\\b.fsk"},
        {"cg\\menu\\a.mmt", "..\\..\\b.fsk", "b.fsk"},
        {"cg\\menu\\a.mmt", "..\\..\\..\\..\\b.fsk", "b.fsk"},  // never above the game root
        {"a.mmt", "sub\\b.fsk", "sub\\b.fsk"},
        {"\x95\x5c\\a.mmt", "b.fsk", "\x95\x5c\\b.fsk"},  // 表: its trail byte is not a separator
    };
    for (const TCase& c : cases) EXPECT_EQ(ResolvePrevMenuPath(c.file, c.path), c.game_path) << c.path;
}

}  // namespace
}  // namespace mobu
