// Writing a film in the newest stored version.
#include "core/byte_writer.h"
#include "graphics/film_layout.h"
#include "graphics/film_source.h"

namespace mobu {
namespace {

class TFilmWriterIo {
public:
    explicit TFilmWriterIo(ByteWriter& out) : out_(out) {}
    void I32(int32_t& v, const char*) { out_.I32(v); }
    void U8(uint8_t& v, const char*) { out_.U8(v); }
    void F64(double& v, const char*) { out_.F64(v); }
    void Str(std::string& v, const char*) { out_.String(v); }
    void Pt(int32_t& x, int32_t& y, const char*)
    {
        out_.I32(x);
        out_.I32(y);
    }

private:
    ByteWriter& out_;
};

}  // namespace

std::string WriteFilm(TFilmData& film)
{
    ByteWriter out;
    out.Raw(film.Kind == kFilmCinema ? "MobuCinema" : "MobuMotion");
    out.Raw(std::to_string(kFilmNewestVersion));
    TFilmWriterIo io(out);
    film_layout::Header(io, film, kFilmNewestVersion);
    out.I32(static_cast<int32_t>(film.Tracks.size()));
    for (auto& track : film.Tracks) {
        out.U8(track->KindByte);
        film_layout::Track(io, *track, kFilmNewestVersion);
    }
    return out.Take();
}

}  // namespace mobu
