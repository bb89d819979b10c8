// Scripted input for the headless runner: one event per line, applied before the frame it
// names (frames count from 1).
//   # comment
//   10 key down Return
//   12 key up Return
//   20 mouse move 320 240
//   21 mouse down 320 240 left
//   22 mouse up 320 240 left
//   30 wheel down
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

enum class TInputKind { KeyDown, KeyUp, MouseMove, MouseDown, MouseUp, WheelUp, WheelDown };
enum class TMouseButton { Left, Right, Middle };

struct TInputEvent {
    int64_t frame = 0;
    TInputKind kind = TInputKind::KeyDown;
    int key = 0;  // virtual-key code, key events only
    int x = 0, y = 0;  // game coordinates, mouse events only
    TMouseButton button = TMouseButton::Left;  // mouse down/up only
};

// Parses a whole script; events come out ordered by frame, lines of one frame in file
// order. A malformed line throws EMobuError naming the line.
std::vector<TInputEvent> ParseInputScript(const std::string& text);

// Reads and parses the script file at `path` (UTF-8).
std::vector<TInputEvent> ReadInputScript(const std::string& path);

}  // namespace mobu
