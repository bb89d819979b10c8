// Transitions against pictures made by other tools (tests/data/graphics/wipes, written by
// make_wipe_oracles.sh): the blur phases over Pillow's BoxBlur, the circle over ImageMagick's
// `-draw circle`, the clock hand, fan and double fan over Pillow's pieslice. The tools place
// shape edges by their own pixel-centre rules (ImageMagick's circle sits half a pixel left of
// ours), so a shape may differ from ours only along its edge: wherever we differ, a
// neighbouring pixel agrees (ours with the tool's or the tool's with ours).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/graphics/wipe_test_scene.h"

namespace mobu {
namespace {

using namespace wipe_test;

std::vector<uint8_t> Oracle(const std::string& name)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/graphics/wipes/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Pixels where the scene's mask (new picture shown) differs from the oracle's shape, and
// how many of them lie more than a pixel from the other shape.
struct TShapeDiff {
    int differing = 0, off_edge = 0, inside = 0;
};

TShapeDiff CompareShape(TScene& scene, const std::vector<uint8_t>& shape, int w, int h)
{
    TShapeDiff diff;
    auto in = [&](int x, int y) { return shape[static_cast<size_t>(y * w + x)] >= 128; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            diff.inside += in(x, y);
            if (scene.IsNew(x, y) == in(x, y)) continue;
            EXPECT_TRUE(scene.IsNew(x, y) || scene.IsOld(x, y)) << x << "," << y;
            ++diff.differing;
            // Within one pixel of the tool's shape: a neighbour of the tool's pixel agrees with
            // ours, or a neighbour of ours with the tool's.
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || nx >= w || ny < 0 || ny >= h) continue;
                    if (in(nx, ny) == scene.IsNew(x, y) || scene.IsNew(nx, ny) == in(x, y)) near = true;
                }
            if (!near) ++diff.off_edge;
        }
    return diff;
}

TEST(WipeOracle, CircleAgainstImageMagick)
{
    // 40 × 30: radius round(25·p/1000), so positions 200, 400, 600 give radii 5, 10, 15.
    for (auto [position, radius] : {std::pair{200, 5}, std::pair{400, 10}, std::pair{600, 15}}) {
        const auto shape = Oracle("circle_" + std::to_string(radius) + ".gray");
        ASSERT_EQ(shape.size(), 40u * 30u);
        TScene scene(36, 40, 30, true);
        scene.StepAt(position);
        const TShapeDiff diff = CompareShape(scene, shape, 40, 30);
        EXPECT_GT(diff.inside, 50);
        EXPECT_EQ(diff.off_edge, 0) << "radius " << radius;
        EXPECT_LE(diff.differing, 2 * radius + 8) << "radius " << radius;  // one side of the rim
    }
}

TEST(WipeOracle, SlicesAgainstPillowPieslice)
{
    struct TCase {
        int id;
        const char* name;
        int position;
    };
    const TCase cases[] = {
        {31, "clock", 125}, {31, "clock", 250}, {31, "clock", 500}, {31, "clock", 700}, {34, "fan", 250},
        {34, "fan", 500},   {34, "fan", 800},   {35, "wfan", 250},  {35, "wfan", 500},  {35, "wfan", 800},
    };
    for (const TCase& c : cases) {
        const auto shape = Oracle(std::string("pie_") + c.name + "_" + std::to_string(c.position) + ".gray");
        ASSERT_EQ(shape.size(), 41u * 41u) << c.name;
        TScene scene(c.id, 41, 41, true);
        scene.StepAt(c.position);
        const TShapeDiff diff = CompareShape(scene, shape, 41, 41);
        EXPECT_GT(diff.inside, 100) << c.name << " " << c.position;
        EXPECT_EQ(diff.off_edge, 0) << c.name << " " << c.position;
        // Two straight edges of about 29 pixels each per slice.
        EXPECT_LE(diff.differing, c.id == 35 ? 120 : 60) << c.name << " " << c.position;
    }
}

// The blur transitions draw the picture over its blurred copy (and the blurred copy brightened
// or darkened); the blurred copies come from Pillow's BoxBlur here. Pillow rounds its box
// average where the transition's truncates, so a channel of the blurred copy may be one less
// (checked below), and only inside the picture: Pillow extends the edges where the box is cut
// at them here.
TEST(WipeOracle, BlurPhasesAgainstPillowBoxBlur)
{
    constexpr int w = 60, h = 40, radius = 2;
    const auto source = Oracle("blur_source.rgb"), blurred = Oracle("blur_r2.rgb");
    ASSERT_EQ(source.size(), size_t{w * h * 3});
    ASSERT_EQ(blurred.size(), size_t{w * h * 3});
    auto word = [](const std::vector<uint8_t>& rgb, int x, int y) {
        const size_t i = static_cast<size_t>(y * w + x) * 3;
        return uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2];
    };
    struct TCase {
        int id, position;  // of 639
    };
    const TCase cases[] = {{25, 0},   {25, 100}, {25, 255}, {25, 256}, {25, 300}, {25, 319}, {25, 320},
                           {25, 350}, {25, 383}, {25, 384}, {25, 500}, {25, 638}, {26, 128}, {26, 290},
                           {26, 330}, {26, 383}, {26, 600}};
    for (const TCase& c : cases) {
        TScene scene(c.id, w, h, false, false, 639);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // FROM is the source, TO the source upside down.
                scene.from.SetPixel(x, y, word(source, x, y));
                scene.to.SetPixel(x, y, word(source, x, h - 1 - y));
            }
        scene.target.Assign(scene.from);
        scene.wipe->Prepare();
        scene.StepAt(c.position);
        const int a = c.position;
        int worst = 0;
        for (int y = radius; y < h - radius; ++y)
            for (int x = radius; x < w - radius; ++x) {
                const uint32_t from = word(source, x, y), to = word(source, x, h - 1 - y);
                const uint32_t blurred_from = word(blurred, x, y), blurred_to = word(blurred, x, h - 1 - y);
                // Each phase as the transition composes it, DrawAlpha's rounding: (d·(255 − α) + s·α) >> 8.
                auto over = [](uint32_t d, uint32_t s, int alpha) {
                    uint32_t out = 0;
                    for (int shift = 0; shift < 24; shift += 8)
                        out |= ((((d >> shift) & 0xFF) * (255 - alpha) + ((s >> shift) & 0xFF) * alpha) >> 8) << shift;
                    return out;
                };
                auto level = [&](uint32_t p, int grey) { return c.id == 25 ? AddGrey(p, grey) : SubGrey(p, grey); };
                uint32_t expected;
                if (a < 256) expected = over(from, blurred_from, a);
                else if (a < 320) expected = level(blurred_from, (a - 256) * 4);
                else if (a < 384) expected = level(blurred_to, (383 - a) * 4);
                else expected = over(to, blurred_to, 639 - a);
                const uint32_t got = scene.At(x, y) & 0xFFFFFF;
                for (int shift = 0; shift < 24; shift += 8)
                    worst = std::max(worst, std::abs(static_cast<int>((got >> shift) & 0xFF) -
                                                     static_cast<int>((expected >> shift) & 0xFF)));
            }
        EXPECT_LE(worst, 1) << c.id << " at " << c.position;
    }
}

// The interior of our own blurred copy against Pillow's, channel by channel: the copy the
// phases above are built from. Our box average truncates, Pillow's rounds: each channel is
// Pillow's or one less.
TEST(WipeOracle, BlurredCopyAgainstPillowBoxBlur)
{
    constexpr int w = 60, h = 40, radius = 2;
    const auto source = Oracle("blur_source.rgb"), blurred = Oracle("blur_r2.rgb");
    ASSERT_EQ(source.size(), size_t{w * h * 3});
    TScene scene(25, w, h, false, false, 639);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y * w + x) * 3;
            scene.from.SetPixel(x, y, uint32_t{source[i]} << 16 | uint32_t{source[i + 1]} << 8 | source[i + 2]);
        }
    scene.target.Assign(scene.from);
    scene.wipe->Prepare();
    scene.StepAt(256);  // the blurred FROM, brightened by 0
    int same = 0, lower = 0;
    for (int y = radius; y < h - radius; ++y)
        for (int x = radius; x < w - radius; ++x) {
            const uint32_t got = scene.At(x, y);
            const size_t i = static_cast<size_t>(y * w + x) * 3;
            for (int c = 0; c < 3; ++c) {
                const int d = static_cast<int>((got >> (16 - 8 * c)) & 0xFF) - blurred[i + static_cast<size_t>(c)];
                EXPECT_TRUE(d == 0 || d == -1) << x << "," << y << " channel " << c << ": " << d;
                same += d == 0, lower += d == -1;
            }
        }
    EXPECT_GT(same, lower);  // truncating loses less than a half on average
}

}  // namespace
}  // namespace mobu
