// "game.ini": any bytes read back unchanged; one edit (chosen by the first byte) gives the
// new value on re-reading, leaves every other key's value as it was, and keeps every line of
// the file but the edited one (a line that repeats elsewhere included).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/game_ini.h"
#include "app/game_ini_text.h"

namespace {

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t newline = bytes.find('\n', start);
        size_t end = newline == std::string::npos ? bytes.size() : newline;
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    if (size == 0) return 0;
    static const char* const kKeys[][2] = {{"Sound", "DirectSound"}, {"Sound", "DelayTime"}, {"Video", "UseWMP"},
                                           {"Video", "SmoothScaling"}, {"Debug", "SpinLimitMs"}, {"sound", "delaytime"}};
    static const char* const kValues[] = {"0", "1", "500", ""};
    const auto& edited = kKeys[data[0] % 6];
    const char* value = kValues[(data[0] / 6) % 4];
    std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

    TIniText ini(input);
    if (ini.Bytes() != input) std::abort();
    std::vector<std::optional<std::string>> before;
    for (const auto& key : kKeys) before.push_back(ini.Get(key[0], key[1]));
    TSoundSettings settings;
    ApplyGameIni(ini, settings);  // any text gives settings within their ranges
    if (settings.DelayTime < 100 || settings.DelayTime > 500 || settings.DelayTime % 100 != 0) std::abort();

    ini.Set(edited[0], edited[1], value);
    std::string output = ini.Bytes();
    TIniText again(output);
    if (again.Get(edited[0], edited[1]) != std::optional<std::string>(value)) std::abort();
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        bool same_key = Folded(kKeys[i][0]) == Folded(edited[0]) && Folded(kKeys[i][1]) == Folded(edited[1]);
        if (!same_key && again.Get(kKeys[i][0], kKeys[i][1]) != before[i]) std::abort();
    }
    // Every input line is still there, in order, but the edited one. Two readings, and one
    // of them must hold: the same number of lines with at most one differing (a value
    // replaced in place, even where lines repeat), or every old line found in order but one
    // (a key added; the last line may gain its line end, and a CR or LF after a lone lead
    // byte is kept as the character's second byte).
    std::vector<std::string> old_lines = Lines(input), new_lines = Lines(output);
    size_t differing = 0;
    if (new_lines.size() == old_lines.size())
        for (size_t i = 0; i < old_lines.size(); ++i) differing += old_lines[i] != new_lines[i];
    const bool replaced_in_place = new_lines.size() == old_lines.size() && differing <= 1;
    size_t at = 0, missing = 0;
    for (const std::string& line : old_lines) {
        size_t found = at;
        while (found < new_lines.size() && new_lines[found] != line) ++found;
        if (found == new_lines.size()) {
            ++missing;
        } else {
            at = found + 1;
        }
    }
    const bool kept_in_order = missing <= 1 && new_lines.size() <= old_lines.size() + 2;
    if (!replaced_in_place && !kept_in_order) std::abort();
    return 0;
}
