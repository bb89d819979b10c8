// The selection-map file of a map image: int32 region count, then per region its name
// (int32 length + bytes), its shape byte and either the inclusive box (left, top, right,
// bottom) of a rectangle (0) or ellipse (1), or, for any other shape, an int32 point count
// and the polygon's points (x, y).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "components/map_region.h"

namespace mobu {

// Reads the regions; every count is checked against the bytes left. A damaged file raises
// EMobuError naming `file_name`.
std::vector<TMapRegion> ReadMapFile(std::string_view bytes, const std::string& file_name);
// Loads the file through the virtual file manager. A missing or damaged file gives no
// regions: the map image then simply has nothing to select.
std::vector<TMapRegion> LoadMapFile(const std::string& file_name);
// Index of the first region holding the point (relative to the drawn origin), or -1.
int RegionIndexAt(const std::vector<TMapRegion>& regions, int32_t x, int32_t y);
// Writes regions in the same layout (tests and tools).
std::string WriteMapFile(const std::vector<TMapRegion>& regions);

}  // namespace mobu
