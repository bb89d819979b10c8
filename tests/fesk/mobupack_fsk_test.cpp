#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "graphics/fesk_frame_list.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

TEST(MobupackFsk, PngToLayeredImageAndBack)
{
    const fs::path dir = fs::temp_directory_path() / ("mobu_fsk_tool_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string png = (dir / "in.png").string(), fsk = (dir / "out.fsk").string(), back = (dir / "back.png").string();
    const std::string tool = std::string(MOBU_BINARY_DIR) + "/mobupack";
    ASSERT_EQ(std::system(("convert -size 21x13 gradient:'#ff8000-#0040ff' -alpha set -channel A -fx 'j/12' +channel png32:" + png).c_str()), 0);
    ASSERT_EQ(std::system((tool + " fsk " + png + " " + fsk).c_str()), 0);

    TFeskFrameList list;
    list.LoadFromFile(fsk, false, false, false);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Version, 106);
    EXPECT_EQ(list.Frames(0).Image.Width(), 21);
    EXPECT_TRUE(list.Frames(0).HasAlpha());

    ASSERT_EQ(std::system((tool + " fsk " + fsk + " " + back).c_str()), 0);
    // ImageMagick counts differing pixels: none.
    ASSERT_EQ(std::system(("compare -metric AE " + png + " " + back + " /dev/null 2>" + (dir / "ae.txt").string()).c_str()), 0);
    EXPECT_NE(std::system((tool + " fsk " + (dir / "missing.png").string() + " " + fsk + " 2>/dev/null").c_str()), 0);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace mobu
