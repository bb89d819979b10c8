// The known name nearest to a mistyped one, for "did you mean" hints.
#pragma once

#include <string>
#include <vector>

namespace mobu {

// Edit distance (insertions, deletions, substitutions of bytes) between two texts.
size_t EditDistance(const std::string& a, const std::string& b);

// The candidate with the smallest edit distance to `name` after both are folded by `fold`
// (first of equals); empty when none is close (more edits than a third of the name's length,
// and more than 2).
std::string NearestName(const std::string& name, const std::vector<std::string>& candidates,
                        std::string (*fold)(const std::string&) = nullptr);

}  // namespace mobu
