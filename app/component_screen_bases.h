// The screen bases of the running game: the component list behind the shell's interface.
// Each frame it draws the dirty rectangles onto the 32-bit frame surface and copies just
// those into the presentation buffer.
#pragma once

#include "app/screen_bases.h"
#include "components/base_list_call_components.h"
#include "components/mobu_base_list.h"

namespace mobu {

class TComponentScreenBases : public TScreenBases {
public:
    TComponentScreenBases();
    ~TComponentScreenBases() override;

    void SetSize(int32_t width, int32_t height) override;
    void UpdateInput() override;
    void Animate() override;
    void Render(FrameBuffer& frame) override;

    void KeyEvent(int code, bool down) override { list_.KeyEvent(code, down); }
    void KeyClick(int code) override { list_.KeyClick(code); }
    void ClearKeys() override { list_.ClearKeys(); }
    void MousePosition(int32_t x, int32_t y) override { list_.MousePosition(x, y); }
    void MouseButtonDown(TMouseButton button) override
    {
        list_.MouseButtonDown(button == TMouseButton::Left, button == TMouseButton::Right);
    }
    void MouseButtonUp() override { list_.MouseButtonUp(); }
    void Wheel(bool down) override { list_.Wheel(down); }

    void ReleaseSurfaces() override { list_.ReleaseSurfaces(); }
    void RestoreSurfaces() override { list_.RestoreSurfaces(false); }

    TCallManComponents* CallManComponents() override { return &calls_; }

    TMobuBaseList& List() { return list_; }

private:
    TMobuBaseList list_;
    TBaseListCallComponents calls_{list_};
};

// Copies rectangle `rect` of a 32-bit surface into the presentation buffer (same size).
void CopyToFrame(TDIBX& surface, const TRect& rect, FrameBuffer& frame);

}  // namespace mobu
