// TFormView: the main window's logic, shared by the window front end and the headless
// runner. It creates everything in a fixed order (FormCreate, InitGame), runs one frame
// per tick (DoFrame), routes input into the screen bases, asks before exiting and shuts
// down in a fixed order. The front end (TViewHost) does the platform work: the real
// window, presenting frames, message boxes, full screen.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio_output.h"
#include "platform/display_modes.h"
#include "platform/frame_buffer.h"
#include "platform/toolbar_strip.h"
#include "app/frame_loop.h"
#include "app/input_script.h"
#include "app/project_link.h"
#include "app/screen_bases.h"
#include "app/view_system_variables.h"
#include "expr/dbs/db_manager.h"
#include "components/history_functions.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"

namespace mobu {

struct TViewLayout {
    int32_t client_width = 0;
    int32_t client_height = 0;
    bool toolbar_visible = false;
    int32_t panel_x = 0, panel_y = 0;  // where the game screen sits in the client area
    int32_t panel_width = 0, panel_height = 0;
};

class TViewHost {
public:
    virtual ~TViewHost() = default;
    // Window caption (UTF-8).
    virtual void SetCaption(const std::string& utf8) = 0;
    // New client size, strip and panel placement; `centre` asks to centre the window in
    // the usable display area.
    virtual void ApplyLayout(const TViewLayout& layout, bool centre) = 0;
    // Close the window at the next opportunity (after the current frame).
    virtual void PostClose() = 0;
    virtual void Present(const FrameBuffer& frame) = 0;
    // Switches the platform display; returns whether the display is now full screen.
    virtual bool SwitchFullScreen(bool on) = 0;
    virtual uint32_t NowMs() = 0;
    // Moves the platform's mouse cursor to game point (x, y); false when there is no
    // cursor to move (the headless runner).
    virtual bool WarpCursor(int32_t /*x*/, int32_t /*y*/) { return false; }
    // The sound output the media layer mixes for, or nullptr when the host pulls the mixed
    // sound itself at `rate` and `channels` (the headless runner's virtual clock).
    virtual std::unique_ptr<TAudioOutput> OpenAudio(int& /*rate*/, int& /*channels*/) { return nullptr; }
};

// Which language the user's locale asks for (LC_ALL, then LC_MESSAGES, then LANG: the
// first one set; Japanese when it starts with "ja").
bool UserLocaleIsJapanese();

class TFormView {
public:
    TFormView(TViewHost& host, TGameStartup startup);
    ~TFormView();

    // The frame loop ticks DoFrame; activation suspends and resumes it.
    void AttachLoop(TFrameLoop* loop) { loop_ = loop; }
    // Replaces how the project is created (tests); before FormCreate.
    using TProjectFactory = std::function<std::unique_ptr<TProjectLink>(const TGameStartup&)>;
    void SetProjectFactory(TProjectFactory factory) { project_factory_ = std::move(factory); }
    // A fixed seed for the process random generator instead of the time of day.
    void SetSeed(uint32_t seed) { seed_override_ = seed; }
    // Whether the script's file dialogs may open (the headless runner opens none); before
    // FormCreate.
    void SetDialogsAllowed(bool allowed) { dialogs_allowed_ = allowed; }
    // game.ini named by --ini (UTF-8), instead of the usual place.
    void SetIniFile(std::string path) { ini_file_ = std::move(path); }
    // Replaces the screen bases (the component list, once it exists); before FormCreate.
    void SetScreenBases(std::unique_ptr<TScreenBases> bases) { bases_ = std::move(bases); }

    // Window creation. On failure the message has been shown, QuitRequested is set and a
    // close has been posted.
    void FormCreate();
    bool StartupFailed() const { return startup_failed_; }

    void DoFrame();
    // "終了": asks, and posts a close on Yes.
    void ConfirmExit();
    // The window closes: QuitRequested, then Shutdown. Safe to call twice.
    void FormClose();

    void Activate();
    void Deactivate();
    bool Active() const { return active_; }

    // "画面切替", Alt+Enter, F11.
    void SetFullScreen(bool on);
    bool FullScreen() const { return full_screen_; }

    // Input, already as virtual-key codes and game (panel) coordinates.
    void WindowKeyDown(int code, bool auto_repeat);
    void WindowKeyUp(int code);
    // Writes the current game frame to the user's pictures folder (the screenshot key).
    void TakeScreenshot();
    void PanelMouseDown(TMouseButton button);
    void PanelMouseUp();
    void PanelMouseMove(int32_t x, int32_t y);
    void MouseWheel(bool down);

    // The system variables of the mouse position move the cursor: x (resp. y) becomes the
    // value in game coordinates, the other coordinate stays.
    void SetCursorX(int32_t x);
    void SetCursorY(int32_t y);

    // The pointer position last given to the bases.
    int32_t MouseX() const { return mouse_x_; }
    int32_t MouseY() const { return mouse_y_; }
    // Frames run since the game started ("@UpdateCount").
    int32_t FramesRun() const { return frames_run_; }
    // The display modes of the project's screen and the one reported as current. This
    // platform stays in desktop full screen with the frame scaled, so a chosen mode is
    // reported, never set on the monitor; an index out of range is ignored.
    const std::vector<TDisplayMode>& DisplayModes() const { return display_modes_; }
    int32_t DisplayModeIndex() const { return display_mode_index_; }
    void SetDisplayModeIndex(int32_t index);

    const TProjectLink* Project() const { return project_.get(); }
    // The variable table (null before FormCreate and after the shutdown).
    const TParamCollection* Variables() const { return params_.get(); }
    const TDBManager* Tables() const { return database_.get(); }
    TScreenBases* Bases() { return bases_.get(); }
    const FrameBuffer& Frame() const { return frame_; }
    const TViewLayout& Layout() const { return layout_; }
    // The caption shown now, cp932.
    const std::string& Caption() const { return caption_; }

private:
    void InitGame();
    // The save container and the history formats, over the component list.
    void InstallSaveContainer();
    void ApplyLayout(bool centre);
    void Shutdown();

    TViewHost& host_;
    TGameStartup startup_;
    TFrameLoop* loop_ = nullptr;
    std::unique_ptr<TScreenBases> bases_;
    bool bases_ready_ = false;
    std::unique_ptr<TParamCollection> params_;
    std::unique_ptr<TSysFuncMan> functions_;
    std::unique_ptr<TDBManager> database_;
    std::unique_ptr<TViewSystemVariables> view_variables_;
    std::unique_ptr<THistorySystemVariables> history_variables_;
    std::unique_ptr<TProjectLink> project_;
    FrameBuffer frame_;
    TViewLayout layout_;
    std::string caption_;
    bool active_ = false;
    bool full_screen_ = false;
    bool startup_failed_ = false;
    bool closed_ = false;
    int32_t skip_draw_ = 0;
    int32_t mouse_x_ = 0, mouse_y_ = 0;  // last position given to the bases
    int32_t frames_run_ = 0;
    bool dialogs_allowed_ = true;
    std::vector<TDisplayMode> display_modes_;
    int32_t display_mode_index_ = -1;
    std::optional<uint32_t> seed_override_;
    std::string ini_file_;
    int screenshot_key_ = 0;  // virtual-key code the player keeps for screenshots (0: none)
    TProjectFactory project_factory_ = CreateProjectLink;
};

}  // namespace mobu
