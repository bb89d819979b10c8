#include "app/screen_bases.h"

namespace mobu {

void TBlankScreenBases::SetSize(int32_t new_width, int32_t new_height)
{
    width = new_width;
    height = new_height;
}

void TBlankScreenBases::UpdateInput()
{
    for (bool& clicked : key_clicked) clicked = false;
    left_new = right_new = wheel_down_new = wheel_up_new = false;
}

void TBlankScreenBases::Render(FrameBuffer& frame)
{
    if (frame.width != width || frame.height != height) frame.Resize(width, height);
    frame.Fill(0);
}

void TBlankScreenBases::KeyEvent(int code, bool down)
{
    if (code > 0 && code < 256) key_down[code] = down;
}

void TBlankScreenBases::KeyClick(int code)
{
    if (code > 0 && code < 256) key_clicked[code] = true;
}

void TBlankScreenBases::ClearKeys()
{
    for (bool& down : key_down) down = false;
}

void TBlankScreenBases::MousePosition(int32_t x, int32_t y)
{
    mouse_x = x;
    mouse_y = y;
}

void TBlankScreenBases::MouseButtonDown(TMouseButton button)
{
    left_held = button == TMouseButton::Left;
    right_held = button == TMouseButton::Right;
    left_new = left_new || button == TMouseButton::Left;
    right_new = right_new || button == TMouseButton::Right;
}

void TBlankScreenBases::MouseButtonUp() { left_held = right_held = false; }

void TBlankScreenBases::Wheel(bool down) { (down ? wheel_down_new : wheel_up_new) = true; }

}  // namespace mobu
