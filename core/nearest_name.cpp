#include "core/nearest_name.h"

#include <algorithm>
#include <numeric>

namespace mobu {

size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string NearestName(const std::string& name, const std::vector<std::string>& candidates,
                        std::string (*fold)(const std::string&))
{
    const std::string key = fold ? fold(name) : name;
    std::string best;
    size_t best_distance = SIZE_MAX;
    for (const std::string& candidate : candidates) {
        const size_t distance = EditDistance(key, fold ? fold(candidate) : candidate);
        if (distance < best_distance) {
            best_distance = distance;
            best = candidate;
        }
    }
    // A far name is no hint: it must be within a third of the name's length (at least 2 edits).
    return best_distance <= std::max<size_t>(2, key.size() / 3) ? best : std::string();
}

}  // namespace mobu
