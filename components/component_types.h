// Component type codes (LT_*): what every component reports as PR_COMPOTYPE and the codes
// by which saved games name the components to create.
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

inline constexpr int LT_NONE = 0;
inline constexpr int LT_AUDIO = 1;
inline constexpr int LT_BOX = 2;
inline constexpr int LT_BUTTON = 3;
inline constexpr int LT_CINEMA = 4;
inline constexpr int LT_EDIT = 5;
inline constexpr int LT_FIRE = 6;
inline constexpr int LT_HTTP = 7;
inline constexpr int LT_IMAGES = 8;
inline constexpr int LT_LABEL = 9;
inline constexpr int LT_MAP = 10;
inline constexpr int LT_MEMO = 11;
inline constexpr int LT_MENU = 12;
inline constexpr int LT_MES = 13;
inline constexpr int LT_PARTICLE = 14;
inline constexpr int LT_TIMER = 15;
inline constexpr int LT_VIDEO = 16;
inline constexpr int LT_SOUND = 17;
inline constexpr int LT_MAPIMG = 18;
inline constexpr int LT_WAVE = 19;
inline constexpr int LT_TILE = 20;
inline constexpr int LT_SLIDER = 21;
inline constexpr int LT_SCROLLBAR = 22;
inline constexpr int LT_GAUGE = 23;
inline constexpr int LT_CGLABEL = 24;
inline constexpr int LT_PREVMENU = 25;
inline constexpr int LT_PROPMOTION = 26;
inline constexpr int LT_CABINET = 27;
inline constexpr int kComponentTypeCount = 28;

struct TComponentTypeInfo {
    int code;
    const char* name;            // "LT_BOX"
    const char8_t* caption_utf8;    // authoring caption
    const char* class_name;      // class created for it, "" when not creatable
    bool creatable;
    bool visual;                 // a control (drawn, has a parent)
};

const TComponentTypeInfo& ComponentTypeInfo(int code);  // code outside 0..27 gives LT_NONE's row
inline bool IsCreatableType(int code) { return code >= 0 && code < kComponentTypeCount && ComponentTypeInfo(code).creatable; }
inline bool IsVisualType(int code) { return code >= 0 && code < kComponentTypeCount && ComponentTypeInfo(code).visual; }

}  // namespace mobu
