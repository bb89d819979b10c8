// The selection-map file: reading each shape, refusing damaged files, the hit test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/mobu_error.h"
#include "core/byte_writer.h"
#include "archive/vr_file_manager.h"
#include "components/map_file.h"

namespace mobu {
namespace {

// Laid out by hand, field by field.
std::string ThreeRegionFile()
{
    ByteWriter w;
    w.I32(3);
    w.String("box");
    w.U8(0);
    for (int32_t v : {10, 10, 19, 14}) w.I32(v);
    w.String("oval");
    w.U8(1);
    for (int32_t v : {0, 0, 9, 9}) w.I32(v);
    w.String("tri");
    w.U8(7);  // any other shape is a polygon
    w.I32(3);
    for (int32_t v : {30, 0, 40, 20, 20, 20}) w.I32(v);
    return w.Take();
}

TEST(MapFile, ReadsEveryShape)
{
    const auto regions = ReadMapFile(ThreeRegionFile(), "a.map");
    ASSERT_EQ(regions.size(), 3u);
    EXPECT_EQ(regions[0].Name, "box");
    EXPECT_EQ(regions[0].Shape, TRegionShape::Rectangle);
    EXPECT_EQ(regions[0].Box, (TRect{10, 10, 20, 15}));  // inclusive right and bottom
    EXPECT_EQ(regions[1].Shape, TRegionShape::Ellipse);
    EXPECT_EQ(regions[2].Shape, TRegionShape::Polygon);
    ASSERT_EQ(regions[2].Points.size(), 3u);
    EXPECT_EQ(regions[2].Points[1].X, 40);
    EXPECT_EQ(WriteMapFile(regions).size(), ThreeRegionFile().size());
    EXPECT_EQ(ReadMapFile(WriteMapFile(regions), "a.map")[0].Box, regions[0].Box);
}

TEST(MapFile, HitTestTakesTheFirstRegionHoldingThePoint)
{
    auto regions = ReadMapFile(ThreeRegionFile(), "a.map");
    struct TCase {
        int x, y, expected;
    } cases[] = {
        {10, 10, 0}, {19, 14, 0}, {20, 14, -1}, {19, 15, -1},  // inclusive corners of the box
        {5, 5, 1},   {0, 0, -1},  {9, 5, 1},                   // ellipse centre, corner, edge
        {30, 10, 2}, {24, 19, 2}, {21, 5, -1}, {50, 50, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(RegionIndexAt(regions, c.x, c.y), c.expected) << c.x << "," << c.y;
    // Overlap: a second box over the first one loses to it.
    TMapRegion later;
    later.Box = TRect{0, 0, 100, 100};
    regions.push_back(later);
    EXPECT_EQ(RegionIndexAt(regions, 12, 12), 0);
    EXPECT_EQ(RegionIndexAt(regions, 50, 50), 3);
}

TEST(MapFile, DamagedFilesAreRefused)
{
    const std::string good = ThreeRegionFile();
    std::vector<std::string> damaged;
    for (size_t cut = 0; cut < good.size(); ++cut) damaged.push_back(good.substr(0, cut));
    {
        ByteWriter w;
        w.I32(0x7FFFFFFF);  // region count far beyond the bytes
        damaged.push_back(w.Take());
    }
    {
        ByteWriter w;
        w.I32(-1);
        damaged.push_back(w.Take());
    }
    {
        ByteWriter w;
        w.I32(1);
        w.String("p");
        w.U8(2);
        w.I32(0x10000000);  // point count beyond the bytes
        w.I32(0);
        w.I32(0);
        damaged.push_back(w.Take());
    }
    {
        ByteWriter w;
        w.I32(1);
        w.I32(-5);  // negative name length
        damaged.push_back(w.Take());
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
        if (i == 0) continue;
        EXPECT_THROW(ReadMapFile(damaged[i], "a.map"), EMobuError) << i;
    }
    EXPECT_THROW(ReadMapFile("", "a.map"), EMobuError);
}

TEST(MapFile, MissingOrDamagedFileGivesNoRegions)
{
    const auto folder = std::filesystem::temp_directory_path() / "mobu_map_file_test";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "good.map", std::ios::binary) << ThreeRegionFile();
    std::ofstream(folder / "bad.map", std::ios::binary) << ThreeRegionFile().substr(0, 20);
    ResetVrFileManager();
    VrFileManager().SetBaseFolder(folder.string());
    EXPECT_EQ(LoadMapFile("good.map").size(), 3u);
    EXPECT_TRUE(LoadMapFile("bad.map").empty());
    EXPECT_TRUE(LoadMapFile("none.map").empty());
    ResetVrFileManager();
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace mobu
