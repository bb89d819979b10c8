// The effects computed per pixel or drawn as shapes, against values worked out by hand from
// their formulas: the spotlight ring, the ripple front, the mask-picture fades over a
// gradient mask, the blur phases on solid pictures, the circle, the clock hand and the fans,
// the shrinking and growing picture (composed by hand with DrawRotate), the zoom windows,
// the twist and the chips.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "graphics/dibx.h"
#include "graphics/wipes/wipe_crack.h"
#include "graphics/wipes/wipe_mask_shapes.h"
#include "graphics/wipes/wipe_rings.h"
#include "graphics/wipes/wipe_shadows.h"
#include "graphics/wipes/wipe_table.h"
#include "tests/graphics/wipe_test_scene.h"

namespace mobu {
namespace {

using namespace wipe_test;

TEST(WipeSpot, RingPerPixel)
{
    // 20 × 10: R = hypot(5, 10) = 11.18, span round(R) + 512 = 523; duration 523: b = position.
    for (bool reverse : {false, true}) {
        for (int32_t b : {0, 3, 100, 300, 520}) {
            TScene scene(18, 20, 10, false, reverse, 523);
            scene.StepAt(b);
            for (int y = 0; y < 10; y += 3)
                for (int x = 0; x < 20; x += 4) {
                    int n = static_cast<int>(std::nearbyint(std::hypot(std::fabs(y - 5.0), std::fabs(x - 10.0))));
                    if (reverse) n = 11 - n;
                    uint32_t expected = kTo;
                    if (b < n) expected = kFrom;
                    else if (b < n + 256) expected = AddGrey(kFrom, b - n);
                    else if (b < n + 512) expected = AddGrey(kTo, n - b + 511);
                    EXPECT_EQ(scene.At(x, y), expected) << reverse << " b " << b << " at " << x << "," << y;
                }
        }
    }
}

TEST(WipeRipple, FrontPerPixel)
{
    // 30 × 24: cx 15, cy 12, N = 2·12/3 = 8, teeth of 2, A = 5: P = 0 2 0 2 0 2 0 2.
    TScene scene(24, 30, 24, true, false, 1000);
    auto& ripple = static_cast<TWipeRipple&>(*scene.wipe);
    EXPECT_EQ(ripple.RingWidth, 8);
    EXPECT_EQ(ripple.Profile, (std::vector<int32_t>{0, 2, 0, 2, 0, 2, 0, 2}));
    // front = position·(round(hypot(15, 12)) + 8) / 1000 = position·27/1000; at 500: 13.
    scene.StepAt(500);
    const int front = 13;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 15; ++x) {
            const double dx = x - 15, dy = y - 12, length = std::hypot(dx, dy);
            const int d = static_cast<int>(std::nearbyint(length));
            const int i = d + 7 - front;
            if (i > 7) {
                EXPECT_TRUE(scene.IsOld(x, y)) << x << "," << y;
                EXPECT_TRUE(scene.IsOld(29 - x, 23 - y)) << x << "," << y;
            } else if (i < 0) {
                EXPECT_TRUE(scene.IsNew(x, y)) << x << "," << y;
                EXPECT_TRUE(scene.IsNew(29 - x, y)) << x << "," << y;
            } else {
                const int64_t reach = d + ripple.Profile[static_cast<size_t>(i)];
                const int64_t cosine = std::llround(dx / length * 65536), sine = std::llround(dy / length * 65536);
                int64_t sx = 15 + ((reach * cosine) >> 16), sy = 12 + ((reach * sine) >> 16);
                if (sx < 0 || sx >= 30 || sy < 0 || sy >= 24) sx = x, sy = y;
                EXPECT_EQ(scene.At(x, y), scene.to.GetPixel(static_cast<int>(sx), static_cast<int>(sy))) << x << "," << y;
                EXPECT_EQ(scene.At(29 - x, y), scene.to.GetPixel(29 - static_cast<int>(sx), static_cast<int>(sy)));
            }
        }
}

// Odd sizes: the top-left quarter includes the middle row and column, and the other quarters
// are drawn as its mirror images one after another (the last one drawn wins the middle).
TEST(WipeRipple, OddSizesMirrorTheQuarterWithTheMiddle)
{
    constexpr int w = 31, h = 25, cx = w / 2, cy = h / 2;
    for (int32_t position : {200, 450, 700}) {
        TScene scene(24, w, h, true, false, 1000);
        auto& ripple = static_cast<TWipeRipple&>(*scene.wipe);
        scene.StepAt(position);
        const int64_t n = ripple.RingWidth;
        const int64_t front = position * (std::llround(std::hypot(cx, cy)) + n) / 1000;
        std::vector<uint32_t> expected(w * h);
        for (int y = 0; y < h - cy; ++y)
            for (int x = 0; x < w - cx; ++x) {
                const double dx = x - cx, dy = y - cy, length = std::sqrt(dx * dx + dy * dy);
                const int64_t d = static_cast<int64_t>(std::nearbyint(length));
                const int64_t i = d + (n - 1) - front;
                int sx = x, sy = y;
                bool displaced = false;
                if (i >= 0 && i <= n - 1) {
                    const int64_t cosine = length > 0 ? static_cast<int64_t>(std::nearbyint(dx / length * 65536)) : 0;
                    const int64_t sine = length > 0 ? static_cast<int64_t>(std::nearbyint(dy / length * 65536)) : 0;
                    const int64_t reach = d + ripple.Profile[static_cast<size_t>(i)];
                    const int64_t px = cx + ((reach * cosine) >> 16), py = cy + ((reach * sine) >> 16);
                    if (px >= 0 && px < w && py >= 0 && py < h) sx = static_cast<int>(px), sy = static_cast<int>(py);
                    displaced = true;
                }
                for (int mirror = 0; mirror < 4; ++mirror) {
                    const bool mx = mirror & 1, my = mirror & 2;
                    const int tx = mx ? w - 1 - x : x, ty = my ? h - 1 - y : y;
                    uint32_t pixel;
                    if (i > n - 1) pixel = scene.From(tx, ty);
                    else if (i < 0 || !displaced) pixel = scene.To(tx, ty);
                    else pixel = scene.To(mx ? w - 1 - sx : sx, my ? h - 1 - sy : sy);
                    expected[ty * w + tx] = pixel;
                }
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(scene.At(x, y), expected[y * w + x]) << position << " at " << x << "," << y;
    }
}

TEST(WipeRipple, SmallScreensHaveAFlatProfile)
{
    for (int side : {1, 2, 5, 11}) {
        TScene scene(24, side, side, true, false, 1000);
        auto& ripple = static_cast<TWipeRipple&>(*scene.wipe);
        for (int32_t value : ripple.Profile) EXPECT_EQ(value, 0);
        for (int32_t p : {0, 400, 999}) EXPECT_FALSE(scene.StepAt(p));
        // The middle column and row of an odd size take part too: near the end the centre is
        // new (a 2 × 2 screen has no centre pixel and a ring of no width).
        scene.StepAt(999);
        if (side % 2 == 1) {
            EXPECT_TRUE(scene.IsNew(side / 2, side / 2)) << side;
        }
    }
}

// A gradient mask picture: level 10·x + 50·y on a 5 × 3 tile.
bool GradientMask(const std::string& name, TWipeMaskPlane& levels)
{
    if (name != "grad") return false;
    levels.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) levels.Row(y)[x] = static_cast<uint8_t>(10 * x + 50 * y);
    return true;
}

TEST(WipeShadow, MaskFadePerPixel)
{
    SetWipeMaskLoader(GradientMask);
    for (bool reverse : {false, true})
        for (int32_t position : {0, 200, 300, 500, 999}) {
            TScene scene(19, 12, 7, false, reverse, 1000, {}, "grad");
            scene.StepAt(position);
            const int k = position * 512 / 1000;
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 12; ++x) {
                    int p = 10 * (x % 5) + 50 * (y % 3);
                    if (reverse) p = 255 - p;
                    const int m = std::clamp(k + p - 256, 0, 255);
                    const uint32_t expected = m == 0 ? kFrom : m == 255 ? kTo : Blend(kTo, kFrom, static_cast<uint32_t>(m));
                    EXPECT_EQ(scene.At(x, y), expected) << position << " " << x << "," << y;
                }
        }
    // Without a picture every level is 255: the whole screen starts turning after k = 1.
    TScene plain(19, 6, 4, false, false, 1000, {}, "missing");
    plain.StepAt(2);  // k = 1
    EXPECT_EQ(plain.At(0, 0), kFrom);
    plain.StepAt(4);  // k = 2
    EXPECT_EQ(plain.At(5, 3), Blend(kTo, kFrom, 1));
    SetWipeMaskLoader(nullptr);
}

TEST(WipeShadow, WhiteAndBlackPerPixel)
{
    SetWipeMaskLoader(GradientMask);
    for (int id : {20, 21})
        for (int32_t position : {0, 150, 333, 700, 999}) {
            TScene scene(id, 11, 5, false, false, 1000, {}, "grad");
            scene.StepAt(position);
            const int k = position * 768 / 1000 + 255;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 11; ++x) {
                    const int m = 10 * (x % 5) + 50 * (y % 3);
                    const int v = std::clamp(k + m - 511, 0, 511);
                    uint32_t expected;
                    if (id == 20) expected = v <= 255 ? AddGrey(kFrom, v) : AddGrey(kTo, 511 - v);
                    else expected = v <= 255 ? SubGrey(kFrom, v) : SubGrey(kTo, 511 - v);
                    EXPECT_EQ(scene.At(x, y), expected) << id << " " << position << " " << x << "," << y;
                }
        }
    SetWipeMaskLoader(nullptr);
}

TEST(WipeBlur, PhasesOnSolidPictures)
{
    // A solid picture blurs to itself, so the phases show their grey levels plainly.
    struct TCase {
        int id;
        int32_t position;  // of 639: a = position
        uint32_t expected;
    };
    const TCase cases[] = {
        {25, 0, kFrom},   {25, 200, kFrom},   {25, 260, AddGrey(kFrom, 16)}, {25, 319, AddGrey(kFrom, 252)},
        {25, 320, AddGrey(kTo, 252)},   {25, 383, kTo}, {25, 500, kTo},
        {26, 300, SubGrey(kFrom, 176)}, {26, 350, SubGrey(kTo, 132)},
    };
    for (const TCase& c : cases) {
        TScene scene(c.id, 40, 30, false, false, 639);
        scene.StepAt(c.position);
        EXPECT_EQ(scene.At(20, 15), c.expected) << c.id << " " << c.position;
    }
}

TEST(WipeCircle, GrowsFromTheCentre)
{
    // 40 × 30: radius round(hypot(20, 15)·position/1000) = round(25·0.4) = 10 at 400.
    TScene scene(36, 40, 30, true);
    scene.StepAt(400);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const double d = std::hypot(x - 20.0, y - 15.0);
            if (d < 9.5) {
                EXPECT_TRUE(scene.IsNew(x, y)) << x << "," << y;
            }
            if (d > 10.5) {
                EXPECT_TRUE(scene.IsOld(x, y)) << x << "," << y;
            }
        }
    TScene shrinking(36, 40, 30, true, true);
    shrinking.StepAt(600);  // radius 10 of the old picture
    EXPECT_TRUE(shrinking.IsOld(20, 15));
    EXPECT_TRUE(shrinking.IsNew(0, 0));
}

TEST(WipeClockhand, SweepsClockwiseFromTheTop)
{
    // θ0 = 2° − 90°. A quarter of the duration: the slice from just right of the top round to
    // just below the right.
    TScene scene(31, 41, 41, true);
    EXPECT_EQ(scene.wipe->GetParam(0), 2);
    scene.StepAt(250);
    EXPECT_TRUE(scene.IsNew(30, 10));   // upper right
    EXPECT_TRUE(scene.IsOld(10, 10));   // upper left
    EXPECT_TRUE(scene.IsOld(30, 30));   // lower right
    EXPECT_TRUE(scene.IsOld(10, 30));   // lower left
    TScene back(31, 41, 41, true, true);
    back.StepAt(250);
    EXPECT_TRUE(back.IsNew(10, 10));
    EXPECT_TRUE(back.IsOld(30, 10));
    scene.StepAt(0);
    EXPECT_TRUE(scene.IsOld(30, 10));
    scene.StepAt(999);
    EXPECT_TRUE(scene.IsNew(10, 10));
    EXPECT_TRUE(scene.IsNew(30, 30));
}

TEST(WipeFans, OpenAroundTheTop)
{
    TScene fan(34, 41, 41, true);
    fan.StepAt(500);  // half opening π/2 each side: the upper half
    EXPECT_TRUE(fan.IsNew(20, 5));
    EXPECT_TRUE(fan.IsNew(5, 15));
    EXPECT_TRUE(fan.IsNew(35, 15));
    EXPECT_TRUE(fan.IsOld(20, 35));
    TScene twin(35, 41, 41, true);
    twin.StepAt(500);  // π/4 each side of the top and of the bottom
    EXPECT_TRUE(twin.IsNew(20, 5));
    EXPECT_TRUE(twin.IsNew(20, 35));
    EXPECT_TRUE(twin.IsOld(5, 20));
    EXPECT_TRUE(twin.IsOld(35, 20));
}

// The slice filled row by row against the two cross products asked pixel by pixel, over
// slices of every size and direction (the row spans must give exactly the same pixels).
TEST(WipeFans, SliceSpansEqualThePerPixelTest)
{
    constexpr double pi = std::numbers::pi;
    for (int a = 0; a < 48; ++a)
        for (int b = 1; b <= 50; b += 7) {
            const double start = a * (2 * pi / 48) - pi, sweep = b * (2 * pi / 48);
            TWipeMaskPlane plane;
            plane.SetSize(41, 29);
            const double cx = 20, cy = 14, r = std::hypot(cx, cy);
            FillPieSlice(plane, cx, cy, r, start, sweep);
            const double sx = std::cos(start), sy = std::sin(start);
            const double ex = std::cos(start - sweep), ey = std::sin(start - sweep);
            for (int y = 0; y < 29; ++y)
                for (int x = 0; x < 41; ++x) {
                    const double dx = x - cx, dy = y - cy;
                    const double after_end = ex * dy - ey * dx, before_start = dx * sy - dy * sx;
                    // The circle's row span as the rasteriser takes it.
                    const double half = std::fabs(dy) <= r ? std::sqrt(r * r - dy * dy) : -1;
                    const bool in_circle = half >= 0 && x >= std::ceil(cx - half) && x <= std::floor(cx + half);
                    const bool inside = in_circle &&
                                        (sweep >= 2 * pi || (dx == 0 && dy == 0) ||
                                         (sweep <= pi ? after_end >= 0 && before_start >= 0
                                                      : after_end >= 0 || before_start >= 0));
                    ASSERT_EQ(plane.Row(y)[x] == 255, inside) << a << " " << b << " at " << x << "," << y;
                }
        }
}

TEST(WipeSmallBig, DrawRotateComposedByHand)
{
    for (int id : {22, 23})
        for (bool reverse : {false, true})
            for (int32_t position : {0, 250, 700}) {
                TScene scene(id, 24, 16, true, reverse, 1000, {{0, 64}});
                scene.StepAt(position);
                TDIBX expected;
                expected.SetSize(24, 16, 32);
                const double p = position, d = 1000;
                int zoom, angle;
                if (id == 22) {
                    expected.Assign(scene.to);
                    zoom = static_cast<int>(std::nearbyint((d - p - 1) / d * 255));
                    angle = static_cast<int>(std::nearbyint(64 * p / d));
                } else {
                    expected.Assign(scene.from);
                    zoom = static_cast<int>(std::nearbyint(p / d * 255));
                    angle = static_cast<int>(std::nearbyint(64 * (d - p - 1) / d));
                }
                TDIBX& drawn = id == 22 ? scene.from : scene.to;
                expected.DrawRotate(12, 8, zoom, zoom, drawn, drawn.SurfaceRect(), 12, 8, reverse ? -angle : angle,
                                    false, false, false, 255);
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 24; ++x)
                        ASSERT_EQ(scene.At(x, y), expected.GetPixel(x, y)) << id << " " << position << " " << x << "," << y;
            }
}

TEST(WipeZoomin, WindowsOfTheTwoHalves)
{
    // 40 × 20, point (30, 4). Position 250: c = 0.5, a 20 × 10 window of the old picture centred
    // at ((30 − 20)·0.5 + 20, (4 − 10)·0.5 + 10) = (25, 7), so from (15, 2).
    TScene scene(30, 40, 20, true, false, 1000, {{0, 30}, {1, 4}});
    scene.StepAt(250);
    TDIBX expected;
    expected.SetSize(40, 20, 32);
    expected.StretchDrawAlpha(expected.SurfaceRect(), scene.from, TRect{15, 2, 35, 12}, false, false, false, 255);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(scene.At(x, y), expected.GetPixel(x, y)) << x << "," << y;
    // Position 0: the whole old picture; 900: c = 1.8, a 32 × 16 window of the new picture
    // centred at (10·0.2 + 20, −6·0.2 + 10) = (22, 8.8): left 6, top floor(0.8) = 0.
    scene.StepAt(0);
    EXPECT_TRUE(scene.IsOld(39, 19));
    scene.StepAt(900);
    expected.StretchDrawAlpha(expected.SurfaceRect(), scene.to, TRect{6, 0, 38, 16}, false, false, false, 255);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(scene.At(x, y), expected.GetPixel(x, y)) << x << "," << y;
}

TEST(WipeTwist, RowsTurnInOrder)
{
    TScene scene(27, 16, 8, true);
    scene.StepAt(0);  // row 0 at angle 0 (whole old row), the rest untouched
    for (int x = 0; x < 16; ++x) EXPECT_TRUE(scene.IsOld(x, 0));
    scene.StepAt(999);  // φ ≈ 3π/2: every row past π shows the new picture
    for (int y = 0; y < 8; ++y) EXPECT_TRUE(scene.IsNew(5, y)) << y;
    // Position 333: φ = π/2 − ε: row 0 edge-on (black), row 4 at π/4 squeezed to round(cos·16) = 11.
    scene.StepAt(333);
    EXPECT_EQ(scene.At(8, 0), 0u);
    const double e = 333 * (3 * std::numbers::pi / 2) / 1000 - 4.0 / 8 * (std::numbers::pi / 2);
    const int squeezed = static_cast<int>(std::nearbyint(std::cos(e) * 16));
    EXPECT_EQ(scene.At((16 - squeezed) / 2 - 1, 4), 0u);
    EXPECT_EQ(scene.At(0, 4), 0u);
    EXPECT_NE(scene.At(8, 4), 0u);
}

// Both twists against the lines composed by hand from the surface operations: per line, the
// new line once past π, else black with the line stretched (nearest neighbour) into the middle
// |cos e| of its length.
TEST(WipeTwist, LinesComposedByHandFromTheSurfaceOperations)
{
    // 300 columns: the column twist draws bands of columns, more than one here.
    for (int id : {27, 28})
        for (int width : {37, 300})
            for (bool reverse : {false, true})
                for (int32_t position : {0, 90, 333, 500, 640, 777, 999}) {
                    TScene scene(id, width, 23, true, reverse);
                    scene.StepAt(position);
                    TDIBX expected;
                    expected.SetSize(width, 23, 32);
                    expected.Assign(scene.from);
                    const bool columns = id == 28;
                    const int lines = columns ? width : 23, length = columns ? 23 : width;
                    const double phi = position * (3 * std::numbers::pi / 2) / 1000;
                    auto rect = [columns](int line, int a, int b) {
                        return columns ? TRect{line, a, line + 1, b} : TRect{a, line, b, line + 1};
                    };
                    for (int k = 0; k < lines; ++k) {
                        const int line = reverse ? lines - 1 - k : k;
                        const double e = phi - (static_cast<double>(k) / lines) * (std::numbers::pi / 2);
                        if (e < 0) continue;
                        const TRect whole = rect(line, 0, length);
                        if (e >= std::numbers::pi) {
                            expected.Draw(whole.Left, whole.Top, scene.to, whole, false, false, false);
                            continue;
                        }
                        expected.FillRect(whole, 0);
                        const double cosine = std::cos(e);
                        const auto squeezed = static_cast<int>(std::nearbyint(std::fabs(cosine) * length));
                        if (squeezed <= 0 || cosine == 0) continue;
                        const int start = (length - squeezed) / 2;
                        expected.StretchDrawAlpha(rect(line, start, start + squeezed), cosine > 0 ? scene.from : scene.to,
                                                  whole, false, false, false, 255);
                    }
                    for (int y = 0; y < 23; ++y)
                        for (int x = 0; x < width; ++x)
                            ASSERT_EQ(scene.At(x, y), expected.GetPixel(x, y))
                                << id << " " << reverse << " " << position << " at " << x << "," << y;
                }
}

TEST(WipeCrack, ChipsStartAtHomeAndFallAway)
{
    TScene scene(29, 40, 32, true, false, 1000);
    auto& crack = static_cast<TWipeCrack&>(*scene.wipe);
    EXPECT_EQ(crack.GetParam(0), 64);
    ASSERT_EQ(crack.Chips.size(), 1u);  // one chip of 64 covers 40 × 32
    crack.SetParam(0, 3);
    EXPECT_EQ(crack.GetParam(0), 16);
    ASSERT_EQ(crack.Chips.size(), 6u);  // 3 × 2 chips of 16
    crack.SetParam(1, -4);
    EXPECT_EQ(crack.GetParam(1), 0);
    crack.SetParam(1, 10);
    EXPECT_EQ(crack.LastStart, 50);
    EXPECT_EQ(TWipeCrack::Drop(crack.FallTime) >= 32, true);
    EXPECT_LT(TWipeCrack::Drop(crack.FallTime - 1), 32);
    scene.StepAt(0);  // every chip at home: the old picture
    for (int y = 0; y < 32; y += 5)
        for (int x = 0; x < 40; x += 5) EXPECT_TRUE(scene.IsOld(x, y)) << x << "," << y;
    scene.StepAt(999);  // all fallen but the last chip, which is still below row 29
    for (int y = 0; y < 29; y += 4)
        for (int x = 0; x < 40; x += 5) EXPECT_TRUE(scene.IsNew(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace mobu
