#include "platform/virtual_keys.h"

#include <SDL_keycode.h>

#include <array>
#include <cctype>

namespace mobu {
namespace {

struct TKeyEntry {
    int32_t sdl;
    int vk;
    std::string name;
};

std::vector<TKeyEntry> BuildTable()
{
    std::vector<TKeyEntry> table;
    for (int i = 0; i < 26; ++i)
        table.push_back({SDLK_a + i, 'A' + i, std::string(1, static_cast<char>('A' + i))});
    for (int i = 0; i < 10; ++i)
        table.push_back({SDLK_0 + i, '0' + i, std::string(1, static_cast<char>('0' + i))});
    static const std::array<int32_t, 24> function_keys = {
        SDLK_F1,  SDLK_F2,  SDLK_F3,  SDLK_F4,  SDLK_F5,  SDLK_F6,  SDLK_F7,  SDLK_F8,
        SDLK_F9,  SDLK_F10, SDLK_F11, SDLK_F12, SDLK_F13, SDLK_F14, SDLK_F15, SDLK_F16,
        SDLK_F17, SDLK_F18, SDLK_F19, SDLK_F20, SDLK_F21, SDLK_F22, SDLK_F23, SDLK_F24};
    for (int i = 0; i < 24; ++i) table.push_back({function_keys[i], 0x70 + i, "F" + std::to_string(i + 1)});
    static const std::array<int32_t, 10> numpad_digits = {SDLK_KP_0, SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4,
                                                          SDLK_KP_5, SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    for (int i = 0; i < 10; ++i) table.push_back({numpad_digits[i], 0x60 + i, "Numpad" + std::to_string(i)});
    const TKeyEntry others[] = {
        {SDLK_BACKSPACE, 0x08, "Back"},        {SDLK_TAB, 0x09, "Tab"},
        {SDLK_RETURN, 0x0D, "Return"},         {SDLK_KP_ENTER, 0x0D, "Enter"},
        {SDLK_LSHIFT, 0x10, "Shift"},          {SDLK_RSHIFT, 0x10, "RShift"},
        {SDLK_LCTRL, 0x11, "Control"},         {SDLK_RCTRL, 0x11, "RControl"},
        {SDLK_LALT, 0x12, "Alt"},              {SDLK_RALT, 0x12, "RAlt"},
        {SDLK_PAUSE, 0x13, "Pause"},           {SDLK_CAPSLOCK, 0x14, "Capital"},
        {SDLK_ESCAPE, 0x1B, "Escape"},         {SDLK_SPACE, 0x20, "Space"},
        {SDLK_PAGEUP, 0x21, "PageUp"},         {SDLK_PAGEDOWN, 0x22, "PageDown"},
        {SDLK_END, 0x23, "End"},               {SDLK_HOME, 0x24, "Home"},
        {SDLK_LEFT, 0x25, "Left"},             {SDLK_UP, 0x26, "Up"},
        {SDLK_RIGHT, 0x27, "Right"},           {SDLK_DOWN, 0x28, "Down"},
        {SDLK_PRINTSCREEN, 0x2C, "Snapshot"},  {SDLK_INSERT, 0x2D, "Insert"},
        {SDLK_DELETE, 0x2E, "Delete"},         {SDLK_KP_MULTIPLY, 0x6A, "Multiply"},
        {SDLK_KP_PLUS, 0x6B, "Add"},           {SDLK_KP_MINUS, 0x6D, "Subtract"},
        {SDLK_KP_PERIOD, 0x6E, "Decimal"},     {SDLK_KP_DIVIDE, 0x6F, "Divide"},
        {SDLK_NUMLOCKCLEAR, 0x90, "NumLock"},  {SDLK_SCROLLLOCK, 0x91, "Scroll"},
        {SDLK_SEMICOLON, 0xBA, "Semicolon"},   {SDLK_EQUALS, 0xBB, "Equals"},
        {SDLK_COMMA, 0xBC, "Comma"},           {SDLK_MINUS, 0xBD, "Minus"},
        {SDLK_PERIOD, 0xBE, "Period"},         {SDLK_SLASH, 0xBF, "Slash"},
        {SDLK_BACKQUOTE, 0xC0, "Backquote"},   {SDLK_LEFTBRACKET, 0xDB, "LeftBracket"},
        {SDLK_BACKSLASH, 0xDC, "Backslash"},   {SDLK_RIGHTBRACKET, 0xDD, "RightBracket"},
        {SDLK_QUOTE, 0xDE, "Quote"},
    };
    for (const auto& entry : others) table.push_back(entry);
    return table;
}

const std::vector<TKeyEntry>& Table()
{
    static const std::vector<TKeyEntry> table = BuildTable();
    return table;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

int VirtualKeyFromSdlKey(int32_t sdl_keycode)
{
    for (const auto& entry : Table())
        if (entry.sdl == sdl_keycode) return entry.vk;
    return 0;
}

int VirtualKeyFromName(std::string_view name)
{
    for (const auto& entry : Table())
        if (SameName(entry.name, name)) return entry.vk;
    return 0;
}

std::vector<std::string> VirtualKeyNames()
{
    std::vector<std::string> names;
    for (const auto& entry : Table()) names.push_back(entry.name);
    return names;
}

}  // namespace mobu
