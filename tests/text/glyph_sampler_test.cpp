// The outline sampler on hand-made outlines: each pixel's count of covered sample centres
// against a direct count, for rectangles with overlaps (nonzero winding), holes (opposite
// winding) and parts outside the box, and for circles of cubic and of quadratic arcs.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "text/glyph_sampler.h"

namespace mobu {
namespace {

// A rectangle in 26.6 pixel units, y up; `clockwise` gives the opposite winding.
struct TRect {
    long x0, y0, x1, y1;
    bool clockwise;
};

struct TSamplerCase {
    const char* name;
    std::vector<TRect> rects;
    int factor;
};

TEST(GlyphSampler, CountsSampleCentresInsideRectangleOutlines)
{
    // The box is pixels [0, 3) x [0, 3) with its top at y = 3 (26.6: 192).
    const TSamplerCase cases[] = {
        {"one rectangle off the sample grid", {{19, 5, 109, 150, false}}, 8},
        {"two overlapping rectangles count once", {{10, 10, 130, 130, false}, {70, 70, 180, 180, false}}, 8},
        {"a hole of opposite winding", {{0, 0, 192, 192, false}, {40, 40, 150, 150, true}}, 4},
        {"a hole of the same winding fills", {{0, 0, 192, 192, false}, {40, 40, 150, 150, false}}, 4},
        {"a rectangle past the box is clipped", {{-50, -30, 100, 400, false}}, 2},
        {"an edge exactly on sample centres", {{4, 4, 68, 100, false}}, 8},
    };
    for (const TSamplerCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<FT_Vector> points;
        std::vector<char> tags;
        std::vector<short> ends;
        for (const TRect& r : c.rects) {
            std::array<FT_Vector, 4> corners = {{{r.x0, r.y0}, {r.x1, r.y0}, {r.x1, r.y1}, {r.x0, r.y1}}};
            if (r.clockwise) std::swap(corners[1], corners[3]);
            for (const FT_Vector& p : corners) {
                points.push_back(p);
                tags.push_back(FT_CURVE_TAG_ON);
            }
            ends.push_back(static_cast<short>(points.size() - 1));
        }
        FT_Outline outline{};
        outline.n_points = static_cast<short>(points.size());
        outline.n_contours = static_cast<short>(ends.size());
        outline.points = points.data();
        outline.tags = tags.data();
        outline.contours = ends.data();

        std::array<uint8_t, 65> identity{};
        for (int i = 0; i < 65; ++i) identity[i] = static_cast<uint8_t>(i);
        std::vector<uint8_t> counts(9, 0xEE);
        TGlyphSampler sampler;
        ASSERT_TRUE(sampler.Sample(outline, 0, 3, 3, 3, c.factor, identity, counts.data()));

        const int f = c.factor;
        for (int py = 0; py < 3; ++py) {
            for (int px = 0; px < 3; ++px) {
                int expected = 0;
                for (int j = 0; j < f; ++j) {
                    for (int i = 0; i < f; ++i) {
                        // Sample centre in 26.6 units (y up from the box bottom).
                        const double x = (px + (i + 0.5) / f) * 64, y = (3 - py - (j + 0.5) / f) * 64;
                        int winding = 0;
                        for (const TRect& r : c.rects)
                            if (x >= r.x0 && x < r.x1 && y > r.y0 && y <= r.y1) winding += r.clockwise ? -1 : 1;
                        expected += winding != 0;
                    }
                }
                EXPECT_EQ(counts[static_cast<size_t>(py) * 3 + px], expected) << "pixel " << px << "," << py;
            }
        }
    }
}

TEST(GlyphSampler, CubicAndQuadraticCurvesMatchAFinelyFlattenedCount)
{
    // A circle of radius 77 / 64 pixels around the middle of a 3 x 3 box, once of four cubic
    // arcs and once of eight quadratic ones, against a point-in-polygon count over the same
    // arcs cut into 4096 lines each.
    const double cx = 96, cy = 96, r = 77;
    for (const bool cubic : {true, false}) {
        SCOPED_TRACE(cubic ? "cubic" : "quadratic");
        std::vector<FT_Vector> points;
        std::vector<char> tags;
        std::vector<std::vector<double>> polygon;  // x, y pairs of the flattened arcs
        const int arcs = cubic ? 4 : 8;
        const double step = 2 * std::numbers::pi / arcs;
        auto at = [&](double angle, double radius) {
            return FT_Vector{std::lround(cx + radius * std::cos(angle)), std::lround(cy + radius * std::sin(angle))};
        };
        for (int a = 0; a < arcs; ++a) {
            const double from = a * step, to = from + step;
            const FT_Vector p0 = at(from, r), p1 = at(to, r);
            points.push_back(p0);
            tags.push_back(FT_CURVE_TAG_ON);
            std::vector<FT_Vector> controls;
            if (cubic) {
                const double k = 4.0 / 3 * std::tan(step / 4) * r;
                controls.push_back({std::lround(p0.x - k * std::sin(from)), std::lround(p0.y + k * std::cos(from))});
                controls.push_back({std::lround(p1.x + k * std::sin(to)), std::lround(p1.y - k * std::cos(to))});
            } else {
                controls.push_back(at(from + step / 2, r / std::cos(step / 2)));
            }
            for (const FT_Vector& c : controls) {
                points.push_back(c);
                tags.push_back(cubic ? FT_CURVE_TAG_CUBIC : FT_CURVE_TAG_CONIC);
            }
            for (int i = 0; i < 4096; ++i) {
                const double t = i / 4096.0, u = 1 - t;
                double x, y;
                if (cubic) {
                    x = u * u * u * p0.x + 3 * u * u * t * controls[0].x + 3 * u * t * t * controls[1].x + t * t * t * p1.x;
                    y = u * u * u * p0.y + 3 * u * u * t * controls[0].y + 3 * u * t * t * controls[1].y + t * t * t * p1.y;
                } else {
                    x = u * u * p0.x + 2 * u * t * controls[0].x + t * t * p1.x;
                    y = u * u * p0.y + 2 * u * t * controls[0].y + t * t * p1.y;
                }
                polygon.push_back({x, y});
            }
        }
        short end = static_cast<short>(points.size() - 1);
        FT_Outline outline{};
        outline.n_points = static_cast<short>(points.size());
        outline.n_contours = 1;
        outline.points = points.data();
        outline.tags = tags.data();
        outline.contours = &end;

        std::array<uint8_t, 65> identity{};
        for (int i = 0; i < 65; ++i) identity[i] = static_cast<uint8_t>(i);
        std::vector<uint8_t> counts(9, 0xEE);
        TGlyphSampler sampler;
        ASSERT_TRUE(sampler.Sample(outline, 0, 3, 3, 3, 8, identity, counts.data()));
        for (int py = 0; py < 3; ++py) {
            for (int px = 0; px < 3; ++px) {
                int expected = 0;
                for (int j = 0; j < 8; ++j) {
                    for (int i = 0; i < 8; ++i) {
                        const double x = (px + (i + 0.5) / 8) * 64, y = (3 - py - (j + 0.5) / 8) * 64;
                        int winding = 0;
                        for (size_t k = 0; k < polygon.size(); ++k) {
                            const auto& a = polygon[k];
                            const auto& b = polygon[(k + 1) % polygon.size()];
                            if ((a[1] <= y) == (b[1] <= y)) continue;
                            if (a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1]) > x) winding += b[1] > a[1] ? 1 : -1;
                        }
                        expected += winding != 0;
                    }
                }
                EXPECT_EQ(counts[static_cast<size_t>(py) * 3 + px], expected) << "pixel " << px << "," << py;
            }
        }
    }
}

}  // namespace
}  // namespace mobu
