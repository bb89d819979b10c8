// Reading a motion or cinema film, every version from 100 to 109, and linking its tracks.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_reader.h"
#include "core/mobu_error.h"
#include "core/cp932_chars.h"
#include "graphics/film_data.h"
#include "graphics/film_easing.h"
#include "graphics/film_layout.h"

namespace mobu {
namespace {

constexpr size_t kMagicSize = 13;

// The reading side of the layout.
class TFilmReaderIo {
public:
    explicit TFilmReaderIo(ByteReader& in) : in_(in) {}
    void I32(int32_t& v, const char*) { v = in_.I32(); }
    void U8(uint8_t& v, const char*) { v = in_.U8(); }
    void F64(double& v, const char*) { v = in_.F64(); }
    void Str(std::string& v, const char*) { v = in_.String(); }
    void Pt(int32_t& x, int32_t& y, const char*)
    {
        x = in_.I32();
        y = in_.I32();
    }

private:
    ByteReader& in_;
};

int32_t Doubled(int32_t v) { return ClampToInt32(int64_t{v} * 2); }

[[noreturn]] void Refuse(std::string* reason, const std::string& why)
{
    if (reason) *reason = why;
    throw EMobuError(ByteReader::DefaultFailureMessage());
}

// The live values start as the stored ones.
void SettleLive(TCustomFrameList& t)
{
    switch (t.Kind()) {
        case FK_IMAGE:
        case FK_LABEL: {
            auto& r = static_cast<TCustomImageFrameList&>(t);
            r.Live = r.Stored;
            break;
        }
        case FK_TILE: {
            auto& r = static_cast<TTileFrameList&>(t);
            r.Live = r.Stored;
            if (r.HasSecondCrop) r.Live.Crop = r.SecondCrop;
            r.LiveTile = r.Tile;
            break;
        }
        case FK_BOX: static_cast<TBoxFrameList&>(t).Live = static_cast<TBoxFrameList&>(t).Stored; break;
        case FK_SOUND: static_cast<TSoundFrameList&>(t).Live = static_cast<TSoundFrameList&>(t).Stored; break;
        case FK_PARTICLE: static_cast<TParticleFrameList&>(t).Live = static_cast<TParticleFrameList&>(t).Stored; break;
        case FK_FIRE: static_cast<TFireFrameList&>(t).Live = static_cast<TFireFrameList&>(t).Stored; break;
        default: break;
    }
}

}  // namespace

TFilmData ReadFilm(std::string_view bytes, std::string* reason)
{
    TFilmData film;
    if (bytes.size() < 10) return film;
    int kind = -1;
    if (bytes.substr(0, 10) == "MobuCinema") kind = kFilmCinema;
    else if (bytes.substr(0, 10) == "MobuMotion") kind = kFilmMotion;
    else return film;

    ByteReader in(bytes);
    size_t at = 0;
    try {
        if (bytes.size() < kMagicSize) Refuse(reason, "the header ends inside the version");
        int version = 0;
        for (size_t i = 10; i < kMagicSize; ++i) {
            char c = bytes[i];
            if (c < '0' || c > '9') Refuse(reason, "the version is not three digits");
            version = version * 10 + (c - '0');
        }
        if (version < kFilmOldestVersion || version > kFilmNewestVersion)
            Refuse(reason, "version " + std::to_string(version) + " is not one of 100-109");
        in.Skip(kMagicSize);
        TFilmReaderIo io(in);
        film.Version = version;
        film_layout::Header(io, film, version);
        if (version <= 106) film.LoopStart = Doubled(film.LoopStart);
        // Every track takes at least its kind byte and the common record.
        const size_t count = in.Count(1 + 4 * 6 + 3);
        film.Tracks.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            at = i;
            const uint8_t kind_byte = in.U8();
            auto track = MakeFrameList(kind_byte & 0x7F);
            if (!track)
                Refuse(reason, "track " + std::to_string(i) + " has the unknown kind " + std::to_string(kind_byte & 0x7F));
            track->KindByte = kind_byte;
            film_layout::Track(io, *track, version);
            if (version <= 106) {
                track->Length = Doubled(track->Length);
                track->StartTime = Doubled(track->StartTime);
                track->LoopLength = Doubled(track->LoopLength);
            }
            if (version <= 107 && track->Kind() == FK_SOUND) {
                auto& s = static_cast<TSoundFrameList&>(*track).Stored;
                s.VolumeStart = s.VolumeStart / 10 + 1000;
                s.VolumeEnd = s.VolumeEnd / 10 + 1000;
            }
            film.Tracks.push_back(std::move(track));
        }
        film.Kind = kind;
    } catch (const EMobuError&) {
        if (reason && reason->empty())
            *reason = "the data ends early (byte " + std::to_string(in.Position()) + " of " +
                      std::to_string(bytes.size()) + ", track " + std::to_string(at) + ")";
        throw;
    }
    LinkFilm(film);
    return film;
}

void LinkFilm(TFilmData& film)
{
    auto& tracks = film.Tracks;
    const int32_t n = static_cast<int32_t>(tracks.size());
    for (auto& t : tracks) {
        t->Parent = nullptr;
        t->Followed = false;
    }
    // A link closes a cycle when the chain above its parent already ends at the track
    // itself. Chain ends are kept with path halving, so long chains cost no more than short
    // ones.
    std::vector<int32_t> up(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) up[static_cast<size_t>(i)] = i;
    auto chain_end = [&up](int32_t k) {
        while (up[static_cast<size_t>(k)] != k) {
            up[static_cast<size_t>(k)] = up[static_cast<size_t>(up[static_cast<size_t>(k)])];
            k = up[static_cast<size_t>(k)];
        }
        return k;
    };
    for (int32_t i = 0; i < n; ++i) {
        TCustomFrameList& t = *tracks[static_cast<size_t>(i)];
        const int32_t p = t.ParentIndex;
        if (p < 0 || p >= n || p == i || chain_end(p) == i) continue;
        t.Parent = tracks[static_cast<size_t>(p)].get();
        up[static_cast<size_t>(i)] = p;
    }

    // Live values, effective starts: parents first (the chains end, so the walk does).
    std::vector<int32_t> parent_of(static_cast<size_t>(n), -1);
    for (int32_t i = 0; i < n; ++i) {
        const TCustomFrameList& t = *tracks[static_cast<size_t>(i)];
        if (t.Parent) parent_of[static_cast<size_t>(i)] = t.ParentIndex;
    }
    std::vector<int8_t> done(static_cast<size_t>(n), 0);
    std::vector<int32_t> chain;
    for (int32_t i = 0; i < n; ++i) {
        // Collect the chain up to a settled track, then settle it from the top down.
        chain.clear();
        for (int32_t walk = i; walk >= 0 && !done[static_cast<size_t>(walk)]; walk = parent_of[static_cast<size_t>(walk)])
            chain.push_back(walk);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            TCustomFrameList& t = *tracks[static_cast<size_t>(*it)];
            SettleLive(t);
            if (t.Parent) {
                t.InheritStart(*t.Parent);
                t.EffectiveStart = ClampToInt32(int64_t{t.Parent->EffectiveStart} + std::max(0, t.Parent->Length));
                t.Parent->Followed = true;
            } else {
                t.EffectiveStart = t.StartTime;
            }
            done[static_cast<size_t>(*it)] = 1;
        }
    }

    int64_t total = 0;
    for (auto& t : tracks) total = std::max(total, int64_t{t->EffectiveStart} + std::max(0, t->Length));
    film.TotalLength = ClampToInt32(total);
    film.LiveLoopStart = std::clamp(film.LoopStart, 0, std::max(0, film.TotalLength - 1));
}

std::string FilmFolder(const std::string& film_path)
{
    // The walk goes by characters: the trail byte of a double-byte character may be 0x5C.
    size_t cut = std::string::npos;
    for (size_t i = 0; i < film_path.size();) {
        size_t length = Cp932CharLength(film_path, i);
        if (length == 1 && (film_path[i] == '\\' || film_path[i] == '/' || film_path[i] == ':')) cut = i;
        i += length;
    }
    return cut == std::string::npos ? std::string() : film_path.substr(0, cut + 1);
}

std::string ResolveFilmName(const std::string& folder, const std::string& name)
{
    if (name.empty()) return name;
    if (name[0] == '\\' || (name.size() > 1 && name[1] == ':')) return name;
    return folder + name;
}

}  // namespace mobu
