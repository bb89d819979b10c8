// The one exception type of the player: a failure carrying a Japanese message text in
// code page 932, shown to the user in a warning box at start-up or swallowed inside the
// script, as each caller decides.
#pragma once

#include <stdexcept>
#include <string>

namespace mobu {

class EMobuError : public std::runtime_error {
public:
    explicit EMobuError(const std::string& cp932_message) : std::runtime_error(cp932_message) {}
};

}  // namespace mobu
