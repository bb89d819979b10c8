#include "app/form_view.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/component_screen_bases.h"
#include "core/debug_trace.h"
#include "app/game_ini.h"
#include "archive/vr_file_manager.h"
#include "media/media_layer.h"
#include "app/game_ini_location.h"
#include "app/screenshot_key.h"
#include "app/game_location.h"
#include "core/globals.h"
#include "core/mobu_error.h"
#include "app/process_random.h"
#include "app/shell_messages.h"
#include "app/view_functions.h"
#include "components/component_functions.h"
#include "components/game_save_data.h"
#include "components/history_functions.h"
#include "components/mobu_history.h"
#include "expr/dbs/db_functions.h"
#include "expr/param_man.h"
#include "expr/sys_func_man.h"
#include "script/call_man.h"
#include "script/project_call_man.h"
#include "script/project_param_variables.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "script/project_parts.h"

namespace mobu {
namespace {

// Puts `title` where "%s" stands, without handing game text to a formatter.
std::string WithTitle(const std::string& pattern, const std::string& title)
{
    std::string text = pattern;
    size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, title);
    return text;
}


// A frame's script may run 5 s of wall time before the player asks whether to stop it.
constexpr uint32_t kDefaultSpinLimitMs = 5000;

}  // namespace

bool UserLocaleIsJapanese()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value[0] == 'j' && value[1] == 'a';
    }
    return false;
}

TFormView::TFormView(TViewHost& host, TGameStartup startup) : host_(host), startup_(std::move(startup)) {}

TFormView::~TFormView()
{
    FormClose();
    // The parts installed over this view's component list go with it.
    if (dynamic_cast<TComponentScreenBases*>(bases_.get())) {
        HistoryFormats().BoxSize = nullptr;
        InstallMessageHistoryRecorder(nullptr);
        ProjectParts().make_save_data = nullptr;
    }
}

void TFormView::FormCreate()
{
    std::string executable_folder = RealFolderOf(startup_.executable_path);
    std::remove((executable_folder + "mobuplay.log").c_str());
    DebugTrace("FormCreate");

    SeedProcessRandom(seed_override_ ? *seed_override_ : MillisecondsSinceMidnight());
    ProjectParts().spin_limit_ms = kDefaultSpinLimitMs;
    ProjectParts().spin_stopped = false;

    caption_ = PlayerCaption();
    host_.SetCaption(Cp932ToUtf8(caption_));

    try {
        LocateGameData(startup_.arguments, startup_.executable_path);
        // game.ini after the archives: the per-user file is named after the project's title.
        std::string ini = GameIniReadPath(
            LocateGameIni(ini_file_, startup_.arguments, startup_.executable_path, RegisteredProjectTitle));
        ReadGameIni(ini, SoundSettings);
        ProjectParts().spin_limit_ms = ReadSpinLimitMs(ini, kDefaultSpinLimitMs);
        screenshot_key_ = ScreenshotKeyOf(ReadGameIniText(ini));

        DebugTrace("TBasePanel.Create");
        if (!bases_) bases_ = std::make_unique<TComponentScreenBases>();

        DebugTrace("TParamCollection.Create");
        params_ = std::make_unique<TParamCollection>();
        ParamMan = params_.get();
        UseVariableTableForProject(params_.get());

        DebugTrace("TSysFuncMan.Create");
        functions_ = std::make_unique<TSysFuncMan>(*params_);
        SetGlobalSysFuncMan(functions_.get());
        functions_->DialogsAllowed = dialogs_allowed_;
        // GetProp and SetProp reach the components through the screen-base list.
        InstallComponentFunctions(*functions_);
        // The table database: its functions, and the table sections of saves and status data.
        DebugTrace("TDBManager.Create");
        database_ = std::make_unique<TDBManager>();
        SetGlobalDBManager(database_.get());
        InstallSaveTables(database_.get());
        InstallDBFunctions(*functions_, *database_);
        InstallHistoryFunctions(*functions_);
        // Input, screen, window and display state answer their system variables; the call
        // manager's variables go on top when it is made.
        view_variables_ = std::make_unique<TViewSystemVariables>(*params_, *this);
        history_variables_ = std::make_unique<THistorySystemVariables>(*params_);
        InstallViewFunctions(*functions_, *this);
        // The project's pages run on the call manager over this table and function manager;
        // component events reach it through the screen bases.
        UseCallManForProject(bases_->CallManComponents());
        InstallSaveContainer();

        InitGame();
    } catch (const std::exception& error) {
        startup_failed_ = true;
        QuitRequested = true;
        ShowMessageBox(error.what(), project_ ? project_->Title() : caption_, MessageIcon::Warning,
                       MessageButtons::Ok);
        host_.PostClose();
        return;
    }
    if (QuitRequested) host_.PostClose();
}

void TFormView::InstallSaveContainer()
{
    // The history formats start afresh with each game and record what tracked boxes show.
    HistoryFormats().Reset();
    InstallMessageHistoryRecorder(&HistoryFormats());
    auto* components = dynamic_cast<TComponentScreenBases*>(bases_.get());
    if (!components) {
        ProjectParts().make_save_data = nullptr;
        HistoryFormats().BoxSize = nullptr;
        return;
    }
    TMobuBaseList* list = &components->List();
    HistoryFormats().BoxSize = [list](const std::string& box) -> std::pair<int32_t, int32_t> {
        auto* control = dynamic_cast<TMobuControl*>(list->FindComponent(box));
        if (!control) return {0, 0};
        return {control->Width, control->Height};
    };
    ProjectParts().make_save_data = [list]() -> std::unique_ptr<TProjectSaveData> {
        return std::make_unique<TGameSaveData>(TGameSaveParts{list, nullptr, nullptr});
    };
}

void TFormView::InitGame()
{
    // The sound device opens with the media layer, once the project exists.
    DebugTrace("MobuInitialize");
    bases_ready_ = true;

    DebugTrace("TProject.Create");
    // The project closes the window when the player gives up waiting for a game disk.
    ProjectParts().request_close = [this] { host_.PostClose(); };
    project_ = project_factory_(startup_);
    if (!project_) return;
    // The Reset command also makes the history formats afresh.
    if (TCallMan* calls = ProjectCallMan()) calls->ResetHooks.push_back([] { HistoryFormats().Reset(); });

    DebugTrace("MediaInit");
    if (!SoundSettings.SoundFont.empty()) SetDefaultSoundFont(SoundSettings.SoundFont);
    int audio_rate = 44100, audio_channels = 2;
    std::unique_ptr<TAudioOutput> audio = host_.OpenAudio(audio_rate, audio_channels);
    MediaInit(TMediaOptions{SoundSettings.DirectSound, SoundSettings.UseWMP, VrFileManager().BaseFolder()},
              std::move(audio), audio_rate, audio_channels);
    caption_ = project_->Title();
    host_.SetCaption(Cp932ToUtf8(caption_));

    bases_->SetSize(project_->ScreenWidth(), project_->ScreenHeight());
    frame_.Resize(project_->ScreenWidth(), project_->ScreenHeight());
    display_modes_ = ListDisplayModes(project_->ScreenWidth(), project_->ScreenHeight());
    display_mode_index_ =
        ChooseDisplayMode(display_modes_, project_->ScreenWidth(), project_->ScreenHeight(), DesktopBitDepth());
    ApplyLayout(true);
}

void TFormView::ApplyLayout(bool centre)
{
    if (!project_) return;
    TViewLayout layout;
    layout.panel_width = project_->ScreenWidth();
    layout.panel_height = project_->ScreenHeight();
    layout.toolbar_visible = !full_screen_ && project_->ShowToolbar();
    int32_t strip = layout.toolbar_visible ? kToolbarStripHeight : 0;
    layout.client_width = layout.panel_width;
    layout.client_height = layout.panel_height + strip;
    layout.panel_x = (layout.client_width - layout.panel_width) / 2;
    layout.panel_y = full_screen_ ? (layout.client_height - layout.panel_height) / 2 : strip;
    layout_ = layout;
    host_.ApplyLayout(layout_, centre);
}

void TFormView::DoFrame()
{
    if (!project_) return;
    ++frames_run_;
    DeleteTempFiles();
    bases_->UpdateInput();
    project_->Run();
    if (QuitRequested) return;
    bases_->Animate();
    if (project_->ProcessPendingSaveLoad()) skip_draw_ = 1;
    if (skip_draw_ > 0) {
        --skip_draw_;  // the frame of a game load is not drawn
        return;
    }
    bases_->Render(frame_);
    host_.Present(frame_);
    frame_.all_dirty = false;
    frame_.dirty.clear();
    if (loop_) loop_->RateMeter().FramePresented();
}

void TFormView::ConfirmExit()
{
    bool was_quitting = QuitRequested;
    QuitRequested = true;  // no script runs while the question is open
    std::string title = project_ ? project_->Title() : std::string();
    std::string pattern = UserLocaleIsJapanese() ? ConfirmExitTextJapanese() : ConfirmExitTextEnglish();
    MessageResult answer =
        ShowMessageBox(WithTitle(pattern, title), title, MessageIcon::Question, MessageButtons::YesNo);
    if (answer == MessageResult::Yes) host_.PostClose();
    else QuitRequested = was_quitting;
}

void TFormView::FormClose()
{
    if (closed_) return;
    closed_ = true;
    QuitRequested = true;
    Shutdown();
    ProjectParts().request_close = nullptr;
    DebugTrace("FormClose");
}

void TFormView::Shutdown()
{
    if (loop_) loop_->Stop();
    DebugTrace("Project.Free");
    project_.reset();  // runs the exit page and writes the status data
    history_variables_.reset();
    view_variables_.reset();
    DebugTrace("SysFuncMan.Free");
    if (GlobalSysFuncMan() == functions_.get()) SetGlobalSysFuncMan(nullptr);
    functions_.reset();
    if (InstalledSaveTables() == database_.get()) InstallSaveTables(nullptr);
    if (GlobalDBManager() == database_.get()) SetGlobalDBManager(nullptr);
    database_.reset();
    DebugTrace("ParamMan.Free");
    if (ParamMan == params_.get()) ParamMan = nullptr;
    UseVariableTableForProject(nullptr);
    params_.reset();
    DebugTrace("MobuFinalize");
    bases_ready_ = false;
    bases_.reset();
    DebugTrace("MediaFinal");
    MediaFinal();
}

void TFormView::Activate()
{
    if (!project_ || project_->PauseWhenInactive()) {
        if (loop_) loop_->Resume();
    }
    if (bases_ready_) {
        active_ = true;
        LastTickMs = host_.NowMs();
        if (TMediaLayer* media = MediaLayer()) media->SetActive(true);
    }
}

void TFormView::Deactivate()
{
    if (project_ && !project_->PauseWhenInactive()) return;
    if (loop_) loop_->Suspend();
    if (bases_ready_) {
        active_ = false;
        if (TMediaLayer* media = MediaLayer()) media->SetActive(false);
        bases_->ClearKeys();
    }
}

void TFormView::SetFullScreen(bool on)
{
    DebugTrace("SetFullScreen");
    if (on == full_screen_ || !project_) return;
    if (loop_) loop_->SetSwitchInProgress(true);
    DebugTrace(on ? "SetFullScreen.Full" : "SetFullScreen.Normal");
    // The components let go of their surfaces around the display change, then re-create
    // them and the whole frame is drawn again.
    if (bases_ready_) bases_->ReleaseSurfaces();
    full_screen_ = host_.SwitchFullScreen(on);
    if (bases_ready_) bases_->RestoreSurfaces();
    DebugTrace("SetFullScreen.SetBounds");
    ApplyLayout(false);
    if (loop_) loop_->SetSwitchInProgress(false);
}

void TFormView::TakeScreenshot()
{
    if (frame_.width <= 0 || frame_.height <= 0) return;
    std::string error;
    std::string title = project_ ? project_->Title() : caption_;
    if (WriteScreenshot(frame_, title, std::time(nullptr), error).empty())
        std::fprintf(stderr, "mobuplay: the screenshot could not be written: %s\n", error.c_str());
}

void TFormView::WindowKeyDown(int code, bool auto_repeat)
{
    // The screenshot key is the player's: neither its press nor its release reaches the game.
    if (code != 0 && code == screenshot_key_) {
        if (!auto_repeat) TakeScreenshot();
        return;
    }
    if (auto_repeat || !active_ || !bases_ready_ || code <= 0 || code >= 256) return;
    bases_->KeyEvent(code, true);
    bases_->KeyClick(code);
}

void TFormView::WindowKeyUp(int code)
{
    if (code != 0 && code == screenshot_key_) return;
    if (!bases_ready_ || code <= 0 || code >= 256) return;
    bases_->KeyEvent(code, false);
}

void TFormView::PanelMouseDown(TMouseButton button)
{
    if (!active_ || !bases_ready_) return;
    bases_->MouseButtonDown(button);
}

void TFormView::PanelMouseUp()
{
    if (bases_ready_) bases_->MouseButtonUp();
}

void TFormView::PanelMouseMove(int32_t x, int32_t y)
{
    mouse_x_ = x;
    mouse_y_ = y;
    if (bases_ready_) bases_->MousePosition(x, y);
}

void TFormView::SetCursorX(int32_t x)
{
    if (!host_.WarpCursor(x, mouse_y_)) PanelMouseMove(x, mouse_y_);
}

void TFormView::SetCursorY(int32_t y)
{
    if (!host_.WarpCursor(mouse_x_, y)) PanelMouseMove(mouse_x_, y);
}

void TFormView::SetDisplayModeIndex(int32_t index)
{
    if (index >= 0 && index < static_cast<int32_t>(display_modes_.size())) display_mode_index_ = index;
}

void TFormView::MouseWheel(bool down)
{
    if (bases_ready_) bases_->Wheel(down);
}

}  // namespace mobu
