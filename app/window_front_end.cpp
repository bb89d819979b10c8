#include "app/window_front_end.h"

#include <cstdio>

#include "app/form_view.h"
#include "app/frame_loop.h"
#include "app/game_ini.h"
#include "app/shell_messages.h"
#include "components/panel_pointer.h"
#include "core/globals.h"
#include "platform/message_box.h"
#include "platform/sdl_pointer.h"
#include "platform/file_dialogs.h"
#include "platform/sdl_window.h"

namespace mobu {
namespace {

// The view's host over the SDL window, and the window's events fed to the view.
class TWindowHost : public TViewHost, public TWindowEvents {
public:
    explicit TWindowHost(TSdlWindow& window) : window_(window) { window_.SetEvents(this); }
    ~TWindowHost() override { window_.SetEvents(nullptr); }

    void Attach(TFormView* view) { view_ = view; }

    void SetCaption(const std::string& utf8) override { window_.SetCaption(utf8); }
    std::unique_ptr<TAudioOutput> OpenAudio(int&, int&) override { return OpenAudioOutput(); }
    void ApplyLayout(const TViewLayout& layout, bool centre) override
    {
        window_.SetScaling(static_cast<TScaleMode>(SoundSettings.ScaleMode), SoundSettings.WindowScale,
                           SoundSettings.SmoothScaling);
        window_.ApplyLayout(TWindowLayout{layout.client_width, layout.client_height, layout.toolbar_visible,
                                          layout.panel_x, layout.panel_y},
                            centre);
    }
    void PostClose() override { window_.PostClose(); }
    void Present(const FrameBuffer& frame) override { window_.Present(frame); }
    bool SwitchFullScreen(bool on) override { return window_.SwitchFullScreen(on); }
    uint32_t NowMs() override { return window_.NowMs(); }
    bool WarpCursor(int32_t x, int32_t y) override { return window_.WarpCursor(x, y); }

    void KeyDown(int virtual_key, bool repeat) override { view_->WindowKeyDown(virtual_key, repeat); }
    void KeyUp(int virtual_key) override { view_->WindowKeyUp(virtual_key); }
    void MouseMove(int32_t game_x, int32_t game_y) override { view_->PanelMouseMove(game_x, game_y); }
    void MouseDown(TPointerButton button) override
    {
        view_->PanelMouseDown(button == TPointerButton::Left    ? TMouseButton::Left
                              : button == TPointerButton::Right ? TMouseButton::Right
                                                                : TMouseButton::Middle);
    }
    void MouseUp() override { view_->PanelMouseUp(); }
    void MouseWheel(bool down) override { view_->MouseWheel(down); }
    void Activated() override { view_->Activate(); }
    void Deactivated() override { view_->Deactivate(); }
    void FullScreenAsked() override { view_->SetFullScreen(!view_->FullScreen()); }
    void ExitAsked() override { view_->ConfirmExit(); }

private:
    TSdlWindow& window_;
    TFormView* view_ = nullptr;
};

// The pointer the component list chooses, shown as SDL colour cursors kept by cursor file
// and frame.
class TWindowPointer : public TPointerDevice {
public:
    void ShowShape(const std::string& path, const TCursorShape& shape, size_t frame) override
    {
        std::string key = path + '\n' + std::to_string(frame);
        if (pointer_.Has(key)) {
            pointer_.Show(key, 0, 0, 0, 0, nullptr);
            return;
        }
        const TCursorFrame& f = shape.Frames.at(frame);
        pointer_.Show(key, f.Width, f.Height, f.HotSpotX, f.HotSpotY, f.Pixels.data());
    }
    void ShowArrow() override { pointer_.ShowArrow(); }

private:
    TSdlPointer pointer_;
};

// The clock of the window path: waiting is handling window events until the deadline.
class TEventClock : public TFrameClock {
public:
    explicit TEventClock(TSdlWindow& window) : window_(window) {}
    uint32_t NowMs() override { return window_.NowMs(); }
    void WaitMs(uint32_t ms) override { window_.PumpEvents(ms); }
    void WaitIdle() override { window_.PumpIdle(); }

private:
    TSdlWindow& window_;
};

}  // namespace

int RunWindow(const TCommandLine& line, const std::string& executable_path)
{
    std::string error;
    std::unique_ptr<TSdlWindow> window = TSdlWindow::Open(error);
    if (!window) {
        std::fprintf(stderr, "mobuplay: cannot open a window (%s); try --headless\n", error.c_str());
        return 1;
    }
    window->SetToolbarCaptions(ExitButtonCaption(), ScreenSwitchButtonCaption());
    MessageBoxPresenter previous = SetMessageBoxPresenter(nullptr);
    SetMessageBoxPresenter(window->MessageBoxes(previous, UserLocaleIsJapanese()));

    int status = 0;
    {
        TWindowPointer pointer;
        SetPointerDevice(&pointer);
        struct TRestorePointer {
            ~TRestorePointer() { SetPointerDevice(nullptr); }
        } restore_pointer;
        TWindowHost host(*window);
        window->CloseAfterFrames(line.window_frames);
        TFormView view(host, TGameStartup{line.games, executable_path});
        if (line.seed) view.SetSeed(*line.seed);
        view.SetIniFile(line.ini_file);
        TEventClock clock(*window);
        TFrameLoop loop(clock, [&view] { view.DoFrame(); });
        host.Attach(&view);
        view.AttachLoop(&loop);

        // A file dialog of the script: full screen is left for it, the window keeps handling
        // its own events and shows the last frame, no frame runs; full screen comes back after.
        bool full_screen_before_dialog = false;
        SetDialogHooks({[&] {
                            full_screen_before_dialog = view.FullScreen();
                            if (full_screen_before_dialog) view.SetFullScreen(false);
                        },
                        [&] { window->PumpWindowEventsOnly(); },
                        [&] {
                            if (full_screen_before_dialog) view.SetFullScreen(true);
                        }});
        struct TRestoreDialogHooks {
            ~TRestoreDialogHooks() { SetDialogHooks({}); }
        } restore_dialog_hooks;

        view.FormCreate();
        bool started = !QuitRequested && !window->ClosePosted();
        if (started) {
            window->Show();
            if (SoundSettings.FullScreen) view.SetFullScreen(true);  // game.ini [Video] FullScreen
            view.Activate();
            loop.Start();
            while (!window->ClosePosted() && !loop.Stopped()) loop.Step();
        }
        if (view.StartupFailed()) {
            status = 1;
        } else if (!view.Project() || (QuitRequested && !started)) {
            std::fprintf(stderr, "mobuplay: the game did not start (no project file found in %s)\n",
                         line.games.empty() ? "the player's folder" : line.games.front().c_str());
            status = 1;
        }
        view.FormClose();
    }
    SetMessageBoxPresenter(previous);
    return status;
}

}  // namespace mobu
