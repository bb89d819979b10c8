// Every packed kernel against the scalar reference over random rows of every length up to a
// few vectors, so that each tail length and each alignment is met.
#include "graphics/kernels/surface_kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace mobu::kernels {
namespace {

constexpr size_t kMaxLength = 70;

struct TRows {
    std::vector<uint32_t> src32, dst32;
    std::vector<uint16_t> src16, dst16;
    std::vector<uint8_t> mask;
    std::vector<int32_t> offsets;
};

// Random rows with plenty of the values that take special paths: equal source and
// destination, keyed pixels, masks of 0 and 255, saturating channels.
TRows RandomRows(std::mt19937& random, uint32_t key32, uint16_t key16)
{
    TRows rows;
    std::uniform_int_distribution<uint32_t> any;
    for (size_t i = 0; i < kMaxLength + 3; ++i) {
        uint32_t kind = any(random) % 8;
        uint32_t s = any(random), d = any(random);
        if (kind == 0) d = s;
        if (kind == 1) s = key32;
        if (kind == 2) s |= 0xF0F0F0F0u;
        rows.src32.push_back(s);
        rows.dst32.push_back(d);
        uint16_t s16 = static_cast<uint16_t>(s), d16 = static_cast<uint16_t>(d);
        if (kind == 0) d16 = s16;
        if (kind == 1) s16 = key16;
        rows.src16.push_back(s16);
        rows.dst16.push_back(d16);
        uint32_t m = any(random) % 4;
        rows.mask.push_back(m == 0 ? 0 : m == 1 ? 255 : static_cast<uint8_t>(any(random)));
        rows.offsets.push_back(static_cast<int32_t>(any(random) % (kMaxLength + 3)));
    }
    return rows;
}

const char* LevelName(TKernelLevel level)
{
    return level == TKernelLevel::Scalar ? "Scalar" : level == TKernelLevel::Sse2 ? "Sse2" : "Avx2";
}

// Each packed level against the scalar reference. KernelsAt and ForceKernelLevel fall back to
// the best level the processor has, so a level it lacks is skipped by name instead of
// silently testing a lower one.
class KernelLevels : public ::testing::TestWithParam<TKernelLevel> {
protected:
    void SetUp() override
    {
        if (static_cast<int>(GetParam()) > static_cast<int>(BestKernelLevel()))
            GTEST_SKIP() << LevelName(GetParam()) << " is not supported by this processor";
    }
};

TEST_P(KernelLevels, EqualScalarOverRandomRows)
{
    const TKernelTable& fast = KernelsAt(GetParam());
    const TKernelTable& ref = KernelsAt(TKernelLevel::Scalar);
    ASSERT_NE(&fast, &ref) << LevelName(GetParam()) << " fell back to the scalar table";
    std::mt19937 random(1234);
    const uint32_t alphas[] = {0, 1, 2, 127, 128, 254, 255};
    const uint32_t amounts[] = {0, 1, 128, 255, 256, 77, 200};
    for (int round = 0; round < 12; ++round) {
        const uint32_t key32 = 0x00FF00FFu + round;
        const uint16_t key16 = static_cast<uint16_t>(0xF81F + round);
        for (size_t n = 0; n <= kMaxLength; ++n) {
            TRows rows = RandomRows(random, key32, key16);
            uint32_t alpha = alphas[(n + round) % 7];
            uint32_t colour = rows.src32[n];
            int64_t key = (round % 3 == 0) ? kNoKey : key32;
            int64_t key_16 = (round % 3 == 0) ? kNoKey : key16;
            const TFormat16& format = (round % 2) ? kFormat565 : kFormat555;
            // Start one pixel in, so vectors straddle every alignment.
            auto check32 = [&](const char* what, auto run) {
                std::vector<uint32_t> a = rows.dst32, b = rows.dst32;
                run(ref, a.data() + 1);
                run(fast, b.data() + 1);
                ASSERT_EQ(a, b) << what << " n=" << n << " alpha=" << alpha;
            };
            auto check16 = [&](const char* what, auto run) {
                std::vector<uint16_t> a = rows.dst16, b = rows.dst16;
                run(ref, a.data() + 1);
                run(fast, b.data() + 1);
                ASSERT_EQ(a, b) << what << " n=" << n << " alpha=" << alpha;
            };
            const uint32_t* s32 = rows.src32.data() + 1;
            const uint16_t* s16 = rows.src16.data() + 1;
            const uint8_t* m = rows.mask.data() + 1;
            check32("alpha32", [&](auto& k, uint32_t* d) { k.alpha32(d, s32, n, alpha, key); });
            check32("add32", [&](auto& k, uint32_t* d) { k.add32(d, s32, n, amounts[(n + round) % 7], key); });
            check32("mask32", [&](auto& k, uint32_t* d) { k.mask32(d, s32, m, n); });
            check32("alpha_mask32", [&](auto& k, uint32_t* d) { k.alpha_mask32(d, s32, m, n, alpha); });
            check32("add_mask32", [&](auto& k, uint32_t* d) { k.add_mask32(d, s32, m, n, amounts[(n + round) % 7]); });
            check32("keyed32", [&](auto& k, uint32_t* d) { k.keyed32(d, s32, n, key); });
            check32("fill_alpha32", [&](auto& k, uint32_t* d) { k.fill_alpha32(d, n, colour, alpha); });
            check32("fill_add32", [&](auto& k, uint32_t* d) { k.fill_add32(d, n, colour); });
            check32("fill_sub32", [&](auto& k, uint32_t* d) { k.fill_sub32(d, n, colour); });
            check32("colour_mask32", [&](auto& k, uint32_t* d) { k.colour_mask32(d, m, n, colour, alpha); });
            check32("colour_mask32 full", [&](auto& k, uint32_t* d) { k.colour_mask32(d, m, n, colour, 300); });
            check32("gather32", [&](auto& k, uint32_t* d) { k.gather32(d, rows.src32.data(), rows.src32.size(), rows.offsets.data(), n); });
            // Enlarging tables (ascending and flipped) take the window path of the packed gather.
            std::vector<int32_t> up(n), down(n);
            for (size_t i = 0; i < n; ++i) {
                up[i] = static_cast<int32_t>((i * 43690) >> 16);
                down[i] = static_cast<int32_t>(kMaxLength - up[i]);
            }
            check32("gather32 up", [&](auto& k, uint32_t* d) { k.gather32(d, rows.src32.data(), rows.src32.size(), up.data(), n); });
            check32("gather32 down", [&](auto& k, uint32_t* d) { k.gather32(d, rows.src32.data(), kMaxLength + 1, down.data(), n); });
            check32("widen", [&](auto& k, uint32_t* d) { k.widen16to32(d, s16, n, format); });

            uint16_t c16 = static_cast<uint16_t>(colour);
            check16("alpha16", [&](auto& k, uint16_t* d) { k.alpha16(d, s16, n, alpha, key_16, format); });
            check16("add16", [&](auto& k, uint16_t* d) { k.add16(d, s16, n, amounts[(n + round) % 7], key_16, format); });
            check16("mask16", [&](auto& k, uint16_t* d) { k.mask16(d, s16, m, n, format); });
            check16("alpha_mask16", [&](auto& k, uint16_t* d) { k.alpha_mask16(d, s16, m, n, alpha, format); });
            check16("add_mask16", [&](auto& k, uint16_t* d) { k.add_mask16(d, s16, m, n, amounts[(n + round) % 7], format); });
            check16("keyed16", [&](auto& k, uint16_t* d) { k.keyed16(d, s16, n, key_16); });
            check16("fill_alpha16", [&](auto& k, uint16_t* d) { k.fill_alpha16(d, n, c16, alpha, format); });
            check16("fill_add16", [&](auto& k, uint16_t* d) { k.fill_add16(d, n, c16, format); });
            check16("fill_sub16", [&](auto& k, uint16_t* d) { k.fill_sub16(d, n, c16, format); });
            check16("colour_mask16", [&](auto& k, uint16_t* d) { k.colour_mask16(d, m, n, c16, alpha, format); });
            check16("gather16", [&](auto& k, uint16_t* d) { k.gather16(d, rows.src16.data(), rows.src16.size(), rows.offsets.data(), n); });
            check16("narrow", [&](auto& k, uint16_t* d) { k.narrow32to16(d, s32, n, format); });
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, KernelLevels, ::testing::Values(TKernelLevel::Sse2, TKernelLevel::Avx2),
                         [](const auto& info) { return std::string(LevelName(info.param)); });

// Only Avx2 has a packed rotate sampler; the other levels use the scalar one itself.
TEST(RotateSampler, Avx2EqualsScalar)
{
    if (BestKernelLevel() != TKernelLevel::Avx2) GTEST_SKIP() << "Avx2 is not supported by this processor";
    ASSERT_EQ(ForceKernelLevel(TKernelLevel::Avx2), TKernelLevel::Avx2);
    // A 40 x 30 source stored bottom-up (negative pitch), sampled along slanted rows.
    std::vector<uint32_t> image(40 * 30);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint32_t>(i * 2654435761u);
    const uint8_t* base = reinterpret_cast<const uint8_t*>(image.data() + 29 * 40);
    for (int flips = 0; flips < 4; ++flips) {
        TRotateSpan span{base, -160, 2 * 65536 + 123, 3 * 65536 + 7, 30000, 15000,
                         (flips & 1) ? 39 : -1, (flips & 2) ? 29 : -1};
        for (size_t n = 0; n <= 40; ++n) {
            std::vector<uint32_t> a(n), b(n);
            RotateGather32Scalar(a.data(), span, n);
            RotateGather32(b.data(), span, n);
            EXPECT_EQ(a, b) << "n=" << n << " flips=" << flips;
        }
    }
    ForceKernelLevel(BestKernelLevel());
}

TEST(KernelLevels, ProcessorCheckFindsAtLeastSse2)
{
    EXPECT_GE(static_cast<int>(BestKernelLevel()), static_cast<int>(TKernelLevel::Sse2));
}

}  // namespace
}  // namespace mobu::kernels
