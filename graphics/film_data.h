// A motion or cinema film as read from its file: the header and the tracks in file order.
// Reading links each track to its parent, fills in the live start values, the effective
// starts and the total length; the data is then read-only and shared by every player of
// the same file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/frame_lists.h"

namespace mobu {

inline constexpr int kFilmCinema = 0;
inline constexpr int kFilmMotion = 1;
inline constexpr int kFilmOldestVersion = 100;
inline constexpr int kFilmNewestVersion = 109;

struct TFilmData {
    int Kind = -1;  // kFilmCinema, kFilmMotion; -1 when the file is not a film
    int Version = 0;
    TFilmPoint ScreenSize;
    int32_t BackColor = -1;
    uint8_t RelativeMotion = 0;
    TFilmPoint MotionOrigin;
    int32_t LoopStart = 0;  // as read (doubled for old files)
    std::vector<std::unique_ptr<TCustomFrameList>> Tracks;

    // After linking: the maximum of effective start + length (0 without tracks), and the
    // loop start held inside 0 .. TotalLength - 1.
    int32_t TotalLength = 0;
    int32_t LiveLoopStart = 0;

    bool Empty() const { return Tracks.empty(); }
};

// Reads a film. Bytes that do not begin with "MobuCinema" or "MobuMotion" give an empty
// film (Kind -1); a truncated record, a count or length past the end, a version outside
// 100-109 or an unknown track kind throw EMobuError with the system's message. `reason`
// receives the precise cause for the diagnostic line.
TFilmData ReadFilm(std::string_view bytes, std::string* reason = nullptr);

// Links parents (in track order; a link to itself, outside the list or closing a cycle is
// dropped), takes start values from the parents, computes effective starts, whether a track
// is followed, TotalLength and the held loop start. ReadFilm calls it; a film whose track
// lengths change (pictures prepared) calls it again.
void LinkFilm(TFilmData& film);

// The folder of a film path: up to and including its last path delimiter, "" without one.
std::string FilmFolder(const std::string& film_path);
// A name inside a track, relative to the film's folder unless it begins with "\" or has
// ":" as its second character.
std::string ResolveFilmName(const std::string& folder, const std::string& name);

}  // namespace mobu
