// Film source reader on arbitrary text: malformed sources are refused cleanly, and every
// source that is read writes a film that the film reader reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/mobu_error.h"
#include "graphics/film_data.h"
#include "graphics/film_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TFilmData film;
    try {
        film = ReadFilmSource(text);
    } catch (const EMobuError&) {
        return 0;
    }
    const std::string bytes = WriteFilm(film);
    try {
        TFilmData back = ReadFilm(bytes);
        if (back.Tracks.size() != film.Tracks.size()) std::abort();
    } catch (const EMobuError&) {
        std::abort();  // a film we wrote must read back
    }
    return 0;
}
