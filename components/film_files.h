// Films read from game files: each file is read, parsed and prepared once per name and
// shared by every player (a player keeps only its own play state).
#pragma once

#include <memory>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "graphics/film_data.h"

namespace mobu {

// The film at virtual `path`, read through the game files and prepared: image and tile
// tracks take their frames from the image cache (durations and trim offsets; the loop
// length becomes the sum of the durations and a length of 0 that sum). A missing file gives
// none (the script log names it); a file that is not a film and a damaged one give an empty
// film (length 0), a damaged one written to the trace with the file's name and the reason.
std::shared_ptr<const TFilmData> LoadFilm(const std::string& path);
// The same from bytes already read (the shared copy is keyed by `path` all the same).
std::shared_ptr<const TFilmData> LoadFilmFromBytes(const std::string& path, std::string_view bytes);
// Number of films read and parsed so far (a shared film counts once).
int FilmsParsed();
// The frames of a picture (virtual path) as film tracks place them: through the image
// cache, trimmed; none when the file is missing.
std::optional<std::vector<TCustomFrame>> CachedPictureFrames(const std::string& path);

// Prepares image and tile tracks through `frames_of(path)`, which gives the frames of a
// picture (none when it is missing), then links the film again.
template <class FramesOf>
void PrepareFilmPictures(TFilmData& film, const std::string& folder, FramesOf frames_of);

}  // namespace mobu

#include "components/film_files_prepare.h"
