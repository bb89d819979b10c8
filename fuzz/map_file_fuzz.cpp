// Map file reader on arbitrary bytes: damaged files are refused cleanly, and the regions
// that are read can be hit-tested and painted without harm.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/mobu_error.h"
#include "components/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto regions = mobu::ReadMapFile(bytes, "fuzz.map");
        mobu::TDIBSurface mask(32, 24, 8);
        for (const auto& region : regions) mobu::PaintRegion(mask, region, -3, 2, 255);
        for (int y = -2; y < 26; y += 3)
            for (int x = -2; x < 34; x += 3) mobu::RegionIndexAt(regions, x, y);
    } catch (const mobu::EMobuError&) {
    }
    return 0;
}
