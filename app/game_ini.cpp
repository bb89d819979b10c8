#include "app/game_ini.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <limits>

#include "app/screenshot_key.h"
#include "core/name_case.h"
#include "platform/durable_files.h"
#include "platform/virtual_keys.h"

namespace mobu {

TSoundSettings SoundSettings;

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::optional<int64_t> Lookup(const TIniText& ini, const char* section, const char* key)
{
    std::optional<std::string> text = ini.Get(section, key);
    if (!text) return std::nullopt;
    return ParseIniInteger(*text);
}

}  // namespace

std::optional<int64_t> ParseIniInteger(std::string_view text)
{
    std::string lower = Lower(text);
    if (lower == "true" || lower == "yes" || lower == "on") return 1;
    if (lower == "false" || lower == "no" || lower == "off") return 0;
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
    uint64_t magnitude = 0;
    const char* first = lower.data() + start;
    const char* last = lower.data() + lower.size();
    auto [end, error] = std::from_chars(first, last, magnitude, base);
    if (first == last || end != last || (error != std::errc() && error != std::errc::result_out_of_range))
        return std::nullopt;
    constexpr uint64_t kLargest = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (error == std::errc::result_out_of_range || magnitude > kLargest)
        return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

int32_t NormaliseDelayTime(int64_t stored)
{
    stored = std::clamp<int64_t>(stored, -1000000, 1000000);  // no overflow below
    int64_t rounded = stored - ((stored % 100) + 100) % 100;  // down to a multiple of 100
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, 100, 500));
}

TIniText ReadGameIniText(const std::string& path, std::string* reason)
{
    std::optional<std::string> bytes = ReadSmallRealFile(path, kGameIniLimit, reason);
    return bytes ? TIniText(*bytes) : TIniText();
}

void ApplyGameIni(const TIniText& ini, TSoundSettings& settings)
{
    if (auto value = Lookup(ini, "Sound", "DirectSound")) settings.DirectSound = *value != 0;
    if (auto value = Lookup(ini, "Sound", "DelayTime")) settings.DelayTime = NormaliseDelayTime(*value);
    if (auto value = Lookup(ini, "Video", "UseWMP")) settings.UseWMP = *value != 0;
    if (auto value = Lookup(ini, "Video", "SmoothScaling")) settings.SmoothScaling = *value != 0;
    if (auto value = Lookup(ini, "Video", "ScaleMode")) settings.ScaleMode = static_cast<int32_t>(std::clamp<int64_t>(*value, 0, 2));
    if (auto value = Lookup(ini, "Video", "WindowScale"))
        settings.WindowScale = static_cast<int32_t>(std::clamp<int64_t>(*value, 0, 8));
    if (auto value = Lookup(ini, "Video", "FullScreen")) settings.FullScreen = *value != 0;
}

void ReadGameIni(const std::string& path, TSoundSettings& settings)
{
    const TIniText ini = ReadGameIniText(path);
    ApplyGameIni(ini, settings);
    // A relative sound font is found beside game.ini.
    if (std::optional<std::string> font = ini.Get("Sound", "SoundFont"); font && !font->empty()) {
        const std::filesystem::path named(*font);
        settings.SoundFont =
            named.is_absolute() ? named.string() : (std::filesystem::path(path).parent_path() / named).string();
    }
}

bool WriteGameIni(const std::string& path, const TIniText& ini, std::string& reason)
{
    std::string why;
    if (!ReadSmallRealFile(path, kGameIniLimit, &why) && !why.empty()) {
        reason = why;
        return false;
    }
    return ReplaceFileAtomically(path, ini.Bytes(), &reason);
}

uint32_t ReadSpinLimitMs(const std::string& path, uint32_t fallback)
{
    std::optional<int64_t> value = Lookup(ReadGameIniText(path), "Debug", "SpinLimitMs");
    return value ? static_cast<uint32_t>(std::clamp<int64_t>(*value, 0, UINT32_MAX)) : fallback;
}

const std::vector<TGameIniKey>& GameIniKeys()
{
    static const std::vector<TGameIniKey> keys = {
        {"Sound", "DirectSound", TGameIniKey::Bool, 0, 0, 1},
        {"Sound", "DelayTime", TGameIniKey::DelayTime, 0, 0, 500},
        {"Video", "UseWMP", TGameIniKey::Bool, 0, 0, 0},
        {"Video", "SmoothScaling", TGameIniKey::AutoBool, 0, 0, 0},
        {"Video", "ScaleMode", TGameIniKey::Count, 0, 2, 1},
        {"Video", "WindowScale", TGameIniKey::Count, 0, 8, 1},
        {"Video", "FullScreen", TGameIniKey::Bool, 0, 0, 0},
        {"Player", "ScreenshotKey", TGameIniKey::KeyName, 0, 0, 0},
        {"Debug", "SpinLimitMs", TGameIniKey::Count, 0, UINT32_MAX, 5000},
    };
    return keys;
}

const TGameIniKey* FindGameIniKey(std::string_view dotted)
{
    for (const TGameIniKey& key : GameIniKeys())
        if (SameCp932Name(dotted, std::string(key.section) + "." + key.key)) return &key;
    return nullptr;
}

std::optional<std::string> GameIniValueText(const TGameIniKey& key, std::string_view value)
{
    if (key.kind == TGameIniKey::KeyName) {
        if (value.empty() || SameCp932Name(value, "none")) return "none";
        if (VirtualKeyFromName(value) == 0) return std::nullopt;
        return std::string(value);
    }
    std::optional<int64_t> number = ParseIniInteger(value);
    if (!number) return std::nullopt;
    switch (key.kind) {
    case TGameIniKey::KeyName: break;
    case TGameIniKey::Bool:
    case TGameIniKey::AutoBool:
        if (*number != 0 && *number != 1) return std::nullopt;
        return *number ? "1" : "0";
    case TGameIniKey::DelayTime:
        return std::to_string(NormaliseDelayTime(*number));
    case TGameIniKey::Count:
        if (*number < key.minimum || *number > key.maximum) return std::nullopt;
        return std::to_string(*number);
    }
    return std::nullopt;
}

std::string GameIniEffectiveValue(const TGameIniKey& key, const TIniText& ini)
{
    if (key.kind == TGameIniKey::KeyName) return ScreenshotKeyName(ScreenshotKeyOf(ini));  // "none" when off
    std::optional<int64_t> stored = Lookup(ini, key.section, key.key);
    if (key.kind == TGameIniKey::AutoBool && !stored) return "auto";
    int64_t value = stored.value_or(key.fallback);
    switch (key.kind) {
    case TGameIniKey::KeyName: break;
    case TGameIniKey::Bool:
    case TGameIniKey::AutoBool:
        return value != 0 ? "1" : "0";
    case TGameIniKey::DelayTime:
        return std::to_string(NormaliseDelayTime(value));
    case TGameIniKey::Count:
        return std::to_string(std::clamp(value, key.minimum, key.maximum));
    }
    return {};
}

}  // namespace mobu
