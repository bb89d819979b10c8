// Game files the components read for what they show (pictures, pointers, transition masks).
#pragma once

#include <optional>
#include <string>

namespace mobu {

// The bytes of the game file at virtual `path`: made available first (a disk change when it
// lies on another game disk) and read through the virtual files, which refuse paths outside
// the game. A missing or unreadable file is written to the script log and gives nothing; so
// does an empty path, without a log line.
std::optional<std::string> ReadGameFile(const std::string& path);

// Whether the game holds the file at virtual `path` (made available first when it lies on
// another game disk). False for an empty path and for one the virtual files refuse.
bool GameFileExists(const std::string& path);

}  // namespace mobu
