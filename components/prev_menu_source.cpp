#include "components/prev_menu_source.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "core/mobu_error.h"
#include "platform/text_encoding.h"

namespace mobu {

namespace {

enum class TKind { Int, Flag, Text };

struct TField {
    const char* key;
    TKind kind;
    int first_version;
    int32_t TPrevMenuRecord::*integer;
    bool TPrevMenuRecord::*flag;
    std::string TPrevMenuRecord::*text;
};

constexpr TField Int(const char* k, int v, int32_t TPrevMenuRecord::*m) { return {k, TKind::Int, v, m, nullptr, nullptr}; }
constexpr TField Text(const char* k, int v, std::string TPrevMenuRecord::*m) { return {k, TKind::Text, v, nullptr, nullptr, m}; }

using R = TPrevMenuRecord;
const TField kFields[] = {
    Int("x", 100, &R::X), Int("y", 100, &R::Y), Text("normal", 100, &R::Normal),
    {"capture_mask", TKind::Flag, 100, nullptr, &R::CaptureMask, nullptr}, Text("name", 100, &R::Name),
    Text("hover", 100, &R::Hover), Text("leave", 100, &R::Leave), Text("click", 100, &R::Click),
    Text("disabled", 101, &R::Disabled), Text("disabled_hover", 103, &R::DisabledHover),
    Text("disabled_leave", 103, &R::DisabledLeave), Text("hover_overlay", 100, &R::HoverOverlay),
    Text("leave_overlay", 100, &R::LeaveOverlay), Text("click_overlay", 100, &R::ClickOverlay),
    Text("disabled_hover_overlay", 102, &R::DisabledHoverOverlay),
    Text("disabled_leave_overlay", 102, &R::DisabledLeaveOverlay), Int("overlay_x", 100, &R::OverlayX),
    Int("overlay_y", 100, &R::OverlayY), Text("cursor", 100, &R::Cursor), Text("checked", 104, &R::Checked),
    Text("checked_hover", 104, &R::CheckedHover), Text("checked_leave", 104, &R::CheckedLeave),
    Text("checked_hover_overlay", 104, &R::CheckedHoverOverlay),
    Text("checked_leave_overlay", 104, &R::CheckedLeaveOverlay), Int("group", 104, &R::Group),
    Text("check_overlay", 105, &R::CheckOverlay), Text("uncheck_overlay", 106, &R::UncheckOverlay),
};

bool OuterSpace(const std::string& v)
{
    return !v.empty() && (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t' || v.front() == '"');
}

void Line(std::string& out, const char* key, const std::string& value)
{
    out += key;
    if (value.empty()) out += " =\n";
    else out += " = " + (OuterSpace(value) ? "\"" + value + "\"" : value) + "\n";
}

std::string Trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return s.substr(a, b - a);
}

[[noreturn]] void Fail(int line, const std::string& what)
{
    throw EMobuError("line " + std::to_string(line) + ": " + what);
}

int32_t Number(const std::string& value, int line)
{
    if (value.empty()) return 0;
    char* end = nullptr;
    const long long n = std::strtoll(value.c_str(), &end, 10);
    if (*end != '\0' || n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        Fail(line, "not a 32-bit integer: " + value);
    return static_cast<int32_t>(n);
}

}  // namespace

std::string PrevMenuSourceText(const TPrevMenuFile& file)
{
    std::string out = "[menu]\nversion = " + std::to_string(file.Version) + "\nwidth = " + std::to_string(file.Width) +
                      "\nheight = " + std::to_string(file.Height) + "\n";
    for (const TPrevMenuRecord& r : file.Buttons) {
        out += "\n[button]\n";
        for (const TField& f : kFields) {
            if (file.Version < f.first_version) continue;
            if (f.kind == TKind::Int) Line(out, f.key, std::to_string(r.*f.integer));
            else if (f.kind == TKind::Flag) Line(out, f.key, r.*f.flag ? "yes" : "no");
            else Line(out, f.key, Cp932ToUtf8(r.*f.text));
        }
    }
    return out;
}

TPrevMenuFile ReadPrevMenuSource(const std::string& utf8)
{
    TPrevMenuFile file;
    file.Version = kPrevMenuLastVersion;
    enum class TSection { None, Menu, Button } section = TSection::None;
    int number = 0;
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        const std::string line = Trim(utf8.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line == "[menu]") {
            section = TSection::Menu;
            continue;
        }
        if (line == "[button]") {
            section = TSection::Button;
            file.Buttons.emplace_back();
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) Fail(number, "expected key = value");
        const std::string key = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (section == TSection::Menu) {
            if (key == "width") file.Width = Number(value, number);
            else if (key == "height") file.Height = Number(value, number);
            else if (key != "version") Fail(number, "unknown key " + key);
            continue;
        }
        if (section != TSection::Button) Fail(number, "a key outside [menu] and [button]");
        TPrevMenuRecord& r = file.Buttons.back();
        const TField* field = nullptr;
        for (const TField& f : kFields)
            if (key == f.key) field = &f;
        if (!field) Fail(number, "unknown key " + key);
        if (field->kind == TKind::Int) {
            r.*field->integer = Number(value, number);
        } else if (field->kind == TKind::Flag) {
            if (value != "yes" && value != "no" && !value.empty()) Fail(number, "expected yes or no: " + value);
            r.*field->flag = value == "yes";
        } else {
            std::optional<std::string> cp932 = Utf8ToCp932Exact(value);
            if (!cp932) Fail(number, "not in code page 932: " + value);
            r.*field->text = *cp932;
        }
    }
    return file;
}

}  // namespace mobu
