#include "tools/mobupack/fsk_ident_check.h"

#include <cstdlib>
#include <cstring>

#include "core/mobu_error.h"
#include "graphics/fesk_frame_list.h"

namespace mobu::mobupack {
namespace {

// "Fesk", three version digits, the header's size, then in the header: version, width,
// height and bit count of frame 0, the frame count, one byte, and the scrambled flag.
constexpr size_t kScrambledFlagAt = 4 + 3 + 4 + 16 + 4 + 1;

// The sum of the byte differences between each row of the first frame and the next.
uint64_t RowRoughness(std::string_view bytes, int32_t ident_code)
{
    TFeskFrameList list(ident_code);
    list.LoadFromBytes(bytes, "fsk", true, false, false);
    if (list.Count() == 0) return 0;
    const TDIBSurface& image = list.Frames(0).Image;
    const size_t row_bytes = static_cast<size_t>(image.Width()) * static_cast<size_t>(image.StoreBitCount()) / 8;
    uint64_t sum = 0;
    for (int y = 0; y + 1 < image.Height(); ++y) {
        const uint8_t* a = image.ScanLine(y);
        const uint8_t* b = image.ScanLine(y + 1);
        for (size_t i = 0; i < row_bytes; ++i) sum += static_cast<uint64_t>(std::abs(int(a[i]) - int(b[i])));
    }
    return sum;
}

}  // namespace

bool IsScrambledFesk(std::string_view bytes)
{
    if (bytes.size() <= kScrambledFlagAt || std::memcmp(bytes.data(), "Fesk", 4) != 0) return false;
    const int version = std::atoi(std::string(bytes.substr(4, 3)).c_str());
    return version >= 103 && bytes[kScrambledFlagAt] != 0;
}

std::string IdentCodeFault(std::string_view bytes, int32_t ident_code)
{
    if (!IsScrambledFesk(bytes)) return {};
    if (ident_code == 0) {
        return "the image is protected (scrambled with the game's identification code); give the code "
               "(ident_code of project.ini) as IDENTCODE";
    }
    // Another code's order as the yardstick of noise.
    const uint64_t given = RowRoughness(bytes, ident_code);
    const uint64_t other = RowRoughness(bytes, static_cast<int32_t>(static_cast<uint32_t>(ident_code) ^ 0x5A5A5A5Au));
    if (other > 0 && given * 5 >= other * 4) {
        return "the identification code " + std::to_string(ident_code) +
               " does not unscramble this image (its first layer does not decode to a plausible picture)";
    }
    return {};
}

}  // namespace mobu::mobupack
