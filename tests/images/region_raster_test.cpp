// Region coverage against masks ImageMagick drew for the same shapes
// (tests/data/images/make_region_fixtures.py). The edge may differ by one pixel: the two
// rasterizers break ties on pixel centres differently.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "components/map_region.h"

namespace mobu {
namespace {

struct TReferenceCase {
    std::string name;
    int width = 0;
    int height = 0;
    TMapRegion region;
};

std::string FixtureDir() { return std::string(MOBU_SOURCE_DIR) + "/tests/data/images/regions/"; }

std::vector<TReferenceCase> ReadCases()
{
    std::ifstream file(FixtureDir() + "cases.txt");
    std::vector<TReferenceCase> cases;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        TReferenceCase c;
        std::string shape;
        fields >> c.name >> c.width >> c.height >> shape;
        std::vector<int32_t> numbers;
        int32_t n;
        while (fields >> n) numbers.push_back(n);
        if (shape == "ellipse") {
            c.region.Shape = TRegionShape::Ellipse;
            c.region.Box = TRect{numbers[0], numbers[1], numbers[2] + 1, numbers[3] + 1};
        } else {
            c.region.Shape = TRegionShape::Polygon;
            for (size_t i = 0; i + 1 < numbers.size(); i += 2) c.region.Points.push_back({numbers[i], numbers[i + 1]});
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(RegionRaster, MatchesImageMagickWithinOnePixelOfTheEdge)
{
    const auto cases = ReadCases();
    ASSERT_EQ(cases.size(), 10u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string reference = ReadBytes(FixtureDir() + c.name + ".gray");
        ASSERT_EQ(reference.size(), static_cast<size_t>(c.width * c.height));
        auto theirs = [&](int x, int y) {
            if (x < 0 || y < 0 || x >= c.width || y >= c.height) return 0;
            return static_cast<uint8_t>(reference[static_cast<size_t>(y * c.width + x)]) > 127 ? 255 : 0;
        };
        TDIBSurface mask(c.width, c.height, 8);
        PaintRegion(mask, c.region, 0, 0, 255);
        int covered = 0, differing = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const int ours = mask.ScanLine(y)[x];
                EXPECT_EQ(ours != 0, c.region.Contains(x, y)) << x << "," << y;
                covered += ours != 0;
                if (ours == theirs(x, y)) continue;
                ++differing;
                bool near_edge = false;
                for (int dy = -1; dy <= 1 && !near_edge; ++dy)
                    for (int dx = -1; dx <= 1 && !near_edge; ++dx) near_edge = theirs(x + dx, y + dy) == ours;
                EXPECT_TRUE(near_edge) << "pixel " << x << "," << y << " is more than one pixel off";
            }
        }
        EXPECT_GT(covered, 0);
        EXPECT_LE(differing, covered / 4 + 4) << "only edge pixels may differ";
    }
}

TEST(RegionRaster, RectangleIsItsBoxAndWindingLeavesReversedHoles)
{
    TMapRegion box;
    box.Box = TRect{2, 3, 6, 5};
    EXPECT_TRUE(box.Contains(2, 3));
    EXPECT_TRUE(box.Contains(5, 4));
    EXPECT_FALSE(box.Contains(6, 4));
    EXPECT_FALSE(box.Contains(3, 5));

    // An outer square clockwise and an inner one counter-clockwise: winding 0 inside.
    TMapRegion ring;
    ring.Shape = TRegionShape::Polygon;
    ring.Points = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}, {5, 5}, {5, 15}, {15, 15}, {15, 5}, {5, 5}};
    EXPECT_TRUE(ring.Contains(2, 10));
    EXPECT_FALSE(ring.Contains(10, 10));
    // The inner square in the same direction: winding 2, filled.
    ring.Points = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}, {5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}};
    EXPECT_TRUE(ring.Contains(10, 10));
}

TEST(RegionRaster, DegenerateAndHugeShapesStayCheap)
{
    TDIBSurface mask(16, 16, 8);
    TMapRegion line;
    line.Shape = TRegionShape::Polygon;
    line.Points = {{0, 0}, {10, 10}};
    PaintRegion(mask, line, 0, 0, 255);
    TMapRegion empty_ellipse;
    empty_ellipse.Shape = TRegionShape::Ellipse;
    empty_ellipse.Box = TRect{5, 5, 5, 9};
    PaintRegion(mask, empty_ellipse, 0, 0, 255);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(mask.ScanLine(y)[x], 0);

    // Coordinates at the ends of the int32 range: only the rows of the mask are visited.
    TMapRegion huge;
    huge.Shape = TRegionShape::Polygon;
    huge.Points = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    PaintRegion(mask, huge, 3, -7, 255);
    EXPECT_EQ(mask.ScanLine(8)[8], 255);
    TMapRegion huge_box;
    huge_box.Box = TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_TRUE(huge_box.Contains(0, 0));
    PaintRegion(mask, huge_box, INT32_MAX, INT32_MAX, 7);
}

}  // namespace
}  // namespace mobu
