// The player's screen in the middle of a Flip is what `mobupack wipe` makes of the same two
// pictures at the same position: one headless game flips between two pictures ImageMagick
// drew, once with every effect in turn (the mask effects with a mask picture named by the
// page), and every shot taken while a flip runs is compared pixel for pixel with the tool's
// picture at the flip's position then. A frame of 15 ms advances the position by 15, so the
// shots of one flip must be the tool's pictures at a run of positions 15 apart (position 0
// until the flip's clock starts).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "graphics/fesk_frame_list.h"
#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;
using run_tools::RunCommand;

constexpr int kDuration = 150, kTick = 15, kFrames = 760;

// The RGB pixels of a PNG file (empty when it cannot be read).
std::vector<uint32_t> Pixels(const fs::path& png)
{
    std::vector<uint32_t> out;
    TFeskFrameList list;
    try {
        list.LoadFromFile(png.string(), true, false, false);
    } catch (...) {
        return out;
    }
    if (list.Count() != 1) return out;
    const TDIBSurface& image = list.Frames(0).Image;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            int r = 0, g = 0, b = 0;
            image.RGBOfValue(image.GetPixel(x, y), false, r, g, b);
            out.push_back(static_cast<uint32_t>(r << 16 | g << 8 | b));
        }
    return out;
}

class FlipWipeMatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-flip-wipe-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "src");
    }
    void TearDown() override { fs::remove_all(root_); }

    // `mobupack wipe` of the flip `id` at `position`, cached.
    const std::vector<uint32_t>& Tool(int id, bool a_to_b, int position)
    {
        const std::string key = std::to_string(id) + "/" + std::to_string(position);
        auto found = tool_.find(key);
        if (found != tool_.end()) return found->second;
        const fs::path out = root_ / ("tool-" + std::to_string(id) + "-" + std::to_string(position) + ".png");
        const std::string a = (root_ / "src" / "a.fsk.png").string(), b = (root_ / "src" / "b.fsk.png").string();
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobupack wipe " + std::to_string(id) + " '" +
                                    (a_to_b ? a : b) + "' '" + (a_to_b ? b : a) + "' '" + out.string() +
                                    "' --position " + std::to_string(position) + " --duration " +
                                    std::to_string(kDuration) + " --mask '" + (root_ / "src" / "m.fsk.png").string() +
                                    "' >/dev/null";
        EXPECT_EQ(RunCommand(command), 0) << command;
        return tool_[key] = Pixels(out);
    }

    fs::path root_;
    std::map<std::string, std::vector<uint32_t>> tool_;
};

TEST_F(FlipWipeMatch, EveryEffectMidFlipIsTheToolsPicture)
{
    const fs::path src = root_ / "src";
    ASSERT_EQ(RunCommand("convert -size 64x48 gradient:'#f04010-#2060c0' -fill '#ffffff' -draw 'circle 20,20 28,20' "
                         "-fill '#202020' -draw 'rectangle 40,8 58,40' PNG24:'" + (src / "a.fsk.png").string() + "'"),
              0);
    ASSERT_EQ(RunCommand("convert -size 48x64 gradient:'#10e060-#600080' -rotate 90 -fill '#f0e000' "
                         "-draw 'polygon 10,40 30,4 50,40' PNG24:'" + (src / "b.fsk.png").string() + "'"),
              0);
    ASSERT_EQ(RunCommand("convert -size 64x48 radial-gradient:white-black PNG24:'" + (src / "m.fsk.png").string() + "'"),
              0);
    std::ofstream(src / "project.ini") << "[project]\ntitle = flips\nscreen = 64x48\nfull_screen = 64x48\n"
                                          "start_page = start.msb\nident_code = 0\nwrite_status_data = no\n";
    // Odd effects flip from picture A to B, even ones back; each flip clears the screen it left.
    std::ofstream(src / "start.mss")
        << "page version: 116; result: none\n"
           "VarNew name: id; type: int; value: 0; continue: yes\n"
           "ImgNew PR_NAME: \"a\"; PR_SOURCE: \"a.fsk\"; continue: yes\n"
           "Wait time: 30\n"
           "Label name: next; continue: yes\n"
           "Calc expr: id = id + 1; continue: yes\n"
           "If cond: id % 2 == 1; continue: yes\n"
           "  ImgNew PR_NAME: \"b\"; PR_PARENT: Chr(1); PR_SOURCE: \"b.fsk\"; continue: yes\n"
           "Else\n"
           "  ImgNew PR_NAME: \"a\"; PR_PARENT: Chr(1); PR_SOURCE: \"a.fsk\"; continue: yes\n"
           "Flip transition: id; duration: "
        << kDuration
        << "; clear: TRUE; text: \"m.fsk\"\n"
           "Wait time: 30\n"
           "Jump page: start.msb; target: next; cond: id < 38\n";
    ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobupack build '" + src.string() + "' '" +
                         (root_ / "game").string() + "'"),
              0);
    ASSERT_EQ(RunCommand(std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --seed 5 --tick-ms " +
                         std::to_string(kTick) + " --frames " + std::to_string(kFrames) + " --shot-every 1 --out '" +
                         (root_ / "shots").string() + "' '" + (root_ / "game").string() + "'"),
              0);
    const std::vector<uint32_t> a = Pixels(src / "a.fsk.png"), b = Pixels(src / "b.fsk.png");
    ASSERT_EQ(a.size(), 64u * 48u);
    ASSERT_EQ(b.size(), 64u * 48u);
    std::vector<std::vector<uint32_t>> shots;
    for (int frame = 1; frame <= kFrames; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        shots.push_back(Pixels(root_ / "shots" / name));
        ASSERT_EQ(shots.back().size(), a.size()) << name;
    }

    size_t at = 0;
    int compared = 0;
    for (int id = 1; id <= 38; ++id) {
        const bool a_to_b = id % 2 == 1;
        const std::vector<uint32_t>&from = a_to_b ? a : b, &to = a_to_b ? b : a;
        while (at < shots.size() && shots[at] == from) ++at;
        std::vector<size_t> mixed;
        for (; at < shots.size() && shots[at] != to; ++at) mixed.push_back(at);
        ASSERT_LT(at, shots.size()) << "effect " << id << " never reached its new picture";
        // The crack and the random blocks draw from the process random generator, which the
        // tool seeds afresh: their shots only have to be between the two pictures.
        if (id == 29 || id == 38 || mixed.empty()) continue;
        // Shot i of the flip is at position max(0, start + 15·i): the flip shows position 0 on
        // the frames before its clock starts. A start that matches every shot is looked for
        // (a first shot alone may match several positions, as a white plateau does).
        bool matched = false;
        const int count = static_cast<int>(mixed.size());
        for (int start = -kTick * count; start < kDuration && !matched; start += kTick) {
            matched = start + (count - 1) * kTick < kDuration;
            for (int i = 0; i < count && matched; ++i)
                matched = Tool(id, a_to_b, std::max(0, start + i * kTick)) == shots[mixed[static_cast<size_t>(i)]];
        }
        EXPECT_TRUE(matched) << "effect " << id << ": the shots of the flip are no run of the tool's positions";
        compared += matched ? static_cast<int>(mixed.size()) : 0;
    }
    EXPECT_GE(compared, 36 * 5);  // most effects show several mixed frames
}

}  // namespace
}  // namespace mobu
