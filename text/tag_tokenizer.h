// Splitting tagged story text into tokens: text runs and tags. One pass over the bytes with
// counters for tag depth and passive-block nesting (no recursion), so any input is handled
// in linear time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// The lines are joined with CR before the scan.
std::vector<std::string> TokenizeTaggedText(std::string_view text);
std::vector<std::string> TokenizeTaggedLines(const std::vector<std::string>& lines);

}  // namespace mobu
