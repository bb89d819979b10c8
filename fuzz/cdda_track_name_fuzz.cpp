// Fuzz target of the CD track rules: any CD name and any file name give an answer without
// overflow or a read past the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/cdda_tracks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t split = text.find('\n');
    std::string cd_name = text.substr(0, split);
    std::string file_name = split == std::string::npos ? text : text.substr(split + 1);
    std::optional<int> track = mobu::CdTrackNumber(cd_name);
    if (track && (*track < 1 || *track > 99999)) __builtin_trap();
    (void)mobu::IsCdTrackFile(file_name, track.value_or(1));
    (void)mobu::FindCdTrackFile({file_name, cd_name, "track01.ogg"}, track.value_or(1));
    return 0;
}
