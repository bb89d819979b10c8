#include "platform/virtual_keys.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

namespace mobu {
namespace {

TEST(VirtualKeys, SdlKeysMapToWindowsCodes)
{
    struct Case { int32_t sdl; int vk; };
    for (Case c : {Case{SDLK_a, 0x41}, Case{SDLK_z, 0x5A}, Case{SDLK_0, 0x30}, Case{SDLK_9, 0x39},
                   Case{SDLK_F1, 0x70}, Case{SDLK_F12, 0x7B}, Case{SDLK_F24, 0x87}, Case{SDLK_LEFT, 0x25},
                   Case{SDLK_UP, 0x26}, Case{SDLK_RIGHT, 0x27}, Case{SDLK_DOWN, 0x28}, Case{SDLK_RETURN, 0x0D},
                   Case{SDLK_KP_ENTER, 0x0D}, Case{SDLK_ESCAPE, 0x1B}, Case{SDLK_SPACE, 0x20},
                   Case{SDLK_TAB, 0x09}, Case{SDLK_BACKSPACE, 0x08}, Case{SDLK_DELETE, 0x2E},
                   Case{SDLK_INSERT, 0x2D}, Case{SDLK_HOME, 0x24}, Case{SDLK_END, 0x23}, Case{SDLK_PAGEUP, 0x21},
                   Case{SDLK_PAGEDOWN, 0x22}, Case{SDLK_LSHIFT, 0x10}, Case{SDLK_RSHIFT, 0x10},
                   Case{SDLK_LCTRL, 0x11}, Case{SDLK_RALT, 0x12}, Case{SDLK_KP_0, 0x60}, Case{SDLK_KP_9, 0x69},
                   Case{SDLK_KP_PLUS, 0x6B}, Case{SDLK_KP_DIVIDE, 0x6F}, Case{SDLK_UNKNOWN, 0},
                   Case{SDLK_MENU, 0}}) {
        EXPECT_EQ(VirtualKeyFromSdlKey(c.sdl), c.vk) << "SDL key " << c.sdl;
    }
}

TEST(VirtualKeys, NamesCompareWithoutCase)
{
    EXPECT_EQ(VirtualKeyFromName("a"), 0x41);
    EXPECT_EQ(VirtualKeyFromName("RETURN"), 0x0D);
    EXPECT_EQ(VirtualKeyFromName("f11"), 0x7A);
    EXPECT_EQ(VirtualKeyFromName("Numpad5"), 0x65);
    EXPECT_EQ(VirtualKeyFromName("Space"), 0x20);
    EXPECT_EQ(VirtualKeyFromName("NoSuchKey"), 0);
    EXPECT_EQ(VirtualKeyFromName(""), 0);
    for (const auto& name : VirtualKeyNames()) {
        int vk = VirtualKeyFromName(name);
        EXPECT_GT(vk, 0) << name;
        EXPECT_LT(vk, 256) << name;
    }
}

}  // namespace
}  // namespace mobu
