#include "app/headless_runner.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/component_screen_bases.h"
#include "app/form_view.h"
#include "components/components_json.h"
#include "components/mobu_http.h"
#include "core/globals.h"
#include "app/input_script.h"
#include "app/loop_timing.h"
#include "app/pointer_record.h"
#include "core/mobu_error.h"
#include "expr/dbs/db_json.h"
#include "expr/variables_json.h"
#include "media/media_layer.h"
#include "media/wave_file_writer.h"
#include "platform/message_box.h"
#include "platform/png_writer.h"
#include "platform/script_log_files.h"
#include "platform/text_encoding.h"
#include "script/project_parts.h"

namespace mobu {
namespace {

class THeadlessHost : public TViewHost {
public:
    void SetCaption(const std::string&) override {}
    void ApplyLayout(const TViewLayout&, bool) override {}
    void PostClose() override { close_posted = true; }
    void Present(const FrameBuffer&) override {}
    bool SwitchFullScreen(bool) override { return false; }
    uint32_t NowMs() override { return now_ms; }
    // No device: the runner pulls the mixed sound frame by frame.
    std::unique_ptr<TAudioOutput> OpenAudio(int& rate, int& channels) override
    {
        rate = audio_rate;
        channels = audio_channels;
        return nullptr;
    }

    bool close_posted = false;
    int audio_rate = 44100;
    int audio_channels = 2;
    uint32_t now_ms = 0;
};

// Every message box of a headless run goes to standard error; questions get their
// affirmative answer.
MessageResult AnswerOnStandardError(const MessageBoxRequest& request)
{
    std::string caption = Cp932ToUtf8(request.caption);
    std::fprintf(stderr, "mobuplay: %s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ",
                 Cp932ToUtf8(request.text).c_str());
    return request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancelAll
               ? MessageResult::Yes
               : MessageResult::Ok;
}

void Apply(TFormView& view, const TInputEvent& event)
{
    switch (event.kind) {
        case TInputKind::KeyDown: view.WindowKeyDown(event.key, false); break;
        case TInputKind::KeyUp: view.WindowKeyUp(event.key); break;
        case TInputKind::MouseMove: view.PanelMouseMove(event.x, event.y); break;
        case TInputKind::MouseDown:
            view.PanelMouseMove(event.x, event.y);
            view.PanelMouseDown(event.button);
            break;
        case TInputKind::MouseUp:
            view.PanelMouseMove(event.x, event.y);
            view.PanelMouseUp();
            break;
        case TInputKind::WheelUp: view.MouseWheel(false); break;
        case TInputKind::WheelDown: view.MouseWheel(true); break;
    }
}

// The headless sound clock: after frame k the mixer has produced floor(k·tick·rate/1000)
// frames, whatever the device format, so reruns give the same bytes.
class THeadlessAudio {
public:
    THeadlessAudio(int rate, int channels, uint32_t tick_ms) : rate_(rate), channels_(channels), tick_ms_(tick_ms) {}
    void MixFrame(int64_t frame, TWaveFileWriter* out)
    {
        TMediaLayer* media = MediaLayer();
        int64_t target = frame * static_cast<int64_t>(tick_ms_) * rate_ / 1000;
        size_t count = static_cast<size_t>(std::max<int64_t>(0, target - mixed_));
        mixed_ = target;
        if (count == 0) return;
        buffer_.assign(count * static_cast<size_t>(channels_), 0.0f);
        if (media != nullptr) media->Render(buffer_.data(), count);
        if (out != nullptr) out->Append(buffer_.data(), count);
    }

private:
    int rate_;
    int channels_;
    uint32_t tick_ms_;
    int64_t mixed_ = 0;
    std::vector<float> buffer_;
};

std::string ShotName(const std::string& folder, int64_t frame)
{
    char name[40];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frame));
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace

int RunHeadless(const TCommandLine& line, const std::string& executable_path)
{
    const THeadlessOptions& options = line.headless_options;
    MessageBoxPresenter previous = SetMessageBoxPresenter(AnswerOnStandardError);
    struct TRestore {
        MessageBoxPresenter presenter;
        ~TRestore() { SetMessageBoxPresenter(std::move(presenter)); }
    } restore{std::move(previous)};
    // Nobody answers the boxes: waits for a game disk give up instead of asking for ever.
    ProjectParts().interactive = false;

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
            std::fprintf(stderr, "mobuplay: cannot create %s: %s\n", options.out_dir.c_str(),
                         error.message().c_str());
            return 1;
        }
    }
    std::set<int64_t> shot_at(options.shot_at.begin(), options.shot_at.end());
    std::unique_ptr<TScriptLogFile> script_log;
    if (!options.script_log.empty()) {
        script_log = std::make_unique<TScriptLogFile>(options.script_log, true);
        if (!script_log->IsOpen()) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.script_log.c_str());
            return 1;
        }
    }

    // The pointer the game chooses is recorded instead of shown.
    TPointerRecord pointer;
    TPointerDevice* previous_pointer = PointerDevice();
    SetPointerDevice(&pointer);
    struct TRestorePointer {
        TPointerDevice* device;
        ~TRestorePointer() { SetPointerDevice(device); }
    } restore_pointer{previous_pointer};

    THeadlessHost host;
    host.audio_rate = options.audio_rate;
    host.audio_channels = options.audio_channels;
    TWaveFileWriter audio_out;
    if (!options.audio_out.empty() && !audio_out.Open(options.audio_out, options.audio_rate, options.audio_channels)) {
        std::fprintf(stderr, "mobuplay: cannot write %s\n", options.audio_out.c_str());
        return 1;
    }
    THeadlessAudio audio(options.audio_rate, options.audio_channels, options.tick_ms);
    TFormView view(host, TGameStartup{line.games, executable_path});
    if (line.seed) view.SetSeed(*line.seed);
    view.SetDialogsAllowed(false);  // nobody answers a dialog here
    view.SetIniFile(line.ini_file);
    view.FormCreate();
    if (view.StartupFailed()) return 1;
    if (!view.Project() || QuitRequested) {
        std::fprintf(stderr, "mobuplay: the game did not start (no project file found in %s)\n",
                     line.games.empty() ? "the player's folder" : line.games.front().c_str());
        return 1;
    }
    view.Activate();

    TLoopTiming timing;
    timing.Start(host.now_ms);
    size_t next_event = 0;
    for (int64_t frame = 1; frame <= options.frames && !host.close_posted; ++frame) {
        while (next_event < events.size() && events[next_event].frame <= frame) Apply(view, events[next_event++]);
        host.now_ms += options.tick_ms;
        if (timing.Wake(host.now_ms)) view.DoFrame();
        // An HTTP request takes no virtual time: its worker ends within the frame that
        // started it, and the next update pass handles the answer.
        if (auto* bases = dynamic_cast<TComponentScreenBases*>(view.Bases())) WaitForHttpWorkers(bases->List());
        // Block k covers [(k-1)·tick, k·tick): mixed after the frame's update pass, so a
        // sound started in frame k begins at the block's first sample. The mixer runs even
        // without --audio-out, so sounds end on the virtual clock.
        audio.MixFrame(frame, options.audio_out.empty() ? nullptr : &audio_out);
        bool game_ended = QuitRequested;  // the script stopped for good: this is the last frame
        if (shot_at.count(frame) || (options.shot_every > 0 && frame % options.shot_every == 0)) {
            std::string path = ShotName(options.out_dir, frame), error;
            if (!WritePngFile(path, view.Frame(), error)) {
                std::fprintf(stderr, "mobuplay: cannot write %s: %s\n", path.c_str(), error.c_str());
                view.FormClose();
                return 1;
            }
        }
        if (game_ended) break;
    }
    // State dumps for the tests, after the last frame.
    if (!options.dump_components.empty()) {
        auto* bases = dynamic_cast<TComponentScreenBases*>(view.Bases());
        std::ofstream dump(options.dump_components, std::ios::binary);
        if (bases) WriteComponentsJson(bases->List(), dump);
        else dump << "[]\n";
        if (!dump) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.dump_components.c_str());
            view.FormClose();
            return 1;
        }
    }
    if (!options.dump_pointer.empty()) {
        std::ofstream dump(options.dump_pointer, std::ios::binary);
        pointer.WriteJson(dump);
        if (!dump) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.dump_pointer.c_str());
            view.FormClose();
            return 1;
        }
    }
    if (!options.dump_vars.empty() && view.Variables()) {
        std::ofstream dump(options.dump_vars, std::ios::binary);
        WriteVariablesJson(*view.Variables(), dump);
        if (!dump) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.dump_vars.c_str());
            view.FormClose();
            return 1;
        }
    }
    if (!options.dump_tables.empty() && view.Tables()) {
        std::ofstream dump(options.dump_tables, std::ios::binary);
        WriteTablesJson(*view.Tables(), dump);
        if (!dump) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.dump_tables.c_str());
            view.FormClose();
            return 1;
        }
    }
    if (!options.dump_media.empty()) {
        std::ofstream dump(options.dump_media, std::ios::binary);
        if (TMediaLayer* media = MediaLayer()) dump << media->DumpJson() << "\n";
        else dump << "null\n";
        if (!dump) {
            std::fprintf(stderr, "mobuplay: cannot write %s\n", options.dump_media.c_str());
            view.FormClose();
            return 1;
        }
    }
    view.FormClose();
    if (!audio_out.Close()) {
        std::fprintf(stderr, "mobuplay: cannot write %s\n", options.audio_out.c_str());
        return 1;
    }
    // A script that never gave the frame back was stopped by the watchdog.
    return ProjectParts().spin_stopped ? kSpinStoppedStatus : 0;
}

}  // namespace mobu
