// The pointer device of the headless runner: it remembers what a window would show, and
// writes it as UTF-8 JSON for --dump-pointer:
//   {"path": virtual path or null for the system arrow, "hotspot": [x, y], "size": [w, h],
//    "frame": animation frame index}
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "components/panel_pointer.h"

namespace mobu {

class TPointerRecord : public TPointerDevice {
public:
    void ShowShape(const std::string& path, const TCursorShape& shape, size_t frame) override;
    void ShowArrow() override;
    void WriteJson(std::ostream& out) const;

    bool arrow = true;
    std::string path;  // cp932
    int hot_x = 0, hot_y = 0, width = 0, height = 0;
    size_t frame = 0;
    size_t changes = 0;  // how often the device was told to show something
};

}  // namespace mobu
