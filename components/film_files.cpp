#include "components/film_files.h"

#include <map>
#include <optional>
#include <vector>

#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "archive/vr_file_manager.h"
#include "components/fesk_collection.h"
#include "components/game_files.h"

namespace mobu {
namespace {

struct TFilmShelf {
    std::map<std::string, std::weak_ptr<const TFilmData>> films;  // by lower-case path
    int parsed = 0;
};

TFilmShelf& Shelf()
{
    static TFilmShelf shelf;
    return shelf;
}

}  // namespace

std::optional<std::vector<TCustomFrame>> CachedPictureFrames(const std::string& path)
{
    if (!VrFileManager().Exists(path)) return std::nullopt;
    static const char holder = 0;
    TFeskItem* item = FeskCollection().Acquire(&holder, path, true, false);
    if (!item) return std::nullopt;
    std::vector<TCustomFrame> frames;
    for (int i = 0; i < item->FrameCount(); ++i) {
        TFeskItemFrame& f = item->Frame(i);
        TCustomFrame frame;
        frame.Duration = f.Delay;
        frame.OffsetX = f.OffsetX;
        frame.OffsetY = f.OffsetY;
        if (f.Surface) frame.Width = f.Surface->Width(), frame.Height = f.Surface->Height();
        frames.push_back(frame);
    }
    FeskCollection().Release(item, &holder);
    return frames;
}

namespace {

std::shared_ptr<const TFilmData> Parse(const std::string& path, std::string_view bytes)
{
    ++Shelf().parsed;
    auto film = std::make_shared<TFilmData>();
    std::string reason;
    try {
        *film = ReadFilm(bytes, &reason);
        PrepareFilmPictures(*film, FilmFolder(path), CachedPictureFrames);
    } catch (const EMobuError& e) {
        ReportDiagnostic(path + ": " + e.what() + " (" + reason + ")");
        *film = TFilmData{};
    }
    return film;
}

}  // namespace

std::shared_ptr<const TFilmData> LoadFilmFromBytes(const std::string& path, std::string_view bytes)
{
    const std::string key = JLowerCase(path);
    auto& slot = Shelf().films[key];
    if (auto shared = slot.lock()) return shared;
    auto film = Parse(path, bytes);
    slot = film;
    return film;
}

std::shared_ptr<const TFilmData> LoadFilm(const std::string& path)
{
    const std::string key = JLowerCase(path);
    if (auto it = Shelf().films.find(key); it != Shelf().films.end())
        if (auto shared = it->second.lock()) return shared;
    std::optional<std::string> bytes = ReadGameFile(path);
    if (!bytes) return nullptr;
    return LoadFilmFromBytes(path, *bytes);
}

int FilmsParsed() { return Shelf().parsed; }

}  // namespace mobu
