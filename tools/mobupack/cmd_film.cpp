// mobupack film: prints a motion or cinema film as film source, builds a film from its
// source, or prints the film and what its tracks show at given times as JSON. Pictures are
// looked up beside the film on disk.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "components/film_files.h"
#include "graphics/film_manager.h"
#include "graphics/film_source.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

constexpr const char* kUsage =
    "usage: mobupack film FILE                 print the film as film source\n"
    "       mobupack film FILE --json [--at T,T...]\n"
    "       mobupack film --build SOURCE OUT   write the film (newest version)\n";

bool ReadBytes(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Quoted(std::ostream& out, const std::string& cp932)
{
    std::string text;
    try {
        text = Cp932ToUtf8(cp932);
    } catch (const std::exception&) {
        text = cp932;
    }
    out << '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out << escaped;
        } else {
            out << c;
        }
    }
    out << '"';
}

std::string Pair(int64_t a, int64_t b) { return "[" + std::to_string(a) + ", " + std::to_string(b) + "]"; }

void TrackJson(std::ostream& out, const TFilmData& film, size_t index)
{
    const TCustomFrameList& t = *film.Tracks[index];
    int parent = -1;
    for (size_t i = 0; i < film.Tracks.size(); ++i)
        if (film.Tracks[i].get() == t.Parent) parent = static_cast<int>(i);
    out << "{\"index\": " << index << ", \"kind\": \"" << FrameListKindName(t.Kind()) << "\", \"parent\": " << parent
        << ", \"start\": " << t.StartTime << ", \"effective_start\": " << t.EffectiveStart << ", \"length\": " << t.Length
        << ", \"loop_length\": " << t.LoopLength << ", \"priority\": " << t.Priority << ", \"flip_h\": " << int{t.FlipH}
        << ", \"flip_v\": " << int{t.FlipV} << ", \"other_base\": " << int{t.OtherBase};
    switch (t.Kind()) {
        case FK_IMAGE:
        case FK_TILE:
            out << ", \"source\": ";
            Quoted(out, static_cast<const TImageFrameList&>(t).Source);
            break;
        case FK_LABEL:
            out << ", \"text\": ";
            Quoted(out, static_cast<const TLabelFrameList&>(t).Text);
            break;
        case FK_PARTICLE:
            out << ", \"source\": ";
            Quoted(out, static_cast<const TParticleFrameList&>(t).Source);
            break;
        case FK_SOUND: {
            const auto& s = static_cast<const TSoundFrameList&>(t);
            out << ", \"source\": ";
            Quoted(out, s.Source);
            out << ", \"volume\": " << Pair(s.Stored.VolumeStart, s.Stored.VolumeEnd)
                << ", \"pan\": " << Pair(s.Stored.PanStart, s.Stored.PanEnd);
            break;
        }
        case FK_WIPE: {
            const auto& w = static_cast<const TWipeFrameList&>(t);
            out << ", \"transition\": " << int{w.TransitionId} << ", \"mask\": ";
            Quoted(out, w.Mask);
            out << ", \"param0\": " << w.Param0 << ", \"param1\": " << w.Param1 << ", \"reverse\": " << int{w.Reverse};
            break;
        }
        default: break;
    }
    out << "}";
}

void StateJson(std::ostream& out, const TFilmManager& manager, int index, int32_t t)
{
    const TCustomFrameList& track = manager.Track(index);
    out << "{\"index\": " << index;
    switch (track.Kind()) {
        case FK_IMAGE:
        case FK_LABEL:
        case FK_TILE: {
            TImageTrackState s = manager.ImageAt(static_cast<const TCustomImageFrameList&>(track), t);
            out << ", \"active\": " << (s.Active ? "true" : "false");
            if (s.Active)
                out << ", \"x\": " << s.X << ", \"y\": " << s.Y << ", \"alpha\": " << s.Alpha << ", \"angle\": " << s.Angle
                    << ", \"zoom_x\": " << s.ZoomX << ", \"zoom_y\": " << s.ZoomY << ", \"frame\": " << s.Frame;
            break;
        }
        case FK_BOX: {
            TBoxTrackState s = manager.BoxAt(static_cast<const TBoxFrameList&>(track), t);
            out << ", \"active\": " << (s.Active ? "true" : "false");
            if (s.Active)
                out << ", \"x\": " << s.X << ", \"y\": " << s.Y << ", \"alpha\": " << s.Alpha << ", \"width\": " << s.Width
                    << ", \"height\": " << s.Height << ", \"color\": " << s.Color << ", \"border_color\": " << s.BorderColor
                    << ", \"border_width\": " << s.BorderWidth;
            break;
        }
        case FK_SOUND: {
            TSoundTrackState s = manager.SoundAt(static_cast<const TSoundFrameList&>(track), t);
            out << ", \"active\": " << (s.Active ? "true" : "false");
            if (s.Active) out << ", \"volume\": " << s.Volume << ", \"pan\": " << s.Pan;
            break;
        }
        case FK_WIPE: {
            TWipeTrackState s = manager.WipeAt(static_cast<const TWipeFrameList&>(track), t);
            out << ", \"active\": " << (s.Active ? "true" : "false");
            if (s.Active) out << ", \"elapsed\": " << s.Elapsed;
            break;
        }
        case FK_PARTICLE: {
            TParticleTrackState s = manager.ParticleAt(static_cast<const TParticleFrameList&>(track), t);
            out << ", \"active\": " << (s.Active ? "true" : "false");
            if (s.Active) out << ", \"x\": " << s.X << ", \"y\": " << s.Y << ", \"alpha\": " << s.Alpha;
            break;
        }
        case FK_FIRE: {
            TFireTrackState s = manager.FireAt(static_cast<const TFireFrameList&>(track), t);
            out << ", \"active\": " << (s.Active ? "true" : "false");
            if (s.Active) out << ", \"x\": " << s.X << ", \"y\": " << s.Y << ", \"alpha\": 255";
            break;
        }
        default: break;
    }
    out << "}";
}

bool ParseTimes(const std::string& text, std::vector<int32_t>& times)
{
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        try {
            size_t used = 0;
            long long v = std::stoll(item, &used, 10);
            if (used != item.size() || v < INT32_MIN || v > INT32_MAX) return false;
            times.push_back(static_cast<int32_t>(v));
        } catch (const std::exception&) {
            return false;
        }
    }
    return !times.empty();
}

int Build(const std::string& source_path, const std::string& out_path)
{
    std::string text;
    if (!ReadBytes(source_path, text)) {
        std::fprintf(stderr, "mobupack film: %s: cannot read\n", source_path.c_str());
        return 1;
    }
    std::string reason;
    try {
        TFilmData film = ReadFilmSource(text, &reason);
        const std::string bytes = WriteFilm(film);
        std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "mobupack film: %s: cannot write\n", out_path.c_str());
            return 1;
        }
    } catch (const EMobuError&) {
        std::fprintf(stderr, "mobupack film: %s: %s\n", source_path.c_str(), reason.c_str());
        return 1;
    }
    return 0;
}

int RunFilm(const std::vector<std::string>& arguments)
{
    if (arguments.size() == 3 && arguments[0] == "--build") return Build(arguments[1], arguments[2]);
    if (arguments.empty() || arguments[0].rfind("--", 0) == 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& path = arguments[0];
    bool json = false;
    std::vector<int32_t> times;
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--json") {
            json = true;
        } else if (arguments[i] == "--at" && i + 1 < arguments.size() && ParseTimes(arguments[i + 1], times)) {
            ++i;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (!times.empty() && !json) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string bytes;
    if (!ReadBytes(path, bytes)) {
        std::fprintf(stderr, "mobupack film: %s: cannot read\n", path.c_str());
        return 1;
    }
    std::string reason;
    auto film = std::make_shared<TFilmData>();
    try {
        *film = ReadFilm(bytes, &reason);
    } catch (const EMobuError&) {
        std::fprintf(stderr, "mobupack film: %s: damaged: %s\n", path.c_str(), reason.c_str());
        return 1;
    }
    if (film->Kind < 0) {
        std::fprintf(stderr, "mobupack film: %s: not a film (it begins with neither MobuCinema nor MobuMotion)\n", path.c_str());
        return 1;
    }
    if (!json) {
        std::fputs(PrintFilmSource(*film).c_str(), stdout);
        return 0;
    }
    // Pictures beside the film: its folder is the game folder of the lookup.
    const std::filesystem::path real(path);
    ResetVrFileManager();
    VrFileManager().SetBaseFolder(real.has_parent_path() ? real.parent_path().string() : std::string("."));
    PrepareFilmPictures(*film, std::string(), CachedPictureFrames);

    std::ostringstream out;
    out << "{\"kind\": \"" << (film->Kind == kFilmCinema ? "cinema" : "motion") << "\", \"version\": " << film->Version
        << ", \"screen\": " << Pair(film->ScreenSize.X, film->ScreenSize.Y) << ", \"back_color\": " << film->BackColor
        << ", \"relative\": " << (film->RelativeMotion ? "true" : "false")
        << ", \"origin\": " << Pair(film->MotionOrigin.X, film->MotionOrigin.Y) << ", \"loop_start\": " << film->LiveLoopStart
        << ", \"total_length\": " << film->TotalLength << ", \"tracks\": [";
    for (size_t i = 0; i < film->Tracks.size(); ++i) {
        if (i) out << ", ";
        TrackJson(out, *film, i);
    }
    out << "]";
    if (!times.empty()) {
        TFilmManager manager(film);
        // Positions as the film stores them: no motion target shifts them.
        manager.TargetX = film->MotionOrigin.X;
        manager.TargetY = film->MotionOrigin.Y;
        out << ", \"at\": [";
        for (size_t k = 0; k < times.size(); ++k) {
            if (k) out << ", ";
            out << "{\"time\": " << times[k] << ", \"tracks\": [";
            for (int i = 0; i < manager.TrackCount(); ++i) {
                if (i) out << ", ";
                StateJson(out, manager, i, times[k]);
            }
            out << "]}";
        }
        out << "]";
    }
    out << "}\n";
    std::fputs(out.str().c_str(), stdout);
    ResetVrFileManager();
    return 0;
}

const CommandRegistration kRegistration({"film", "film FILE [--json [--at T,T...]] | film --build SOURCE OUT",
                                         "print a motion or cinema film as source or JSON, or build one from source",
                                         RunFilm});

}  // namespace
}  // namespace mobu::mobupack
