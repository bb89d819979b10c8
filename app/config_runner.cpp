#include "app/config_runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/config_window.h"
#include "app/form_config.h"
#include "app/form_view.h"
#include "app/game_ini.h"
#include "app/game_ini_location.h"
#include "app/game_location.h"
#include "app/input_script.h"
#include "core/mobu_error.h"
#include "graphics/dibx.h"
#include "platform/durable_files.h"
#include "platform/png_writer.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

void ErrorOnStandardError(const std::string& text, void*)
{
    std::string line = Cp932ToUtf8(text);
    for (char& c : line)
        if (c == '\n') c = ' ';
    std::fprintf(stderr, "mobuplay: %s\n", line.c_str());
}

// The painted client area as a frame for the PNG writer.
FrameBuffer ClientFrame(TFormConfig& dialog, TDIBX& surface)
{
    dialog.Paint(surface);
    FrameBuffer frame;
    frame.Resize(surface.Width(), surface.Height());
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) frame.Row(y)[x] = surface.GetPixel(x, y) & 0xFFFFFF;
    return frame;
}

}  // namespace

int RunConfigSet(const TCommandLine& line, const TGameIniPlace& place)
{
    std::string reason, read_path = GameIniReadPath(place);
    const std::string& ini_path = place.path;
    TIniText ini = ReadGameIniText(read_path, &reason);
    if (!reason.empty()) {
        std::fprintf(stderr, "mobuplay: %s: %s; not replaced\n", read_path.c_str(), reason.c_str());
        return 1;
    }
    for (const std::string& assignment : line.config_set) {
        size_t equals = assignment.find('=');
        const TGameIniKey* key = FindGameIniKey(assignment.substr(0, equals));
        if (equals == std::string::npos || key == nullptr) {
            std::fprintf(stderr, "mobuplay: --set %s: unknown key (see mobuplay --help)\n", assignment.c_str());
            return 2;
        }
        std::optional<std::string> text = GameIniValueText(*key, assignment.substr(equals + 1));
        if (!text) {
            std::fprintf(stderr, "mobuplay: --set %s: bad value\n", assignment.c_str());
            return 2;
        }
        ini.Set(key->section, key->key, *text);
    }
    if (!place.shipped.empty()) CreateRealFolders(RealFolderOf(ini_path));  // the per-user folder
    if (!WriteGameIni(ini_path, ini, reason)) {
        std::fprintf(stderr, "mobuplay: %s %s: %s\n", Cp932ToUtf8(ConfigTexts(UserLocaleIsJapanese()).save_failed).c_str(),
                     ini_path.c_str(), reason.c_str());
        return 1;
    }
    return 0;
}

int RunConfigPrint(const TGameIniPlace& place)
{
    TIniText ini = ReadGameIniText(GameIniReadPath(place));
    std::printf("; %s\n", place.path.c_str());
    for (const TGameIniKey& key : GameIniKeys())
        std::printf("%s.%s=%s\n", key.section, key.key, GameIniEffectiveValue(key, ini).c_str());
    return 0;
}

int RunConfigHeadless(const TCommandLine& line, const TGameIniPlace& place)
{
    const THeadlessOptions& options = line.headless_options;
    std::vector<TInputEvent> events;
    try {
        if (!options.input_file.empty()) events = ReadInputScript(options.input_file);
    } catch (const EMobuError& error) {
        std::fprintf(stderr, "mobuplay: %s\n", Cp932ToUtf8(error.what()).c_str());
        return 1;
    }
    bool shooting = options.shot_every > 0 || !options.shot_at.empty();
    if (shooting) {
        std::error_code error;
        std::filesystem::create_directories(options.out_dir, error);
        if (error) {
            std::fprintf(stderr, "mobuplay: cannot create %s: %s\n", options.out_dir.c_str(), error.message().c_str());
            return 1;
        }
    }
    std::set<int64_t> shot_at(options.shot_at.begin(), options.shot_at.end());

    TFormConfig dialog(place, UserLocaleIsJapanese());
    dialog.SetErrorSink(ErrorOnStandardError, nullptr);
    dialog.FormCreate();
    TDIBX surface;
    size_t next_event = 0;
    for (int64_t frame = 1; frame <= options.frames && dialog.IsOpen(); ++frame) {
        while (next_event < events.size() && events[next_event].frame <= frame) {
            const TInputEvent& event = events[next_event++];
            switch (event.kind) {
            case TInputKind::KeyDown: dialog.KeyDown(event.key); break;
            case TInputKind::KeyUp: dialog.KeyUp(event.key); break;
            case TInputKind::MouseMove: dialog.MouseMove(event.x, event.y); break;
            case TInputKind::MouseDown:
                if (event.button == TMouseButton::Left) dialog.MouseDown(event.x, event.y);
                break;
            case TInputKind::MouseUp:
                if (event.button == TMouseButton::Left) dialog.MouseUp(event.x, event.y);
                break;
            case TInputKind::WheelUp:
            case TInputKind::WheelDown: break;
            }
        }
        if (shot_at.count(frame) || (options.shot_every > 0 && frame % options.shot_every == 0)) {
            char name[40];
            std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frame));
            std::string path = (std::filesystem::path(options.out_dir) / name).string(), error;
            if (!WritePngFile(path, ClientFrame(dialog, surface), error)) {
                std::fprintf(stderr, "mobuplay: cannot write %s: %s\n", path.c_str(), error.c_str());
                return 1;
            }
        }
    }
    if (!options.dump_dialog.empty()) {
        std::ofstream dump(options.dump_dialog, std::ios::binary);
        dump << dialog.DumpJson();
        if (!dump) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.dump_dialog.c_str());
            return 1;
        }
    }
    if (dialog.IsOpen()) return kConfigStillOpen;
    return dialog.Result() == std::optional<std::string>("ok") ? kConfigSaved : kConfigNotSaved;
}

int RunConfig(const TCommandLine& line, const std::string& executable_path)
{
    // The per-user file is named after the game's title: only then are the game's archives
    // registered, to read the project file (nothing else of the player is made).
    auto title = [&] {
        try {
            LocateGameData(line.games, executable_path);
        } catch (const EMobuError& error) {
            std::fprintf(stderr, "mobuplay: %s\n", Cp932ToUtf8(error.what()).c_str());
            return std::string();
        }
        return RegisteredProjectTitle();
    };
    TGameIniPlace place = LocateGameIni(line.ini_file, line.games, executable_path, title);
    if (!line.config_set.empty()) return RunConfigSet(line, place);
    if (line.config_print) return RunConfigPrint(place);
    if (line.headless) return RunConfigHeadless(line, place);
    return RunConfigWindow(line, place);
}

}  // namespace mobu
