#include "components/map_file.h"

#include <algorithm>
#include <limits>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "archive/vr_file_manager.h"
#include "components/image_messages.h"

namespace mobu {

namespace {

// The stored right and bottom are inclusive; the box keeps them exclusive (saturating at
// the largest coordinate instead of wrapping).
int32_t AfterInclusive(int32_t value)
{
    return value == std::numeric_limits<int32_t>::max() ? value : value + 1;
}

constexpr size_t kSmallestRegion = 4 + 1 + 4;  // empty name, shape, point count 0
constexpr size_t kPointSize = 8;

}  // namespace

std::vector<TMapRegion> ReadMapFile(std::string_view bytes, const std::string& file_name)
{
    ByteReader reader(bytes, image_messages::DamagedMapFile(file_name));
    const size_t count = reader.Count(kSmallestRegion);
    std::vector<TMapRegion> regions;
    regions.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        TMapRegion region;
        region.Name = reader.String();
        const uint8_t shape = reader.U8();
        if (shape == 0 || shape == 1) {
            region.Shape = shape == 0 ? TRegionShape::Rectangle : TRegionShape::Ellipse;
            region.Box.Left = reader.I32();
            region.Box.Top = reader.I32();
            region.Box.Right = AfterInclusive(reader.I32());
            region.Box.Bottom = AfterInclusive(reader.I32());
        } else {
            region.Shape = TRegionShape::Polygon;
            const size_t points = reader.Count(kPointSize);
            region.Points.resize(points);
            for (TRegionPoint& point : region.Points) {
                point.X = reader.I32();
                point.Y = reader.I32();
            }
        }
        regions.push_back(std::move(region));
    }
    return regions;
}

std::vector<TMapRegion> LoadMapFile(const std::string& file_name)
{
    try {
        if (!VrFileManager().Exists(file_name)) return {};
        return ReadMapFile(VrFileManager().ReadFile(file_name), file_name);
    } catch (const EMobuError&) {
        return {};
    }
}

int RegionIndexAt(const std::vector<TMapRegion>& regions, int32_t x, int32_t y)
{
    for (size_t i = 0; i < regions.size(); ++i)
        if (regions[i].Contains(x, y)) return static_cast<int>(i);
    return -1;
}

std::string WriteMapFile(const std::vector<TMapRegion>& regions)
{
    ByteWriter writer;
    writer.I32(static_cast<int32_t>(regions.size()));
    for (const TMapRegion& region : regions) {
        writer.String(region.Name);
        if (region.Shape == TRegionShape::Polygon) {
            writer.U8(2);
            writer.I32(static_cast<int32_t>(region.Points.size()));
            for (const TRegionPoint& point : region.Points) {
                writer.I32(point.X);
                writer.I32(point.Y);
            }
        } else {
            writer.U8(region.Shape == TRegionShape::Rectangle ? 0 : 1);
            writer.I32(region.Box.Left);
            writer.I32(region.Box.Top);
            writer.I32(region.Box.Right - 1);
            writer.I32(region.Box.Bottom - 1);
        }
    }
    return writer.Take();
}

}  // namespace mobu
