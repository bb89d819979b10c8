// The preview-menu file (".mmt"): the magic "MobuPrevMenu", three ASCII digits of version
// (100-106), the menu's width and height, a button count and one record per button
// (int32 little-endian; strings are int32 length + bytes). Later versions add fields to
// each record: Disabled (> 100), the disabled overlays (> 101), the disabled hover and
// leave pictures (> 102), the checked pictures and overlays with the group (> 103), the
// check overlay (> 104) and the uncheck overlay (> 105).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

inline constexpr int kPrevMenuFirstVersion = 100;
inline constexpr int kPrevMenuLastVersion = 106;

// One button's record, every picture or film a path as stored (empty = none).
struct TPrevMenuRecord {
    int32_t X = 0, Y = 0;
    std::string Normal;
    bool CaptureMask = false;
    std::string Name;
    std::string Hover, Leave, Click;
    std::string Disabled, DisabledHover, DisabledLeave;
    std::string HoverOverlay, LeaveOverlay, ClickOverlay, DisabledHoverOverlay, DisabledLeaveOverlay;
    int32_t OverlayX = 0, OverlayY = 0;
    std::string Cursor;
    std::string Checked, CheckedHover, CheckedLeave, CheckedHoverOverlay, CheckedLeaveOverlay;
    int32_t Group = 0;
    std::string CheckOverlay, UncheckOverlay;
    bool operator==(const TPrevMenuRecord&) const = default;
};

struct TPrevMenuFile {
    int Version = kPrevMenuLastVersion;
    int32_t Width = 0, Height = 0;
    std::vector<TPrevMenuRecord> Buttons;
};

// Reads a preview-menu file. A wrong magic, a short file, or a count or string longer than
// the bytes left fail with the format message; a version outside 100-106 with the version
// message. A negative width or height reads as 0.
TPrevMenuFile ReadPrevMenuFile(std::string_view bytes);
// Writes the fields of `file.Version` (tests and tools).
std::string WritePrevMenuFile(const TPrevMenuFile& file);
// The name of button `index` stored without one: "Button%.2d".
std::string DefaultButtonName(int index);
// The game path of a picture named in the file at `file_path`: "" stays ""; a path that
// begins with "\" is from the game root, one with ":" as second character is kept as it
// is, any other is relative to the file's folder, each leading "..\" one folder up (never
// above the game root).
std::string ResolvePrevMenuPath(const std::string& file_path, const std::string& path);

namespace prev_menu_messages {
std::string BadFormat();
std::string BadVersion();
}  // namespace prev_menu_messages

}  // namespace mobu
