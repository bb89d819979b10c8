#include "app/config_window.h"

#include <cstdio>

#include "app/config_runner.h"
#include "app/form_config.h"
#include "app/form_view.h"
#include "graphics/dibx.h"
#include "platform/sdl_dialog_window.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

class TDialogDriver : public TDialogWindowEvents {
public:
    explicit TDialogDriver(TFormConfig& dialog) : dialog_(dialog) {}

    void KeyDown(int key) override { dialog_.KeyDown(key); }
    void KeyUp(int key) override { dialog_.KeyUp(key); }
    void MouseDown(int x, int y) override { dialog_.MouseDown(x, y); }
    void MouseMove(int x, int y) override { dialog_.MouseMove(x, y); }
    void MouseUp(int x, int y) override { dialog_.MouseUp(x, y); }
    void CloseAsked() override { dialog_.FormClose(); }
    bool StillOpen() const override { return dialog_.IsOpen(); }
    const FrameBuffer& Picture() override
    {
        dialog_.Paint(surface_);
        frame_.Resize(surface_.Width(), surface_.Height());
        for (int y = 0; y < frame_.height; ++y)
            for (int x = 0; x < frame_.width; ++x) frame_.Row(y)[x] = surface_.GetPixel(x, y) & 0xFFFFFF;
        return frame_;
    }

private:
    TFormConfig& dialog_;
    TDIBX surface_;
    FrameBuffer frame_;
};

struct TErrorBox {
    TSdlDialogWindow* window = nullptr;
    std::string caption;
};

void ShowSaveError(const std::string& text, void* context)
{
    auto* box = static_cast<TErrorBox*>(context);
    std::fprintf(stderr, "mobuplay: %s\n", Cp932ToUtf8(text).c_str());
    if (box->window != nullptr) box->window->ShowError(box->caption, Cp932ToUtf8(text));
}

}  // namespace

int RunConfigWindow(const TCommandLine& line, const TGameIniPlace& place)
{
    TFormConfig dialog(place, UserLocaleIsJapanese());
    dialog.FormCreate();
    std::string error;
    auto window = TSdlDialogWindow::Open(Cp932ToUtf8(dialog.Caption()), TFormConfig::kClientWidth,
                                         TFormConfig::kClientHeight, error);
    if (!window) {
        std::fprintf(stderr, "mobuplay: %s; --headless, --set and --print work without a window\n", error.c_str());
        return 1;
    }
    TErrorBox box{window.get(), Cp932ToUtf8(dialog.Caption())};
    dialog.SetErrorSink(ShowSaveError, &box);
    TDialogDriver driver(dialog);
    window->Run(driver, line.window_frames);
    dialog.FormClose();
    return dialog.Result() == std::optional<std::string>("ok") ? kConfigSaved : kConfigNotSaved;
}

}  // namespace mobu
