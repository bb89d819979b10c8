#include "platform/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "platform/frame_placement.h"
#include "platform/text_encoding.h"
#include "platform/virtual_keys.h"

namespace mobu {

std::string NoDisplayReason()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        const char* value = std::getenv(name);
        if (value && *value) return {};
    }
    return "no display: DISPLAY and WAYLAND_DISPLAY are not set";
}

std::unique_ptr<TSdlWindow> TSdlWindow::Open(std::string& error)
{
    error = NoDisplayReason();
    if (!error.empty()) return nullptr;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");  // no screen saver while the player runs
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_Window* window = SDL_CreateWindow("MobuPlayer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) {
        error = SDL_GetError();
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return nullptr;
    }
    return std::unique_ptr<TSdlWindow>(new TSdlWindow(window, renderer));
}

TSdlWindow::TSdlWindow(SDL_Window* window, SDL_Renderer* renderer) : window_(window), renderer_(renderer) {}

TSdlWindow::~TSdlWindow()
{
    if (frame_texture_) SDL_DestroyTexture(frame_texture_);
    if (strip_texture_) SDL_DestroyTexture(strip_texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
}

void TSdlWindow::SetToolbarCaptions(const std::string& exit_cp932, const std::string& switch_cp932)
{
    strip_.SetCaptions(exit_cp932, switch_cp932);
    RebuildStrip();
}

void TSdlWindow::SetCaption(const std::string& utf8) { SDL_SetWindowTitle(window_, utf8.c_str()); }

void TSdlWindow::SetScaling(TScaleMode mode, int32_t window_scale, std::optional<bool> smooth)
{
    scale_mode_ = mode;
    window_scale_ = window_scale;
    smooth_ = smooth;
}

int32_t TSdlWindow::PanelHeight() const
{
    if (texture_height_ > 0) return texture_height_;
    return layout_.client_height - (full_screen_ ? 0 : layout_.panel_y);
}

int32_t TSdlWindow::ChooseWindowFactor() const
{
    int display = SDL_GetWindowDisplayIndex(window_);
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) return std::max(1, window_scale_);
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right);  // zeros when unknown
    int32_t panel_height = layout_.client_height - layout_.panel_y;
    return FitWindowScale(window_scale_, layout_.client_width, panel_height, layout_.panel_y, usable.w - left - right,
                          usable.h - top - bottom);
}

void TSdlWindow::ApplyLayout(const TWindowLayout& layout, bool centre)
{
    layout_ = layout;
    if (!full_screen_) {
        window_factor_ = ChooseWindowFactor();
        SDL_SetWindowSize(window_, ScaledClientWidth(), ScaledClientHeight());
        if (centre) Centre();
    }
    RebuildStrip();
}

void TSdlWindow::PointsToOutput(int& x, int& y) const
{
    int output_width = 0, output_height = 0, window_width = 0, window_height = 0;
    SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
    SDL_GetWindowSize(window_, &window_width, &window_height);
    if (window_width > 0 && window_height > 0) {
        x = x * output_width / window_width;
        y = y * output_height / window_height;
    }
}

TPlacement TSdlWindow::FramePlacement() const
{
    int output_width = 0, output_height = 0;
    SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
    int strip_x = 0, strip = 0;
    if (!full_screen_ && layout_.toolbar_visible) {
        strip = kToolbarStripHeight;
        PointsToOutput(strip_x, strip);
    }
    TPlacement placed = PlaceFrame(PanelWidth(), PanelHeight(), output_width, output_height - strip, scale_mode_);
    placed.y += strip;
    return placed;
}

void TSdlWindow::Present(const FrameBuffer& frame)
{
    if (frame.width <= 0 || frame.height <= 0) return;
    if (frames_left_ > 0 && --frames_left_ == 0) close_posted_ = true;  // after this one is shown
    bool full_update = false;
    if (!frame_texture_ || texture_width_ != frame.width || texture_height_ != frame.height) {
        full_update = true;
        if (frame_texture_) SDL_DestroyTexture(frame_texture_);
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

bool TSdlWindow::SwitchFullScreen(bool on)
{
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) full_screen_ = on;
    strip_revealed_ = false;
    if (!full_screen_) SDL_SetWindowSize(window_, ScaledClientWidth(), ScaledClientHeight());
    return full_screen_;
}

uint32_t TSdlWindow::NowMs() const { return SDL_GetTicks(); }

bool TSdlWindow::WarpCursor(int32_t x, int32_t y)
{
    int output_width = 0, output_height = 0, window_width = 0, window_height = 0;
    SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
    SDL_GetWindowSize(window_, &window_width, &window_height);
    TPlacement placed = FramePlacement();
    if (placed.width <= 0 || output_width <= 0 || output_height <= 0) return false;
    // The centre of the game pixel, back in window points.
    double output_x = placed.x + (x + 0.5) * placed.width / PanelWidth();
    double output_y = placed.y + (y + 0.5) * placed.height / PanelHeight();
    int window_x = static_cast<int>(output_x * window_width / output_width);
    int window_y = static_cast<int>(output_y * window_height / output_height);
    SDL_WarpMouseInWindow(window_, window_x, window_y);  // arrives back as a mouse move
    return true;
}

void TSdlWindow::PumpEvents(uint32_t ms)
{
    uint32_t deadline = SDL_GetTicks() + ms;
    while (!close_posted_) {
        int32_t remaining = static_cast<int32_t>(deadline - SDL_GetTicks());
        if (remaining <= 0) break;
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, remaining)) Handle(event);
    }
    SDL_Event event;
    while (!close_posted_ && SDL_PollEvent(&event)) Handle(event);
}

void TSdlWindow::PumpIdle()
{
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 1000)) Handle(event);
}

void TSdlWindow::PumpWindowEventsOnly()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) close_posted_ = true;
        if (event.type != SDL_WINDOWEVENT) continue;
        switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: close_posted_ = true; break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED: Redraw(); break;
            default: break;
        }
    }
}

void TSdlWindow::Show()
{
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    if (!full_screen_) Centre();
    Redraw();
}

void TSdlWindow::Handle(const SDL_Event& event)
{
    if (!events_) return;
    switch (event.type) {
        case SDL_QUIT: close_posted_ = true; break;
        case SDL_WINDOWEVENT: HandleWindowEvent(event.window.event); break;
        case SDL_KEYDOWN: HandleKeyDown(event.key.keysym.sym, event.key.keysym.mod, event.key.repeat != 0); break;
        case SDL_KEYUP: events_->KeyUp(VirtualKeyFromSdlKey(event.key.keysym.sym)); break;
        case SDL_MOUSEMOTION: HandleMouseMove(event.motion.x, event.motion.y); break;
        case SDL_MOUSEBUTTONDOWN: HandleMouseDown(event.button.x, event.button.y, event.button.button); break;
        case SDL_MOUSEBUTTONUP: HandleMouseUp(event.button.x, event.button.y, event.button.button); break;
        case SDL_MOUSEWHEEL: {
            int amount = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            if (amount != 0) events_->MouseWheel(amount < 0);
            break;
        }
        default: break;
    }
}

void TSdlWindow::Redraw()
{
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (frame_texture_) {
        TPlacement placed = FramePlacement();
        SDL_Rect target{placed.x, placed.y, placed.width, placed.height};
        bool smooth = smooth_.value_or(!IsWholeScale(placed, texture_width_, texture_height_));
        SDL_SetTextureScaleMode(frame_texture_, smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        SDL_RenderCopy(renderer_, frame_texture_, nullptr, &target);
    }
    if (strip_texture_ && StripShown()) {
        SDL_Rect strip = {0, 0, strip_width_, kToolbarStripHeight};
        SDL_RenderCopy(renderer_, strip_texture_, nullptr, &strip);
    }
    SDL_RenderPresent(renderer_);
}

void TSdlWindow::Centre()
{
    int display = SDL_GetWindowDisplayIndex(window_);
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right);  // zeros when unknown
    int outer_width = ScaledClientWidth() + left + right;
    int outer_height = ScaledClientHeight() + top + bottom;
    // Whole-number halves truncate toward zero, also when the window is larger.
    int x = usable.x + (usable.w - outer_width) / 2 + left;
    int y = usable.y + (usable.h - outer_height) / 2 + top;
    SDL_SetWindowPosition(window_, x, y);
}

void TSdlWindow::RebuildStrip()
{
    if (strip_texture_) SDL_DestroyTexture(strip_texture_);
    strip_texture_ = nullptr;
    int width = std::max(ScaledClientWidth(), 2 + kToolbarButtonCount * kToolbarButtonWidth + 2);
    std::vector<uint32_t> pixels;
    strip_.Draw(pixels, width, pressed_button_ >= 0 && hover_pressed_ ? pressed_button_ : -1);
    strip_texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STATIC, width,
                                       kToolbarStripHeight);
    if (strip_texture_) SDL_UpdateTexture(strip_texture_, nullptr, pixels.data(), width * 4);
    strip_width_ = width;
}

void TSdlWindow::HandleWindowEvent(int what)
{
    switch (what) {
        case SDL_WINDOWEVENT_CLOSE: close_posted_ = true; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: events_->Activated(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: events_->Deactivated(); break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: Redraw(); break;
        default: break;
    }
}

void TSdlWindow::HandleKeyDown(int32_t sdl_key, uint16_t modifiers, bool repeat)
{
    bool alt_enter = (sdl_key == SDLK_RETURN || sdl_key == SDLK_KP_ENTER) && (modifiers & KMOD_ALT);
    if (sdl_key == SDLK_F11 || alt_enter) {
        if (!repeat) events_->FullScreenAsked();
        return;
    }
    events_->KeyDown(VirtualKeyFromSdlKey(sdl_key), repeat);
}

void TSdlWindow::ToGame(int x, int y, int32_t& game_x, int32_t& game_y)
{
    PointsToOutput(x, y);  // high-density outputs have more pixels than points
    OutputToGame(FramePlacement(), PanelWidth(), PanelHeight(), x, y, game_x, game_y);
}

void TSdlWindow::HandleMouseMove(int x, int y)
{
    if (full_screen_) {
        bool reveal = y == 0 || (strip_revealed_ && y < kToolbarStripHeight);
        if (reveal != strip_revealed_) {
            strip_revealed_ = reveal;
            Redraw();
        }
    }
    if (pressed_button_ >= 0) {
        bool over = TToolbarStrip::ButtonAt(x, y) == pressed_button_;
        if (over != hover_pressed_) {
            hover_pressed_ = over;
            RebuildStrip();
            Redraw();
        }
        return;
    }
    int32_t game_x = 0, game_y = 0;
    ToGame(x, y, game_x, game_y);
    events_->MouseMove(game_x, game_y);
}

void TSdlWindow::HandleMouseDown(int x, int y, int sdl_button)
{
    if (OnStrip(x, y)) {
        if (sdl_button == SDL_BUTTON_LEFT) {
            pressed_button_ = TToolbarStrip::ButtonAt(x, y);
            hover_pressed_ = pressed_button_ >= 0;
            if (hover_pressed_) {
                RebuildStrip();
                Redraw();
            }
        }
        return;
    }
    TPointerButton which = sdl_button == SDL_BUTTON_LEFT    ? TPointerButton::Left
                           : sdl_button == SDL_BUTTON_RIGHT ? TPointerButton::Right
                                                            : TPointerButton::Middle;
    events_->MouseDown(which);
}

void TSdlWindow::HandleMouseUp(int x, int y, int sdl_button)
{
    if (pressed_button_ >= 0 && sdl_button == SDL_BUTTON_LEFT) {
        int clicked = TToolbarStrip::ButtonAt(x, y) == pressed_button_ ? pressed_button_ : -1;
        pressed_button_ = -1;
        hover_pressed_ = false;
        RebuildStrip();
        Redraw();
        if (clicked == 0) events_->ExitAsked();
        else if (clicked == 1) events_->FullScreenAsked();
        return;
    }
    events_->MouseUp();
}

MessageBoxPresenter TSdlWindow::MessageBoxes(MessageBoxPresenter fallback, bool japanese)
{
    SDL_Window* window = window_;
    return [window, fallback, japanese](const MessageBoxRequest& request) {
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
            case MessageButtons::YesNoCancelAll:
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(MessageResult::Yes),
                                   japanese ? "はい" : "Yes"});
                buttons.push_back({0, static_cast<int>(MessageResult::No), japanese ? "いいえ" : "No"});
                buttons.push_back({SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(MessageResult::Cancel),
                                   japanese ? "キャンセル" : "Cancel"});
                buttons.push_back({0, static_cast<int>(MessageResult::NoToAll), japanese ? "すべていいえ" : "No to All"});
                buttons.push_back({0, static_cast<int>(MessageResult::YesToAll), japanese ? "すべてはい" : "Yes to All"});
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

}  // namespace mobu
