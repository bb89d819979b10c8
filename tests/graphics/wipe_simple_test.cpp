// The transition table, the factory's parameter clamps and the effects that mix whole
// pictures, scroll, stretch or switch mask cells. Expected pixels are computed by hand from
// the effects' formulas on small pictures whose pixel values name their column (or are
// solid colours), with the blend ((m·s + (255 − m)·d) >> 8 per byte) for partial levels.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "expr/script_random.h"
#include "graphics/dibx.h"
#include "graphics/wipes/wipe_mask_blocks.h"
#include "graphics/wipes/wipe_table.h"
#include "tests/graphics/wipe_test_scene.h"

namespace mobu {
namespace {

using namespace wipe_test;

TEST(WipeTable, IdsNamesAndDefaults)
{
    auto kinds = WipeKinds();
    ASSERT_EQ(kinds.size(), 39u);
    std::set<std::string> names;
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(kinds[i].Id, static_cast<int>(i));
        names.insert(kinds[i].Name);
    }
    EXPECT_EQ(names.size(), 39u);
    EXPECT_EQ(FindWipeKindByName("wp_blindh"), &kinds[2]);
    EXPECT_EQ(FindWipeKindByName("WP_BLOCKRANDOM"), &kinds[38]);
    EXPECT_EQ(FindWipeKindByName("WP_BLIND"), nullptr);
    EXPECT_EQ(kinds[29].Param0, 64);
    EXPECT_EQ(kinds[29].Param1, 3);
    EXPECT_EQ(FindWipeKind(39), nullptr);
    EXPECT_EQ(FindWipeKind(-1), nullptr);
    ASSERT_EQ(FlipModes().size(), 2u);
    EXPECT_EQ(FlipModes()[1].Value, FL_STAY);
}

TEST(WipeFactory, NoTransitionForNoneAndUnknownIds)
{
    TDIBX t, f, n;
    EXPECT_EQ(CreateWipe(0, &t, &f, &n), nullptr);
    EXPECT_EQ(CreateWipe(39, &t, &f, &n), nullptr);
    EXPECT_EQ(CreateWipe(255, &t, &f, &n), nullptr);
    EXPECT_EQ(CreateWipe(-3, &t, &f, &n), nullptr);
}

TEST(WipeFactory, ParamClamps)
{
    struct TCase {
        int id;
        int index, value, kept;
    };
    const TCase cases[] = {
        {2, 0, 1, 2},    {2, 1, 0, 1},   {3, 0, -5, 2},  {8, 1, -1, 1},  {11, 0, 0, 2},
        {4, 0, 0, 1},    {4, 1, -7, 1},  {5, 0, 1, 1},   {4, 0, 5, 5},   {1, 0, -9, -9},
        {37, 0, 0, 2},   {38, 1, 0, 1},
    };
    for (const TCase& c : cases) {
        TScene scene(c.id, 8, 8, false);
        ASSERT_TRUE(scene.wipe) << c.id;
        scene.wipe->SetParam(c.index, c.value);
        EXPECT_EQ(scene.wipe->GetParam(c.index), c.kept) << "id " << c.id << " param " << c.index;
    }
    // The table's defaults arrive through the clamps.
    TScene blind(2, 8, 8, false);
    EXPECT_EQ(blind.wipe->GetParam(0), 20);
    EXPECT_EQ(blind.wipe->GetParam(1), 1);
    TScene coil(37, 8, 8, false);
    EXPECT_EQ(coil.wipe->GetParam(1), 1);  // table default 0, raised to 1
}

// Every effect the factory builds: finished at and after the duration without drawing, and
// at once for a duration below 1; nothing but finished for surfaces that do not match.
TEST(WipeCommon, FinishedStepsDoNotDraw)
{
    for (const TWipeKind& kind : WipeKinds()) {
        TScene scene(kind.Id, 8, 8, false);
        if (!scene.wipe) continue;
        scene.target.Clear(0x00ABCDEF);
        EXPECT_TRUE(scene.StepAt(1000)) << kind.Name;
        EXPECT_TRUE(scene.StepAt(INT32_MAX)) << kind.Name;
        scene.wipe->Duration = 0;
        EXPECT_TRUE(scene.StepAt(0)) << kind.Name;
        EXPECT_EQ(scene.At(3, 3), 0x00ABCDEFu) << kind.Name;
        TScene odd(kind.Id, 8, 8, false);
        odd.to.SetSize(8, 7, 32);
        EXPECT_TRUE(odd.StepAt(10)) << kind.Name;
    }
}

// Huge durations and positions, and negative positions: no overflow, pictures stay inside.
TEST(WipeCommon, LongDurationsAndNegativePositions)
{
    for (const TWipeKind& kind : WipeKinds()) {
        for (int32_t position : {INT32_MIN, -1, 0, INT32_MAX / 2, INT32_MAX - 1}) {
            TScene scene(kind.Id, 9, 7, true, false, INT32_MAX);
            if (!scene.wipe) continue;
            EXPECT_FALSE(scene.StepAt(position)) << kind.Name << " " << position;
        }
    }
    TScene fade(1, 4, 4, false, false, INT32_MAX);
    fade.StepAt(INT32_MAX - 1);
    EXPECT_EQ(fade.At(0, 0), Blend(kTo, kFrom, 255));
    TScene early(1, 4, 4, false);
    early.StepAt(-50);
    EXPECT_EQ(early.At(0, 0), kFrom);
}

TEST(WipeFade, AlphaIsPositionTimes256OverDuration)
{
    for (int32_t p : {0, 1, 3, 500, 996, 999}) {
        TScene scene(1, 4, 4, false);
        scene.StepAt(p);
        const int alpha = std::min(255, p * 256 / 1000);
        EXPECT_EQ(scene.At(2, 1), alpha == 0 ? kFrom : Blend(kTo, kFrom, static_cast<uint32_t>(alpha))) << p;
    }
}

TEST(WipeFade, SlidesInFromTheParamOffset)
{
    // c = (1000 - 500 - 1) / 1000 = 0.499: offset (round(0.499·4), round(0.499·-4)) = (2, -2).
    TScene scene(1, 6, 6, true, false, 1000, {{0, 4}, {1, -4}});
    scene.StepAt(500);
    EXPECT_EQ(scene.At(1, 1), scene.From(1, 1));
    EXPECT_EQ(scene.At(2, 3), Blend(scene.To(0, 5), scene.From(2, 3), 128));
    EXPECT_EQ(scene.At(5, 0), Blend(scene.To(3, 2), scene.From(5, 0), 128));
}

TEST(WipeWhiteBlackFlash, LevelsAtThePhaseBoundaries)
{
    struct TCase {
        int id;
        int32_t position;
        std::function<uint32_t()> expected;
    };
    const TCase cases[] = {
        {12, 0, [] { return kFrom; }},
        {12, 250, [] { return AddGrey(kFrom, 250 * 511 / 1000); }},
        {12, 500, [] { return 0x00FFFFFFu; }},
        {12, 501, [] { return 0x00FFFFFFu; }},
        {12, 800, [] { return AddGrey(kTo, 511 - 800 * 511 / 1000); }},
        {12, 999, [] { return AddGrey(kTo, 1); }},
        {13, 500, [] { return 0x00000000u; }},
        {13, 300, [] { return SubGrey(kFrom, 153); }},
        {13, 999, [] { return SubGrey(kTo, 1); }},
        {14, 0, [] { return 0x00FFFFFFu; }},
        {14, 500, [] { return AddGrey(kTo, 255 - 127); }},
        {14, 999, [] { return AddGrey(kTo, 1); }},
    };
    for (const TCase& c : cases) {
        TScene scene(c.id, 5, 3, false);
        scene.StepAt(c.position);
        EXPECT_EQ(scene.At(4, 2), c.expected()) << c.id << " at " << c.position;
    }
}

TEST(WipeScroll, NewPicturePushesTheOldOneOut)
{
    // W = 8, position 250 of 1000: a = 2.
    TScene left(6, 8, 2, true);
    left.StepAt(250);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(left.At(x, 1), x < 6 ? left.From(x + 2, 1) : left.To(x - 6, 1)) << x;
    TScene right(6, 8, 2, true, true, 1000);
    right.StepAt(250);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(right.At(x, 0), x >= 2 ? right.From(x - 2, 0) : right.To(x + 6, 0)) << x;
    TScene up(7, 2, 8, true);
    up.StepAt(625);  // a = 5
    for (int y = 0; y < 8; ++y) EXPECT_EQ(up.At(1, y), y < 3 ? up.From(1, y + 5) : up.To(1, y - 3)) << y;
}

// Columns of a mask transition that show the new picture (true) after one step.
std::vector<bool> NewColumns(TScene& scene, int32_t position)
{
    scene.StepAt(position);
    std::vector<bool> out;
    for (int x = 0; x < scene.target.Width(); ++x) out.push_back(scene.At(x, 0) == scene.To(x, 0));
    return out;
}

TEST(WipeBlind, StartColumnsAndRows)
{
    // BlindH, Param 0 = 4, Param 1 = 1, duration 7: L = (1 + 8 - 2)·3/7 = 3; starts 2·(x mod 4).
    TScene h(2, 10, 2, true, false, 7, {{0, 4}});
    EXPECT_EQ(NewColumns(h, 3), (std::vector<bool>{1, 1, 0, 0, 1, 1, 0, 0, 1, 1}));
    EXPECT_TRUE(h.wipe && static_cast<TWipeMask&>(*h.wipe).Binary);
    TScene hr(2, 10, 2, true, true, 7, {{0, 4}});
    EXPECT_EQ(NewColumns(hr, 3), (std::vector<bool>{0, 0, 1, 1, 0, 0, 1, 1, 0, 0}));
    // BlindV, Param 0 = 3, Param 1 = 4, duration 8, position 3: L = 3; row y starts 2y, so
    // rows 0, 1, 2 take 3·255/4 = 191, 1·255/4 = 63 and 0, repeating every 3 rows.
    TScene v(3, 3, 7, true, false, 8, {{0, 3}, {1, 4}});
    v.StepAt(3);
    const uint32_t levels[] = {191, 63, 0};
    for (int y = 0; y < 7; ++y) {
        const uint32_t level = levels[y % 3];  // 0 leaves the old pixel as it is
        EXPECT_EQ(v.At(2, y), level == 0 ? v.From(2, y) : Blend(v.To(2, y), v.From(2, y), level)) << y;
    }
    EXPECT_FALSE(static_cast<TWipeMask&>(*v.wipe).Binary);
}

TEST(WipeBlind, HugeSlatHeightIsCutToTheScreen)
{
    TScene v(3, 4, 5, true, false, 1000, {{0, INT32_MAX}});
    EXPECT_EQ(static_cast<TWipeMask&>(*v.wipe).MaskHeight(), 5);
    v.StepAt(500);  // L = (1 + 2^32 - 4)·500/1000, beyond every row's start
    EXPECT_EQ(v.At(0, 4), v.To(0, 4));
}

TEST(WipeMask, UnchangedLevelDoesNotRedraw)
{
    TScene h(2, 10, 2, true, false, 7, {{0, 4}});
    h.StepAt(3);
    h.target.Clear(0x00777777);
    h.wipe->Position = 3;
    EXPECT_FALSE(h.wipe->Step());
    EXPECT_EQ(h.At(0, 0), 0x00777777u);
    h.StepAt(6);  // L = 6: redrawn
    EXPECT_EQ(h.At(0, 0), h.To(0, 0));
}

TEST(WipeCurtain, StartColumns)
{
    // W = 7, Param 0 = 3: groups 3; L = ((3 + 3 - 2)·16 + 1)·17/65 = 17; starts
    // 16·(x div 3 + x mod 3) = 0 16 32 16 32 48 32.
    TScene h(4, 7, 1, true, false, 65, {{0, 3}});
    EXPECT_EQ(NewColumns(h, 17), (std::vector<bool>{1, 1, 0, 1, 0, 0, 0}));
    TScene hr(4, 7, 1, true, true, 65, {{0, 3}});
    EXPECT_EQ(NewColumns(hr, 17), (std::vector<bool>{0, 0, 0, 1, 0, 1, 1}));
    TScene v(5, 1, 7, true, false, 65, {{0, 3}});
    v.StepAt(17);
    for (int y = 0; y < 7; ++y) EXPECT_EQ(v.At(0, y) == v.To(0, y), y == 0 || y == 1 || y == 3) << y;
}

TEST(WipeGrid, CellsGrowFromTheirCentres)
{
    // 8 × 8, cells of 4 (2 × 2), Param 1 = 8, duration 8, position 4: L = (8 + d - 4)·4/8.
    // Grid: d = 4·round(hypot(1, 1)) = 4, L = 4; cell (0, 0) starts at 0: side 4·4/8 = 2 at
    // (1, 1), level 4·255/8 = 127; the others start at 4 (side 0).
    TScene grid(8, 8, 8, true, false, 8, {{0, 4}, {1, 8}});
    grid.StepAt(4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool in = x >= 1 && x < 3 && y >= 1 && y < 3;
            EXPECT_EQ(grid.At(x, y), in ? Blend(grid.To(x, y), grid.From(x, y), 127) : grid.From(x, y)) << x << "," << y;
        }
    // GridH: d = 4·2 = 8, L = (8 + 8 - 4)·4/8 = 6; column j starts at 4j: column 0 side 3
    // (centred at offset 0), level 6·255/8 = 191; column 1 side 4·2/8 = 1 at offset 1, level 63.
    TScene gh(9, 8, 8, true, false, 8, {{0, 4}, {1, 8}});
    gh.StepAt(4);
    EXPECT_EQ(gh.At(0, 0), Blend(gh.To(0, 0), gh.From(0, 0), 191));
    EXPECT_EQ(gh.At(2, 6), Blend(gh.To(2, 6), gh.From(2, 6), 191));
    EXPECT_EQ(gh.At(3, 3), gh.From(3, 3));
    EXPECT_EQ(gh.At(5, 5), Blend(gh.To(5, 5), gh.From(5, 5), 63));
    EXPECT_EQ(gh.At(5, 4), gh.From(5, 4));
    // GridV reversed: the bottom row of cells first.
    TScene gv(10, 8, 8, true, true, 8, {{0, 4}, {1, 1}});
    gv.StepAt(4);  // L = (1 + 8 - 4)·4/8 = 2: the bottom cell row (start 0) is done, the top one waits
    EXPECT_EQ(gv.At(0, 7), gv.To(0, 7));
    EXPECT_EQ(gv.At(0, 0), gv.From(0, 0));
}

// The pick sequence of the archive's generator, worked out with a plain list.
std::vector<int> PickSequence(uint32_t increment, int count)
{
    std::vector<int> pool;
    for (int i = 0; i < count; ++i) pool.push_back(i);
    std::vector<int> out;
    uint32_t s = 0;
    while (!pool.empty()) {
        s = s * 5u + increment;
        const size_t index = s % pool.size();
        out.push_back(pool[index]);
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return out;
}

TEST(WipeDither, TileFollowsThePickSequence)
{
    const std::vector<int> order = PickSequence(12341, 4096);
    EXPECT_EQ(TWipeDither::CellOrder(), order);
    for (int32_t position : {1, 500, 2047, 2048, 2100, 4095}) {
        TScene scene(11, 70, 66, true, false, 4096);  // n = position
        scene.StepAt(position);
        std::set<int> turned(order.begin(), order.begin() + position);
        for (int y : {0, 17, 63, 64, 65})
            for (int x : {0, 5, 63, 64, 69}) {
                const int cell = (x % 64) + 64 * (y % 64);
                EXPECT_EQ(scene.At(x, y) == scene.To(x, y), turned.count(cell) == 1) << position << " " << x << "," << y;
            }
    }
}

TEST(WipeBlocks, CoilOrderAndSingleBlock)
{
    TScene coil(37, 30, 30, true, false, 8, {{0, 10}});
    const auto& order = static_cast<TWipeBlockCoil&>(*coil.wipe).Order;
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 5, 8, 7, 6, 3, 4}));
    coil.StepAt(3);  // n = 8·3/8 = 3: blocks 0, 1, 2 and 5
    for (int b = 0; b < 9; ++b) {
        const int x = (b % 3) * 10 + 4, y = (b / 3) * 10 + 9;
        EXPECT_EQ(coil.At(x, y) == coil.To(x, y), b == 0 || b == 1 || b == 2 || b == 5) << b;
    }
    TScene wide(37, 40, 20, true, false, 8, {{0, 10}});
    EXPECT_EQ(static_cast<TWipeBlockCoil&>(*wide.wipe).Order, (std::vector<int>{0, 1, 2, 3, 7, 6, 5, 4}));
    // One block: nothing until the switch at the end.
    TScene one(37, 5, 5, true, false, 8, {{0, 10}});
    EXPECT_FALSE(one.StepAt(7));
    EXPECT_EQ(one.At(2, 2), one.From(2, 2));
}

TEST(WipeBlocks, RandomOrderIsAPermutationThatRepeatsWithTheSeed)
{
    SeedScriptRandom(77);
    TScene a(38, 50, 30, true, false, 1000, {{0, 10}});
    SeedScriptRandom(77);
    TScene b(38, 50, 30, true, false, 1000, {{0, 10}});
    const auto& order = static_cast<TWipeBlockCoil&>(*a.wipe).Order;
    EXPECT_EQ(order, static_cast<TWipeBlockCoil&>(*b.wipe).Order);
    EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), 15u);
    EXPECT_EQ(*std::max_element(order.begin(), order.end()), 14);
}

TEST(WipeMosaic, SolidPicturesThroughThePhases)
{
    struct TCase {
        int32_t position;  // of 1023: b = position
        std::function<uint32_t()> expected;
    };
    const TCase cases[] = {
        {0, [] { return kFrom; }},
        {300, [] { return Blend(kTo, kFrom, (300 - 256) / 4); }},
        {600, [] { return Blend(kTo, kFrom, (600 - 256) / 2); }},
        {800, [] { return kTo; }},
    };
    for (const TCase& c : cases) {
        TScene scene(15, 16, 12, false, false, 1023);
        scene.StepAt(c.position);
        EXPECT_EQ(scene.At(7, 5), c.expected()) << c.position;
        EXPECT_EQ(scene.At(15, 11), c.expected()) << c.position;
    }
}

TEST(WipeSudare, OneColumnStretchedOverTheColumnsBefore)
{
    // W = 4, duration 7: a = 7·position/7 = position.
    TScene s(16, 4, 2, true, false, 7);
    s.StepAt(1);
    EXPECT_EQ(s.At(0, 1), s.From(1, 1));
    EXPECT_EQ(s.At(1, 1), s.From(1, 1));
    EXPECT_EQ(s.At(2, 1), s.From(2, 1));
    EXPECT_EQ(s.At(3, 1), s.From(3, 1));
    s.StepAt(5);  // new picture, a = 8 - 5 - 1 = 2
    for (int x = 0; x < 3; ++x) EXPECT_EQ(s.At(x, 0), s.To(2, 0)) << x;
    EXPECT_EQ(s.At(3, 0), s.To(3, 0));
    TScene r(16, 4, 2, true, true, 7);
    r.StepAt(1);  // column 2 over 2..3, columns 0 and 1 copied
    EXPECT_EQ(r.At(0, 0), r.From(0, 0));
    EXPECT_EQ(r.At(1, 0), r.From(1, 0));
    EXPECT_EQ(r.At(2, 0), r.From(2, 0));
    EXPECT_EQ(r.At(3, 0), r.From(2, 0));
    TScene v(17, 2, 4, true, false, 7);
    v.StepAt(1);
    EXPECT_EQ(v.At(1, 0), v.From(1, 1));
    EXPECT_EQ(v.At(1, 3), v.From(1, 3));
}

TEST(WipeRubber, StripWidthFollowsTheDistanceFromTheMidpoint)
{
    // W = 16, duration 4, position 1: a = 31/4 = 7, w = round(|1 - 2|·(8/2)/2) = 2: columns
    // 6 and 7 are stretched over 0..7.
    TScene r(32, 16, 1, true, false, 4);
    r.StepAt(1);
    EXPECT_EQ(r.At(0, 0), r.From(6, 0));
    EXPECT_EQ(r.At(7, 0), r.From(7, 0));
    EXPECT_EQ(r.At(8, 0), r.From(8, 0));
    std::set<uint32_t> seen;
    for (int x = 0; x < 8; ++x) seen.insert(r.At(x, 0));
    EXPECT_EQ(seen, (std::set<uint32_t>{r.From(6, 0), r.From(7, 0)}));
    // A duration of 1 draws its single state (half the duration is 0.5, not 0).
    TScene one(33, 3, 5, true, false, 1);
    EXPECT_FALSE(one.StepAt(0));
    EXPECT_EQ(one.At(1, 0), one.From(1, 0));
}

}  // namespace
}  // namespace mobu
