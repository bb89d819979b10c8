#include "app/game_ini.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace mobu {

TSoundSettings SoundSettings;

namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "section\nkey" (lower case) -> value, first occurrence wins like the Windows INI reader.
using TIniValues = std::map<std::string, std::string>;

TIniValues ReadIni(const std::string& path)
{
    TIniValues values;
    std::ifstream in(path, std::ios::binary);
    std::string line, section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            section = Lower(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        values.emplace(section + "\n" + Lower(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)));
    }
    return values;
}

std::optional<int64_t> ParseInteger(const std::string& text)
{
    std::string lower = Lower(text);
    if (lower == "true" || lower == "yes") return 1;
    if (lower == "false" || lower == "no") return 0;
    int base = 10;
    size_t start = 0;
    bool negative = false;
    if (start < lower.size() && (lower[start] == '-' || lower[start] == '+')) {
        negative = lower[start] == '-';
        ++start;
    }
    if (lower.compare(start, 2, "0x") == 0) {
        base = 16;
        start += 2;
    } else if (lower.compare(start, 1, "$") == 0) {
        base = 16;
        start += 1;
    }
    int64_t value = 0;
    const char* first = lower.data() + start;
    const char* last = lower.data() + lower.size();
    auto [end, error] = std::from_chars(first, last, value, base);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return negative ? -value : value;
}

std::optional<int64_t> Lookup(const TIniValues& values, const char* section, const char* key)
{
    auto found = values.find(std::string(section) + "\n" + key);
    if (found == values.end()) return std::nullopt;
    return ParseInteger(found->second);
}

}  // namespace

int32_t NormaliseDelayTime(int64_t stored)
{
    int64_t rounded = stored - ((stored % 100) + 100) % 100;  // down to a multiple of 100
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, 100, 500));
}

void ReadGameIni(const std::string& path, TSoundSettings& settings)
{
    TIniValues values = ReadIni(path);
    if (auto value = Lookup(values, "sound", "directsound")) settings.DirectSound = *value != 0;
    if (auto value = Lookup(values, "sound", "delaytime")) settings.DelayTime = NormaliseDelayTime(*value);
    if (auto value = Lookup(values, "video", "usewmp")) settings.UseWMP = *value != 0;
    if (auto value = Lookup(values, "video", "smoothscaling")) settings.SmoothScaling = *value != 0;
    if (auto found = values.find("sound\nsoundfont"); found != values.end() && !found->second.empty()) {
        std::filesystem::path font(found->second);
        settings.SoundFont = font.is_absolute() ? font.string() : (std::filesystem::path(path).parent_path() / font).string();
    }
}

uint32_t ReadSpinLimitMs(const std::string& path, uint32_t fallback)
{
    std::optional<int64_t> value = Lookup(ReadIni(path), "debug", "spinlimitms");
    return value ? static_cast<uint32_t>(std::clamp<int64_t>(*value, 0, UINT32_MAX)) : fallback;
}

}  // namespace mobu
