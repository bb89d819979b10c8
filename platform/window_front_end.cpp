#include "platform/window_front_end.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/form_view.h"
#include "app/game_ini.h"
#include "app/frame_loop.h"
#include "app/globals.h"
#include "app/shell_messages.h"
#include "platform/frame_placement.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"
#include "platform/toolbar_font.h"
#include "platform/virtual_keys.h"

namespace mobu {
namespace {

constexpr uint32_t kStripColour = 0xF0F0F0;
constexpr uint32_t kLightEdge = 0xFFFFFF;
constexpr uint32_t kShadowEdge = 0xA0A0A0;
constexpr uint32_t kDarkEdge = 0x696969;
constexpr uint32_t kCaptionColour = 0x000000;
constexpr int kButtonCount = 2;

// The toolbar strip, drawn by hand: two push buttons side by side.
class TToolbar {
public:
    TToolbar() { font_ok_ = font_.Load(12); }

    // Button index under strip point (x, y), or -1.
    static int ButtonAt(int x, int y)
    {
        for (int i = 0; i < kButtonCount; ++i) {
            int left = 2 + i * kToolbarButtonWidth;
            if (x >= left && x < left + kToolbarButtonWidth && y >= 2 && y < 2 + kToolbarButtonHeight) return i;
        }
        return -1;
    }

    // Draws the strip `width` pixels wide with button `pressed` (or -1) held down.
    void Draw(std::vector<uint32_t>& pixels, int width, int pressed)
    {
        pixels.assign(static_cast<size_t>(width) * kToolbarStripHeight, kStripColour);
        const std::string captions[kButtonCount] = {Cp932ToUtf8(ExitButtonCaption()),
                                                    Cp932ToUtf8(ScreenSwitchButtonCaption())};
        for (int i = 0; i < kButtonCount; ++i) {
            int left = 2 + i * kToolbarButtonWidth, top = 2;
            int right = left + kToolbarButtonWidth - 1, bottom = top + kToolbarButtonHeight - 1;
            bool down = i == pressed;
            auto put = [&](int x, int y, uint32_t colour) {
                if (x >= 0 && x < width && y >= 0 && y < kToolbarStripHeight) pixels[y * width + x] = colour;
            };
            for (int x = left; x <= right; ++x) {
                put(x, top, down ? kDarkEdge : kLightEdge);
                put(x, bottom, down ? kLightEdge : kDarkEdge);
                put(x, bottom - 1, down ? kStripColour : kShadowEdge);
            }
            for (int y = top; y <= bottom; ++y) {
                put(left, y, down ? kDarkEdge : kLightEdge);
                put(right, y, down ? kLightEdge : kDarkEdge);
                if (y > top && y < bottom) put(right - 1, y, down ? kStripColour : kShadowEdge);
            }
            int shift = down ? 1 : 0;
            if (font_ok_)
                font_.Draw(pixels.data(), width, kToolbarStripHeight, (left + right + 1) / 2 + shift,
                           (top + bottom + 1) / 2 + shift, captions[i], kCaptionColour);
        }
    }

private:
    TToolbarFont font_;
    bool font_ok_ = false;
};

class TWindowHost;

// The clock of the window path: waiting is handling window events until the deadline.
class TEventClock : public TFrameClock {
public:
    explicit TEventClock(TWindowHost& host) : host_(host) {}
    uint32_t NowMs() override { return SDL_GetTicks(); }
    void WaitMs(uint32_t ms) override;
    void WaitIdle() override;

private:
    TWindowHost& host_;
};

class TWindowHost : public TViewHost {
public:
    TWindowHost(SDL_Window* window, SDL_Renderer* renderer) : window_(window), renderer_(renderer) {}
    ~TWindowHost() override
    {
        if (frame_texture_) SDL_DestroyTexture(frame_texture_);
        if (strip_texture_) SDL_DestroyTexture(strip_texture_);
    }

    void Attach(TFormView* view, TFrameLoop* loop)
    {
        view_ = view;
        loop_ = loop;
    }

    void SetCaption(const std::string& utf8) override { SDL_SetWindowTitle(window_, utf8.c_str()); }

    void ApplyLayout(const TViewLayout& layout, bool centre) override
    {
        layout_ = layout;
        if (!full_screen_) {
            SDL_SetWindowSize(window_, layout.client_width, layout.client_height);
            if (centre) Centre();
        }
        RebuildStrip();
    }

    void PostClose() override { close_posted_ = true; }
    void CloseAfterFrames(int64_t frames) { frames_left_ = frames; }

    void Present(const FrameBuffer& frame) override
    {
        if (frame.width <= 0 || frame.height <= 0) return;
        if (frames_left_ > 0 && --frames_left_ == 0) close_posted_ = true;  // after this one is shown
        bool full_update = false;
        if (!frame_texture_ || texture_width_ != frame.width || texture_height_ != frame.height) {
            full_update = true;
            if (frame_texture_) SDL_DestroyTexture(frame_texture_);
            // Nearest-neighbour scaling unless the game asks for smooth scaling.
            SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, SoundSettings.SmoothScaling ? "1" : "0");
            frame_texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                               frame.width, frame.height);
            texture_width_ = frame.width;
            texture_height_ = frame.height;
        }
        if (frame_texture_) {
            if (full_update || frame.all_dirty) {
                SDL_UpdateTexture(frame_texture_, nullptr, frame.pixels.data(), frame.pitch);
            } else {
                // Only what changed goes to the texture.
                for (const TRect& r : frame.dirty) {
                    if (r.IsEmpty()) continue;
                    SDL_Rect area{r.Left, r.Top, r.Width(), r.Height()};
                    SDL_UpdateTexture(frame_texture_, &area, frame.Row(r.Top) + r.Left, frame.pitch);
                }
            }
        }
        Redraw();
    }

    bool SwitchFullScreen(bool on) override
    {
        if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) full_screen_ = on;
        strip_revealed_ = false;
        if (!full_screen_) {
            SDL_SetWindowSize(window_, layout_.client_width, layout_.client_height);
        }
        return full_screen_;
    }

    uint32_t NowMs() override { return SDL_GetTicks(); }

    bool WarpCursor(int32_t x, int32_t y) override
    {
        int window_x = x + layout_.panel_x, window_y = y + layout_.panel_y;
        if (full_screen_) {
            int output_width = 0, output_height = 0, window_width = 0, window_height = 0;
            SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
            SDL_GetWindowSize(window_, &window_width, &window_height);
            TPlacement placed = PlaceFrame(texture_width_, texture_height_, output_width, output_height);
            if (placed.width <= 0 || output_width <= 0 || output_height <= 0) return false;
            // The centre of the game pixel, back in window points.
            double output_x = placed.x + (x + 0.5) * placed.width / texture_width_;
            double output_y = placed.y + (y + 0.5) * placed.height / texture_height_;
            window_x = static_cast<int>(output_x * window_width / output_width);
            window_y = static_cast<int>(output_y * window_height / output_height);
        }
        SDL_WarpMouseInWindow(window_, window_x, window_y);  // arrives back as a mouse move
        return true;
    }

    bool ClosePosted() const { return close_posted_; }

    void Handle(const SDL_Event& event)
    {
        switch (event.type) {
            case SDL_QUIT: close_posted_ = true; break;
            case SDL_WINDOWEVENT: HandleWindowEvent(event.window); break;
            case SDL_KEYDOWN: HandleKeyDown(event.key); break;
            case SDL_KEYUP: view_->WindowKeyUp(VirtualKeyFromSdlKey(event.key.keysym.sym)); break;
            case SDL_MOUSEMOTION: HandleMouseMove(event.motion.x, event.motion.y); break;
            case SDL_MOUSEBUTTONDOWN: HandleMouseDown(event.button); break;
            case SDL_MOUSEBUTTONUP: HandleMouseUp(event.button); break;
            case SDL_MOUSEWHEEL: {
                int amount = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
                if (amount != 0) view_->MouseWheel(amount < 0);
                break;
            }
            default: break;
        }
    }

    void Redraw()
    {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        int output_width = 0, output_height = 0;
        SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
        if (frame_texture_) {
            SDL_Rect target = FrameRect(output_width, output_height);
            SDL_RenderCopy(renderer_, frame_texture_, nullptr, &target);
        }
        if (strip_texture_ && StripShown()) {
            SDL_Rect strip = {0, 0, layout_.client_width, kToolbarStripHeight};
            SDL_RenderCopy(renderer_, strip_texture_, nullptr, &strip);
        }
        SDL_RenderPresent(renderer_);
    }

    bool StripShown() const { return full_screen_ ? strip_revealed_ : layout_.toolbar_visible; }

    SDL_Rect FrameRect(int output_width, int output_height) const
    {
        if (!full_screen_) return {layout_.panel_x, layout_.panel_y, texture_width_, texture_height_};
        TPlacement placed = PlaceFrame(texture_width_, texture_height_, output_width, output_height);
        return {placed.x, placed.y, placed.width, placed.height};
    }

    // Centres again once the window is shown: only then are its decorations known.
    void CentreShown()
    {
        if (!full_screen_) Centre();
    }

private:
    void Centre()
    {
        int display = SDL_GetWindowDisplayIndex(window_);
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) return;
        int top = 0, left = 0, bottom = 0, right = 0;
        SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right);  // zeros when unknown
        int outer_width = layout_.client_width + left + right;
        int outer_height = layout_.client_height + top + bottom;
        // Whole-number halves truncate toward zero, also when the window is larger.
        int x = usable.x + (usable.w - outer_width) / 2 + left;
        int y = usable.y + (usable.h - outer_height) / 2 + top;
        SDL_SetWindowPosition(window_, x, y);
    }

    void RebuildStrip()
    {
        if (strip_texture_) SDL_DestroyTexture(strip_texture_);
        strip_texture_ = nullptr;
        int width = std::max(layout_.client_width, 2 + kButtonCount * kToolbarButtonWidth + 2);
        std::vector<uint32_t> pixels;
        toolbar_.Draw(pixels, width, pressed_button_ >= 0 && hover_pressed_ ? pressed_button_ : -1);
        strip_texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STATIC, width,
                                           kToolbarStripHeight);
        if (strip_texture_) SDL_UpdateTexture(strip_texture_, nullptr, pixels.data(), width * 4);
        strip_width_ = width;
    }

    void HandleWindowEvent(const SDL_WindowEvent& event)
    {
        switch (event.event) {
            case SDL_WINDOWEVENT_CLOSE: close_posted_ = true; break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: view_->Activate(); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: view_->Deactivate(); break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED: Redraw(); break;
            default: break;
        }
    }

    void HandleKeyDown(const SDL_KeyboardEvent& key)
    {
        SDL_Keycode sym = key.keysym.sym;
        bool alt_enter = (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT);
        if (sym == SDLK_F11 || alt_enter) {
            if (!key.repeat) view_->SetFullScreen(!view_->FullScreen());
            return;
        }
        view_->WindowKeyDown(VirtualKeyFromSdlKey(sym), key.repeat != 0);
    }

    // Whether window point (x, y) lies on the strip as it is shown now.
    bool OnStrip(int x, int y) const { return StripShown() && y >= 0 && y < kToolbarStripHeight && x < strip_width_; }

    void ToGame(int x, int y, int32_t& game_x, int32_t& game_y)
    {
        if (!full_screen_) {
            game_x = x - layout_.panel_x;
            game_y = y - layout_.panel_y;
            return;
        }
        int output_width = 0, output_height = 0;
        SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
        int window_width = 0, window_height = 0;
        SDL_GetWindowSize(window_, &window_width, &window_height);
        if (window_width > 0 && window_height > 0) {  // high-density outputs have more pixels than points
            x = x * output_width / window_width;
            y = y * output_height / window_height;
        }
        TPlacement placed = PlaceFrame(texture_width_, texture_height_, output_width, output_height);
        OutputToGame(placed, texture_width_, texture_height_, x, y, game_x, game_y);
    }

    void HandleMouseMove(int x, int y)
    {
        if (full_screen_) {
            bool reveal = y == 0 || (strip_revealed_ && y < kToolbarStripHeight);
            if (reveal != strip_revealed_) {
                strip_revealed_ = reveal;
                Redraw();
            }
        }
        if (pressed_button_ >= 0) {
            bool over = TToolbar::ButtonAt(x, y) == pressed_button_;
            if (over != hover_pressed_) {
                hover_pressed_ = over;
                RebuildStrip();
                Redraw();
            }
            return;
        }
        int32_t game_x = 0, game_y = 0;
        ToGame(x, y, game_x, game_y);
        view_->PanelMouseMove(game_x, game_y);
    }

    void HandleMouseDown(const SDL_MouseButtonEvent& button)
    {
        if (OnStrip(button.x, button.y)) {
            if (button.button == SDL_BUTTON_LEFT) {
                pressed_button_ = TToolbar::ButtonAt(button.x, button.y);
                hover_pressed_ = pressed_button_ >= 0;
                if (hover_pressed_) {
                    RebuildStrip();
                    Redraw();
                }
            }
            return;
        }
        TMouseButton which = button.button == SDL_BUTTON_LEFT    ? TMouseButton::Left
                             : button.button == SDL_BUTTON_RIGHT ? TMouseButton::Right
                                                                 : TMouseButton::Middle;
        view_->PanelMouseDown(which);
    }

    void HandleMouseUp(const SDL_MouseButtonEvent& button)
    {
        if (pressed_button_ >= 0 && button.button == SDL_BUTTON_LEFT) {
            int clicked = TToolbar::ButtonAt(button.x, button.y) == pressed_button_ ? pressed_button_ : -1;
            pressed_button_ = -1;
            hover_pressed_ = false;
            RebuildStrip();
            Redraw();
            if (clicked == 0) view_->ConfirmExit();
            else if (clicked == 1) view_->SetFullScreen(!view_->FullScreen());
            return;
        }
        view_->PanelMouseUp();
    }

    SDL_Window* window_;
    SDL_Renderer* renderer_;
    TFormView* view_ = nullptr;
    TFrameLoop* loop_ = nullptr;
    TToolbar toolbar_;
    TViewLayout layout_;
    SDL_Texture* frame_texture_ = nullptr;
    SDL_Texture* strip_texture_ = nullptr;
    int texture_width_ = 0, texture_height_ = 0;
    int strip_width_ = 0;
    bool full_screen_ = false;
    bool strip_revealed_ = false;
    bool close_posted_ = false;
    int64_t frames_left_ = 0;  // presented frames until the window closes by itself; 0: never
    int pressed_button_ = -1;
    bool hover_pressed_ = false;

    friend class TEventClock;
};

void TEventClock::WaitMs(uint32_t ms)
{
    uint32_t deadline = SDL_GetTicks() + ms;
    while (!host_.ClosePosted()) {
        int32_t remaining = static_cast<int32_t>(deadline - SDL_GetTicks());
        if (remaining <= 0) break;
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, remaining)) host_.Handle(event);
    }
    SDL_Event event;
    while (!host_.ClosePosted() && SDL_PollEvent(&event)) host_.Handle(event);
}

void TEventClock::WaitIdle()
{
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 1000)) host_.Handle(event);
}

// Message boxes as SDL shows them, parented to the game window.
MessageBoxPresenter SdlPresenter(SDL_Window* window, MessageBoxPresenter fallback)
{
    return [window, fallback](const MessageBoxRequest& request) {
        bool japanese = UserLocaleIsJapanese();
        std::vector<SDL_MessageBoxButtonData> buttons;
        switch (request.buttons) {
            case MessageButtons::Ok:
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                                   static_cast<int>(MessageResult::Ok), "OK"});
                break;
            case MessageButtons::OkCancel:
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(MessageResult::Ok), "OK"});
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(MessageResult::Cancel),
                                   japanese ? "キャンセル" : "Cancel"});
                break;
            case MessageButtons::YesNo:
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(MessageResult::Yes),
                                   japanese ? "はい" : "Yes"});
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(MessageResult::No),
                                   japanese ? "いいえ" : "No"});
                break;
        }
        uint32_t flags = request.icon == MessageIcon::Warning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
        std::string text = Cp932ToUtf8(request.text);
        std::string caption = Cp932ToUtf8(request.caption);
        SDL_MessageBoxData data = {flags, window, caption.c_str(), text.c_str(), static_cast<int>(buttons.size()),
                                   buttons.data(), nullptr};
        int chosen = -1;
        if (SDL_ShowMessageBox(&data, &chosen) != 0) {
            std::fprintf(stderr, "mobuplay: cannot show a message box (%s)\n", SDL_GetError());
            return fallback(request);
        }
        if (chosen < 0)  // closed without a button: the escape answer
            return request.buttons == MessageButtons::Ok       ? MessageResult::Ok
                   : request.buttons == MessageButtons::YesNo ? MessageResult::No
                                                              : MessageResult::Cancel;
        return static_cast<MessageResult>(chosen);
    };
}

}  // namespace

int RunWindow(const TCommandLine& line, const std::string& executable_path)
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");  // no screen saver while the player runs
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "mobuplay: cannot open a window (%s); try --headless\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("MobuPlayer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                          SDL_WINDOW_HIDDEN);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) {
        std::fprintf(stderr, "mobuplay: cannot open a window (%s); try --headless\n", SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return 1;
    }
    MessageBoxPresenter previous = SetMessageBoxPresenter(nullptr);
    SetMessageBoxPresenter(SdlPresenter(window, previous));

    int status = 0;
    {
        TWindowHost host(window, renderer);
        host.CloseAfterFrames(line.window_frames);
        TFormView view(host, TGameStartup{line.games, executable_path});
        if (line.seed) view.SetSeed(*line.seed);
        TEventClock clock(host);
        TFrameLoop loop(clock, [&view] { view.DoFrame(); });
        host.Attach(&view, &loop);
        view.AttachLoop(&loop);

        view.FormCreate();
        bool started = !QuitRequested && !host.ClosePosted();
        if (started) {
            SDL_ShowWindow(window);
            SDL_RaiseWindow(window);
            host.CentreShown();
            view.Activate();
            host.Redraw();
            loop.Start();
            while (!host.ClosePosted() && !loop.Stopped()) loop.Step();
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
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return status;
}

}  // namespace mobu
