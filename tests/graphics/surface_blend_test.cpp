// Blend results at the edges, computed by hand from the per-channel formulas:
//   alpha:  ((a·s + (255 − a)·d) >> 8) per channel (all four bytes of a 32-bit pixel)
//   add:    min(M, d + ((a·s >> 8) AND M))
//   sub:    max(0, d − c)
// with s = 0x00C86432 (200, 100, 50), d = 0x00102030 (16, 32, 48) or 0x00A0A0A0.
#include "graphics/dibx.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace mobu {
namespace {

constexpr uint32_t kSource = 0x00C86432;
constexpr uint32_t kDark = 0x00102030;
constexpr uint32_t kGrey = 0x00A0A0A0;

struct TBlendCase {
    std::string name;
    int bits;
    uint32_t source, destination, mask;
    std::function<void(TDIBX& dst, TDIBX& src, TDIBX& mask, const TRect& r)> draw;
    uint32_t expected;
};


std::vector<TBlendCase> Cases()
{
    auto alpha = [](int a) { return [a](TDIBX& d, TDIBX& s, TDIBX&, const TRect& r) { d.DrawAlpha(0, 0, s, r, true, false, false, a); }; };
    auto add = [](int a) { return [a](TDIBX& d, TDIBX& s, TDIBX&, const TRect& r) { d.DrawAdd(0, 0, s, r, false, false, false, a); }; };
    return {
        {"alpha 0 leaves", 32, kSource, kDark, 0, alpha(0), kDark},
        {"alpha 1", 32, kSource, kDark, 0, alpha(1), 0x0010202F},
        {"alpha 254", 32, kSource, kDark, 0, alpha(254), 0x00C66331},
        {"alpha 255 is not a copy", 32, kSource, kDark, 0, alpha(255), 0x00C76331},
        {"alpha blends the top byte too", 32, 0xFF000000, 0x00000000, 0, alpha(255), 0xFE000000},
        {"alpha of an equal pixel leaves it", 32, kSource, kSource, 0, alpha(128), kSource},
        {"alpha skips the key", 32, 0x00FF00FF, kDark, 0, alpha(128), kDark},
        {"alpha 16-bit", 16, 0xFFFF, 0x0000, 0, alpha(128), 0x7BEF},
        {"alpha 15-bit", 15, 0x7FFF, 0x0000, 0, alpha(128), 0x3DEF},
        {"add 255", 32, kSource, kGrey, 0, add(255), 0x00FFFFD1},
        {"add 128", 32, kSource, kGrey, 0, add(128), 0x00FFD2B9},
        {"add 0 leaves", 32, kSource, kGrey, 0, add(0), kGrey},
        {"add skips the key without being asked", 32, 0x00FF00FF, kGrey, 0, add(255), kGrey},
        {"add 16-bit saturates per channel", 16, 0xFFFF, 0x8410, 0, add(255), 0xFFFF},
        {"fill alpha 128", 32, 0, kDark, 0,
         [](TDIBX& d, TDIBX&, TDIBX&, const TRect& r) { d.FillRectAlpha(r, kSource, 128); }, 0x006B4130},
        {"fill alpha 0 leaves", 32, 0, kDark, 0,
         [](TDIBX& d, TDIBX&, TDIBX&, const TRect& r) { d.FillRectAlpha(r, kSource, 0); }, kDark},
        {"fill add", 32, 0, kGrey, 0, [](TDIBX& d, TDIBX&, TDIBX&, const TRect& r) { d.FillRectAdd(r, kSource); }, 0x00FFFFD2},
        {"fill sub", 32, 0, kGrey, 0, [](TDIBX& d, TDIBX&, TDIBX&, const TRect& r) { d.FillRectSub(r, kSource); }, 0x00003C6E},
        {"fill sub 16-bit", 16, 0, 0x8410, 0,
         [](TDIBX& d, TDIBX&, TDIBX&, const TRect& r) { d.FillRectSub(r, 0x0821); }, 0x7BEF},
        {"mask 0 skips", 32, kSource, kDark, 0,
         [](TDIBX& d, TDIBX& s, TDIBX& m, const TRect& r) { d.DrawMask(0, 0, s, r, false, false, m); }, kDark},
        {"mask 128", 32, kSource, kDark, 128,
         [](TDIBX& d, TDIBX& s, TDIBX& m, const TRect& r) { d.DrawMask(0, 0, s, r, false, false, m); }, 0x006B4130},
        {"mask 255 copies", 32, kSource, kDark, 255,
         [](TDIBX& d, TDIBX& s, TDIBX& m, const TRect& r) { d.DrawMask(0, 0, s, r, false, false, m); }, kSource},
        {"alpha mask", 32, kSource, kDark, 64,
         [](TDIBX& d, TDIBX& s, TDIBX& m, const TRect& r) { d.DrawAlphaMask(0, 0, s, r, false, false, m, 128); }, 0x00262830},
        {"add mask", 32, kSource, kGrey, 128,
         [](TDIBX& d, TDIBX& s, TDIBX& m, const TRect& r) { d.DrawAddMask(0, 0, s, r, false, false, m, 255); }, 0x00FFD1B8},
        {"colour mask", 32, 0, kDark, 128,
         [](TDIBX& d, TDIBX&, TDIBX& m, const TRect& r) { d.DrawColorMask(0, 0, m, r, false, false, kSource, 255); }, 0x006B4130},
        {"keyed copy skips the key", 32, 0x00FF00FF, kDark, 0,
         [](TDIBX& d, TDIBX& s, TDIBX&, const TRect& r) { d.Draw(0, 0, s, r, true, false, false); }, kDark},
        {"plain copy ignores the key", 32, 0x00FF00FF, kDark, 0,
         [](TDIBX& d, TDIBX& s, TDIBX&, const TRect& r) { d.Draw(0, 0, s, r, false, false, false); }, 0x00FF00FF},
        {"stretch alpha 255 is an exact copy", 32, kSource, kDark, 0,
         [](TDIBX& d, TDIBX& s, TDIBX&, const TRect& r) { d.StretchDrawAlpha(r, s, r, false, false, false, 255); }, kSource},
        {"rotate alpha 255 is an exact copy", 32, kSource, kDark, 0,
         [](TDIBX& d, TDIBX& s, TDIBX&, const TRect& r) { d.DrawRotate(0, 0, 256, 256, s, r, 0, 0, 0, false, false, false, 255); },
         kSource},
    };
}

TEST(SurfaceBlend, EdgeCasesMatchHandComputedValues)
{
    for (const TBlendCase& c : Cases()) {
        // Wide rows so that the packed kernels, not only the tails, meet the case.
        const int width = 19;
        TDIBX dst, src, mask;
        dst.SetSize(width, 2, c.bits);
        src.SetSize(width, 2, c.bits);
        mask.SetSize(width, 2, 8);
        dst.Clear(c.destination);
        src.Clear(c.source);
        mask.Clear(c.mask);
        src.TransparentColor = c.bits == 32 ? 0x00FF00FF : 0x1F;
        // The case covers the whole top row, so the packed kernels meet it, not only the tails.
        c.draw(dst, src, mask, TRect{0, 0, width, 1});
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(dst.GetPixel(x, 0), c.expected) << c.name << " at " << x;
            ASSERT_EQ(dst.GetPixel(x, 1), c.destination) << c.name << ": a pixel outside the rectangle changed";
        }
    }
}

}  // namespace
}  // namespace mobu
