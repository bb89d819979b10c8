// The packed row kernels against the scalar reference over random rows.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/dib_surface.h"
#include "graphics/kernels/pixel_kernels.h"
#include "graphics/kernels/resample_kernels.h"

using namespace mobu;
using namespace mobu::kernels;

namespace {

std::vector<const TPixelKernels*> PackedTables()
{
    std::vector<const TPixelKernels*> tables;
    if (const TPixelKernels* t = Sse2Kernels()) tables.push_back(t);
    if (const TPixelKernels* t = Avx2Kernels()) tables.push_back(t);
    return tables;
}

template <typename T>
std::vector<T> RandomRow(std::mt19937& random, size_t n, uint32_t mask)
{
    std::vector<T> row(n);
    for (T& v : row) v = static_cast<T>(random() & mask);
    // Runs of equal values so keys and alpha 0 / 255 stretches are met.
    for (size_t i = 1; i < n; ++i)
        if (random() % 4 == 0) row[i] = row[i - 1];
    return row;
}

std::vector<uint8_t> RandomAlpha(std::mt19937& random, size_t n)
{
    std::vector<uint8_t> a(n);
    const uint8_t edges[] = {0, 1, 127, 128, 254, 255};
    for (uint8_t& v : a) v = random() % 2 ? edges[random() % 6] : static_cast<uint8_t>(random());
    if (random() % 3 == 0) std::fill(a.begin(), a.end(), random() % 2 ? 0 : 255);
    return a;
}

const int kRounds = 400;

}  // namespace

TEST(PixelStoreSimd, ActiveTableIsTheWidest)
{
    const TPixelKernels& active = ActiveKernels();
    if (Avx2Kernels()) EXPECT_STREQ(active.Name, "avx2");
    else if (Sse2Kernels()) EXPECT_STREQ(active.Name, "sse2");
    else EXPECT_STREQ(active.Name, "scalar");
}

TEST(PixelStoreSimd, BlendsEqualScalar)
{
    const TPixelKernels& ref = ScalarKernels();
    for (const TPixelKernels* k : PackedTables()) {
        std::mt19937 random(1);
        for (int round = 0; round < kRounds; ++round) {
            size_t n = random() % 70;
            int alpha = round % 5 == 0 ? static_cast<int>(random() % 3) * 127 + 1 : static_cast<int>(random() % 256);
            auto s32 = RandomRow<uint32_t>(random, n, 0xFFFFFFFF), d32 = RandomRow<uint32_t>(random, n, 0xFFFFFFFF);
            int32_t key = n && random() % 2 ? static_cast<int32_t>(s32[random() % n]) : -1;
            auto e32 = d32;
            ref.Blend32Row(e32.data(), s32.data(), static_cast<int>(n), alpha, key);
            k->Blend32Row(d32.data(), s32.data(), static_cast<int>(n), alpha, key);
            ASSERT_EQ(d32, e32) << k->Name << " Blend32 round " << round;

            auto s16 = RandomRow<uint16_t>(random, n, 0xFFFF), d16 = RandomRow<uint16_t>(random, n, 0xFFFF);
            int32_t key16 = n && random() % 2 ? s16[random() % n] : -1;
            for (bool is565 : {false, true}) {
                auto e16 = d16, g16 = d16;
                ref.Blend16Row(e16.data(), s16.data(), static_cast<int>(n), alpha, key16, is565);
                k->Blend16Row(g16.data(), s16.data(), static_cast<int>(n), alpha, key16, is565);
                ASSERT_EQ(g16, e16) << k->Name << " Blend16 round " << round;
            }
            auto s24 = RandomRow<uint8_t>(random, 3 * n, 0xFF), d24 = RandomRow<uint8_t>(random, 3 * n, 0xFF);
            int32_t key24 = n && random() % 2 ? static_cast<int32_t>(s24[0] | s24[1] << 8 | s24[2] << 16) : -1;
            auto e24 = d24;
            ref.Blend24Row(e24.data(), s24.data(), static_cast<int>(n), alpha, key24);
            k->Blend24Row(d24.data(), s24.data(), static_cast<int>(n), alpha, key24);
            ASSERT_EQ(d24, e24) << k->Name << " Blend24 round " << round;
        }
    }
}

TEST(PixelStoreSimd, MaskedCopiesEqualScalar)
{
    const TPixelKernels& ref = ScalarKernels();
    for (const TPixelKernels* k : PackedTables()) {
        std::mt19937 random(2);
        for (int round = 0; round < kRounds; ++round) {
            size_t n = random() % 70;
            auto a = RandomAlpha(random, n);
            auto s32 = RandomRow<uint32_t>(random, n, 0xFFFFFFFF), d32 = RandomRow<uint32_t>(random, n, 0xFFFFFFFF);
            auto e32 = d32;
            ref.Masked32Row(e32.data(), s32.data(), a.data(), static_cast<int>(n));
            k->Masked32Row(d32.data(), s32.data(), a.data(), static_cast<int>(n));
            ASSERT_EQ(d32, e32) << k->Name << " Masked32 round " << round;
            auto s16 = RandomRow<uint16_t>(random, n, 0xFFFF), d16 = RandomRow<uint16_t>(random, n, 0xFFFF);
            for (bool is565 : {false, true}) {
                auto e16 = d16, g16 = d16;
                ref.Masked16Row(e16.data(), s16.data(), a.data(), static_cast<int>(n), is565);
                k->Masked16Row(g16.data(), s16.data(), a.data(), static_cast<int>(n), is565);
                ASSERT_EQ(g16, e16) << k->Name << " Masked16 round " << round;
            }
            auto s24 = RandomRow<uint8_t>(random, 3 * n, 0xFF), d24 = RandomRow<uint8_t>(random, 3 * n, 0xFF);
            auto e24 = d24;
            ref.Masked24Row(e24.data(), s24.data(), a.data(), static_cast<int>(n));
            k->Masked24Row(d24.data(), s24.data(), a.data(), static_cast<int>(n));
            ASSERT_EQ(d24, e24) << k->Name << " Masked24 round " << round;
        }
    }
}

TEST(PixelStoreSimd, ConversionsEqualScalar)
{
    const TPixelKernels& ref = ScalarKernels();
    for (const TPixelKernels* k : PackedTables()) {
        std::mt19937 random(3);
        for (int round = 0; round < kRounds; ++round) {
            size_t n = random() % 70;
            auto s16 = RandomRow<uint16_t>(random, n, 0xFFFF);
            for (bool is565 : {false, true})
                for (bool replicate : {false, true}) {
                    uint32_t top = random() % 2 ? 0xFF000000u : 0;
                    std::vector<uint32_t> e(n), g(n);
                    ref.Widen16To32Row(e.data(), s16.data(), static_cast<int>(n), is565, replicate, top);
                    k->Widen16To32Row(g.data(), s16.data(), static_cast<int>(n), is565, replicate, top);
                    ASSERT_EQ(g, e) << k->Name << " Widen round " << round;
                }
            auto s32 = RandomRow<uint32_t>(random, n, 0xFFFFFFFF);
            for (bool is565 : {false, true}) {
                std::vector<uint16_t> e(n), g(n);
                ref.Narrow32To16Row(e.data(), s32.data(), static_cast<int>(n), is565);
                k->Narrow32To16Row(g.data(), s32.data(), static_cast<int>(n), is565);
                ASSERT_EQ(g, e) << k->Name << " Narrow round " << round;
            }
            std::vector<uint8_t> e24(3 * n), g24(3 * n);
            ref.Pack32To24Row(e24.data(), s32.data(), static_cast<int>(n));
            k->Pack32To24Row(g24.data(), s32.data(), static_cast<int>(n));
            ASSERT_EQ(g24, e24) << k->Name << " Pack round " << round;
            std::vector<uint32_t> e32(n), g32(n);
            ref.Expand24To32Row(e32.data(), e24.data(), static_cast<int>(n), 0xFF000000u);
            k->Expand24To32Row(g32.data(), e24.data(), static_cast<int>(n), 0xFF000000u);
            ASSERT_EQ(g32, e32) << k->Name << " Expand round " << round;
        }
    }
}

TEST(PixelStoreSimd, BlurRowsEqualScalar)
{
    const TPixelKernels& ref = ScalarKernels();
    for (const TPixelKernels* k : PackedTables()) {
        std::mt19937 random(4);
        for (int round = 0; round < kRounds; ++round) {
            size_t n = random() % 70;
            uint32_t rows = 1 + random() % 255;
            std::vector<uint32_t> widths(n), sums(4 * n, 0), row(4 * n, 0);
            for (size_t i = 0; i < n; ++i) {
                widths[i] = 1 + random() % 255;
                for (size_t c = 0; c < 3; ++c) {
                    sums[4 * i + c] = static_cast<uint32_t>(random() % (255ull * widths[i] * rows + 1));
                    row[4 * i + c] = random() % 256;
                }
            }
            // The largest sums divide to 255 exactly; sums just below a multiple must not round up.
            if (n) sums[0] = 255 * widths[0] * rows, sums[1] = 7 * widths[0] * rows - 1;
            std::vector<uint32_t> e(n), g(n);
            ref.BlurDivideRow(e.data(), sums.data(), widths.data(), rows, static_cast<int>(n));
            k->BlurDivideRow(g.data(), sums.data(), widths.data(), rows, static_cast<int>(n));
            ASSERT_EQ(g, e) << k->Name << " Divide round " << round;
            auto es = sums, gs = sums;
            ref.BlurAddRow(es.data(), row.data(), static_cast<int>(n));
            k->BlurAddRow(gs.data(), row.data(), static_cast<int>(n));
            ref.BlurSubRow(es.data(), row.data(), static_cast<int>(n) / 2);
            k->BlurSubRow(gs.data(), row.data(), static_cast<int>(n) / 2);
            ASSERT_EQ(gs, es) << k->Name << " Add/Sub round " << round;
        }
    }
}

TEST(PixelStoreSimd, ResampleEqualsScalar)
{
    const TResampleKernels* packed = Sse2ResampleKernels();
    if (!packed) GTEST_SKIP();
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        int fw = 1 + static_cast<int>(random() % 40), fh = 1 + static_cast<int>(random() % 30);
        int tw = 1 + static_cast<int>(random() % 50), th = 1 + static_cast<int>(random() % 40);
        TDIBSurface from(fw, fh, 24), a(tw, th, 24), b(tw, th, 24);
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x) from.SetPixel(x, y, random() % 3 ? random() & 0xFFFFFF : 0x00FF00);
        int32_t key = round % 2 ? 0x00FF00 : -1;
        TResampleImage f{from.ScanLine(0), from.Pitch(), fw, fh};
        TResampleImage ta{a.ScanLine(0), a.Pitch(), tw, th}, tb{b.ScanLine(0), b.Pitch(), tw, th};
        ScalarResampleKernels().Bilinear(ta, f, key);
        packed->Bilinear(tb, f, key);
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) ASSERT_EQ(b.GetPixel(x, y), a.GetPixel(x, y)) << "bilinear " << round;
        ScalarResampleKernels().AreaAverage(ta, f, key);
        packed->AreaAverage(tb, f, key);
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) ASSERT_EQ(b.GetPixel(x, y), a.GetPixel(x, y)) << "area " << round;
    }
}

// Whole operations through the active table against the scalar formulas on random images.
TEST(PixelStoreSimd, WholeBlurMatchesScalarDivision)
{
    std::mt19937 random(6);
    for (int radius : {1, 2, 5, 40}) {
        TDIBSurface s(37, 23, 32);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) s.SetPixel(x, y, random() & 0xFFFFFF);
        TDIBSurface blurred = s;
        blurred.Blur(32, radius);
        for (int y = 0; y < 23; y += 5)
            for (int x = 0; x < 37; x += 3) {
                uint32_t sum[3] = {0, 0, 0}, n = 0;
                for (int j = std::max(0, y - radius); j <= std::min(22, y + radius); ++j)
                    for (int i = std::max(0, x - radius); i <= std::min(36, x + radius); ++i, ++n)
                        for (int c = 0; c < 3; ++c) sum[c] += (s.GetPixel(i, j) >> (8 * c)) & 0xFF;
                EXPECT_EQ(blurred.GetPixel(x, y), (sum[2] / n) << 16 | (sum[1] / n) << 8 | sum[0] / n) << radius;
            }
    }
}
