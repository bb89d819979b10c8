// CD music from track files: the game's folder "cdda" (any case) holds one file per track.
// Track N is the first file, in name order, whose stem is "track" + N (leading zeros; a
// space, "_" or "-" allowed before N) or whose name starts with N and a non-digit
// ("02 - Title.flac"); only .ogg .oga .flac .wav .mp3 .opus count.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mobu {

// The track number of a CD name: the text after its first three characters ("CD_05" → 5);
// nothing when it is not a number from 1 to 99999.
std::optional<int> CdTrackNumber(const std::string& name);
// Whether a file name (UTF-8) is track `track`.
bool IsCdTrackFile(const std::string& file_name, int track);
// The file of track `track` among `file_names` (any order), or "".
std::string FindCdTrackFile(std::vector<std::string> file_names, int track);
// The track file in `base_folder`/cdda (UTF-8 paths), or "".
std::string FindCdTrackInFolder(const std::string& base_folder, int track);

}  // namespace mobu
