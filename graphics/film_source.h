// The film source: a film as text, for authors and tests. A [film] section holds the
// header (kind, version, screen, back_color, relative, origin, loop_start) and one [track]
// section per track, in file order, holds its kind and every stored field as
// "key = value": integers in decimal (or 0x hex), reals in full precision, points as
// "x, y", texts in double quotes (UTF-8; \" \\ and \xNN for raw code page 932 bytes).
// Times are in film units as played (old files' halved times already doubled). Lines
// starting with ";" or "#" are comments.
#pragma once

#include <string>
#include <string_view>

#include "graphics/film_data.h"

namespace mobu {

// The film as source text (UTF-8).
std::string PrintFilmSource(const TFilmData& film);
// Reads a film source; fields a section leaves out keep their defaults. A malformed line,
// an unknown key or kind, or a value out of range throws EMobuError; `reason` names the line.
TFilmData ReadFilmSource(std::string_view text, std::string* reason = nullptr);
// The film as stored bytes of the newest version.
std::string WriteFilm(TFilmData& film);

}  // namespace mobu
