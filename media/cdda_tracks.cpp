#include "media/cdda_tracks.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace mobu {
namespace {

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a run of digits, or -1 when empty or above 99999.
long DigitsValue(const std::string& text, size_t begin, size_t end)
{
    if (begin >= end) return -1;
    long value = 0;
    for (size_t i = begin; i < end; ++i) {
        if (!IsDigit(text[i])) return -1;
        value = value * 10 + (text[i] - '0');
        if (value > 99999) return -1;
    }
    return value;
}

}  // namespace

std::optional<int> CdTrackNumber(const std::string& name)
{
    if (name.size() <= 3) return std::nullopt;
    long value = DigitsValue(name, 3, name.size());
    if (value < 1) return std::nullopt;
    return static_cast<int>(value);
}

bool IsCdTrackFile(const std::string& file_name, int track)
{
    std::string name = Lower(file_name);
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    static const char* const kExtensions[] = {".ogg", ".oga", ".flac", ".wav", ".mp3", ".opus"};
    std::string ext = name.substr(dot);
    if (std::find(std::begin(kExtensions), std::end(kExtensions), ext) == std::end(kExtensions)) return false;
    std::string stem = name.substr(0, dot);
    if (stem.rfind("track", 0) == 0) {
        size_t at = 5;
        if (at < stem.size() && (stem[at] == ' ' || stem[at] == '_' || stem[at] == '-')) ++at;
        if (DigitsValue(stem, at, stem.size()) == track) return true;
    }
    size_t digits = 0;
    while (digits < name.size() && IsDigit(name[digits])) ++digits;
    return digits > 0 && digits < name.size() && DigitsValue(name, 0, digits) == track;
}

std::string FindCdTrackFile(std::vector<std::string> file_names, int track)
{
    std::sort(file_names.begin(), file_names.end());
    for (const std::string& name : file_names) {
        if (IsCdTrackFile(name, track)) return name;
    }
    return "";
}

std::string FindCdTrackInFolder(const std::string& base_folder, int track)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path base = base_folder.empty() ? fs::path(".") : fs::path(base_folder);
    for (const auto& entry : fs::directory_iterator(base, error)) {
        if (Lower(entry.path().filename().string()) != "cdda" || !entry.is_directory(error)) continue;
        std::vector<std::string> names;
        for (const auto& file : fs::directory_iterator(entry.path(), error)) {
            if (file.is_regular_file(error)) names.push_back(file.path().filename().string());
        }
        std::string found = FindCdTrackFile(names, track);
        if (!found.empty()) return (entry.path() / found).string();
    }
    return "";
}

}  // namespace mobu
