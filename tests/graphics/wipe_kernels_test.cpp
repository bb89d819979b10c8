// The transitions' packed row kernels against the scalar reference, over random rows of every
// length up to a few vectors and every shift and start distance that changes the result; and
// the scalar reference against the per-channel arithmetic written out here.
#include "graphics/kernels/wipe_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/graphics/wipe_test_scene.h"

namespace mobu::kernels {
namespace {

constexpr size_t kMaxLength = 70;

struct TRows {
    std::vector<uint32_t> from, to;
    std::vector<uint8_t> levels;
    std::vector<int32_t> starts;
};

TRows RandomRows(std::mt19937& random)
{
    TRows rows;
    std::uniform_int_distribution<uint32_t> any;
    for (size_t i = 0; i < kMaxLength; ++i) {
        const uint32_t kind = any(random) % 4;
        rows.from.push_back(kind == 0 ? 0xFFFFFFFFu : any(random));
        rows.to.push_back(kind == 1 ? 0u : any(random));
        rows.levels.push_back(kind == 2 ? 0 : kind == 3 ? 255 : static_cast<uint8_t>(any(random)));
        rows.starts.push_back(static_cast<int32_t>(any(random) % 1400) - 200);
    }
    return rows;
}

class WipeKernelLevels : public ::testing::TestWithParam<TKernelLevel> {
protected:
    void SetUp() override
    {
        if (static_cast<int>(GetParam()) > static_cast<int>(BestKernelLevel()))
            GTEST_SKIP() << "the processor lacks this instruction set";
    }
    const TWipeKernels& Packed() const { return WipeKernelsAt(GetParam()); }
};

TEST_P(WipeKernelLevels, SameAsScalar)
{
    const TWipeKernels& scalar = kScalarWipeKernels;
    const TWipeKernels& packed = Packed();
    std::mt19937 random(15);
    for (int round = 0; round < 40; ++round) {
        const TRows rows = RandomRows(random);
        for (size_t n = 0; n <= kMaxLength; ++n) {
            std::vector<uint32_t> expected(n + 1, 0x12345678u), got(n + 1, 0x12345678u);
            std::vector<uint8_t> expected8(n + 1, 7), got8(n + 1, 7);
            scalar.select32(expected.data(), rows.from.data(), rows.to.data(), rows.levels.data(), n);
            packed.select32(got.data(), rows.from.data(), rows.to.data(), rows.levels.data(), n);
            ASSERT_EQ(got, expected) << "select, " << n;
            scalar.blend32(expected.data(), rows.from.data(), rows.to.data(), rows.levels.data(), n);
            packed.blend32(got.data(), rows.from.data(), rows.to.data(), rows.levels.data(), n);
            ASSERT_EQ(got, expected) << "blend, " << n;
            for (int shift : {-256, -255, -200, -1, 0, 1, 77, 255, 256}) {
                scalar.shift_levels8(expected8.data(), rows.levels.data(), n, shift);
                packed.shift_levels8(got8.data(), rows.levels.data(), n, shift);
                ASSERT_EQ(got8, expected8) << "levels, " << n << ", " << shift;
            }
            for (int shift : {-512, -300, -256, -255, -1, 0, 1, 128, 255, 256, 300, 511, 512})
                for (bool subtract : {false, true}) {
                    scalar.through_grey32(expected.data(), rows.from.data(), rows.to.data(), rows.levels.data(), n,
                                          shift, subtract);
                    packed.through_grey32(got.data(), rows.from.data(), rows.to.data(), rows.levels.data(), n, shift,
                                          subtract);
                    ASSERT_EQ(got, expected) << "grey, " << n << ", " << shift << ", " << subtract;
                }
            for (int32_t base : {-(1 << 30), -300, 0, 100, 255, 256, 600, 1000, 1 << 30}) {
                scalar.through_white_starts32(expected.data(), rows.from.data(), rows.to.data(), rows.starts.data(), n,
                                              base);
                packed.through_white_starts32(got.data(), rows.from.data(), rows.to.data(), rows.starts.data(), n,
                                              base);
                ASSERT_EQ(got, expected) << "starts, " << n << ", " << base;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, WipeKernelLevels, ::testing::Values(TKernelLevel::Sse2, TKernelLevel::Avx2),
                         [](const auto& info) { return info.param == TKernelLevel::Sse2 ? "Sse2" : "Avx2"; });

// The reference itself, pixel by pixel, against the saturating grey of the transition tests.
TEST(WipeKernelsScalar, ThroughGreyIsOldPlusVThenNewPlus511MinusV)
{
    const uint32_t from = 0x80C86432u, to = 0x40102030u;
    for (int level : {0, 1, 100, 254, 255})
        for (int shift : {-512, -256, -10, 0, 10, 200, 256, 400, 512}) {
            const uint8_t l = static_cast<uint8_t>(level);
            uint32_t white = 0, black = 0;
            kScalarWipeKernels.through_grey32(&white, &from, &to, &l, 1, shift, false);
            kScalarWipeKernels.through_grey32(&black, &from, &to, &l, 1, shift, true);
            const int v = std::clamp(level + shift, 0, 511);
            const uint32_t pixel = v <= 255 ? from : to;
            const int g = v <= 255 ? v : 511 - v;
            EXPECT_EQ(white, (pixel & 0xFF000000u) | wipe_test::AddGrey(pixel, g)) << level << " " << shift;
            EXPECT_EQ(black, (pixel & 0xFF000000u) | wipe_test::SubGrey(pixel, g)) << level << " " << shift;
        }
    const uint8_t mask[3] = {0, 1, 255};
    const uint32_t olds[3] = {1, 2, 3}, news[3] = {4, 5, 6};
    uint32_t out[3];
    kScalarWipeKernels.select32(out, olds, news, mask, 3);
    EXPECT_EQ(out[0], 1u);
    EXPECT_EQ(out[1], 5u);
    EXPECT_EQ(out[2], 6u);
}

// The one-pass blend against what it replaces: the old row copied, then the new row drawn over
// it through the mask by the surface kernels, and against the per-byte blend of the tests.
TEST(WipeKernelsScalar, BlendIsOldRowWithNewRowMaskedOver)
{
    std::mt19937 random(8);
    for (int round = 0; round < 20; ++round) {
        const TRows rows = RandomRows(random);
        std::vector<uint32_t> expected = rows.from, got(kMaxLength);
        Kernels().mask32(expected.data(), rows.to.data(), rows.levels.data(), kMaxLength);
        kScalarWipeKernels.blend32(got.data(), rows.from.data(), rows.to.data(), rows.levels.data(), kMaxLength);
        ASSERT_EQ(got, expected);
        for (size_t i = 0; i < kMaxLength; ++i) {
            const uint32_t m = rows.levels[i];
            const uint32_t pixel = m == 0 ? rows.from[i] : m == 255 ? rows.to[i] : wipe_test::Blend(rows.to[i], rows.from[i], m);
            ASSERT_EQ(got[i], pixel) << i;
        }
    }
}

}  // namespace
}  // namespace mobu::kernels
