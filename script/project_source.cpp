#include "script/project_source.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>

#include "core/mobu_error.h"
#include "platform/text_encoding.h"
#include "script/project_messages.h"

namespace mobu {
namespace {

std::string Trim(std::string_view text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

class SourceReader {
public:
    SourceReader(std::string file_name) : file_name_(std::move(file_name)) {}

    void SetLine(size_t line) { line_ = line; }

    [[noreturn]] void Fail(const std::string& utf8_what) const
    {
        throw EMobuError(Utf8ToCp932(file_name_ + ":" + std::to_string(line_) + ": " + utf8_what));
    }

    // A value with one pair of surrounding double quotes removed (they keep outer spaces).
    static std::string Unquote(const std::string& value)
    {
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
        return value;
    }

    std::string Text(const std::string& value) const
    {
        std::string utf8 = Unquote(value);
        std::string cp932 = Utf8ToCp932(utf8);
        if (Cp932ToUtf8(cp932) != utf8) Fail("the text holds characters that code page 932 cannot hold");
        return cp932;
    }

    int32_t Integer(const std::string& value) const
    {
        std::string text = Unquote(value);
        if (text.empty()) Fail("a number is missing");
        errno = 0;
        char* end = nullptr;
        long long number = std::strtoll(text.c_str(), &end, 0);
        if (errno != 0 || *end != '\0' || number < std::numeric_limits<int32_t>::min() ||
            number > std::numeric_limits<uint32_t>::max()) {
            Fail("\"" + text + "\" is not a 32-bit integer");
        }
        // Hexadecimal codes up to 0xFFFFFFFF are taken as their bit pattern.
        return static_cast<int32_t>(static_cast<uint32_t>(number));
    }

    Real RealNumber(const std::string& value) const
    {
        std::string text = Unquote(value);
        char* end = nullptr;
        errno = 0;
        Real number = std::strtold(text.c_str(), &end);
        if (text.empty() || errno != 0 || *end != '\0') Fail("\"" + text + "\" is not a real number");
        return number;
    }

    bool Boolean(const std::string& value) const
    {
        std::string text = Lower(Unquote(value));
        if (text == "yes" || text == "true" || text == "on" || text == "1") return true;
        if (text == "no" || text == "false" || text == "off" || text == "0") return false;
        Fail("\"" + value + "\" is not yes or no");
    }

    // "640x480" or "640 480".
    std::pair<int32_t, int32_t> Size(const std::string& value) const
    {
        std::string text = Lower(Unquote(value));
        size_t cut = text.find_first_of("x*");
        if (cut == std::string::npos) cut = text.find(' ');
        if (cut == std::string::npos) Fail("\"" + value + "\" is not a size such as 640x480");
        return {Integer(Trim(text.substr(0, cut))), Integer(Trim(text.substr(cut + 1)))};
    }

private:
    std::string file_name_;
    size_t line_ = 0;
};

using KeyHandler = std::function<void(TProjectSetting&, const SourceReader&, const std::string&)>;

const std::map<std::string, KeyHandler>& ProjectKeys()
{
    static const std::map<std::string, KeyHandler> keys = {
        {"title", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.title = r.Text(v); }},
        {"screen", [](TProjectSetting& s, const SourceReader& r, const std::string& v) {
             std::tie(s.screen_width, s.screen_height) = r.Size(v);
         }},
        {"screen_width", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.screen_width = r.Integer(v); }},
        {"screen_height", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.screen_height = r.Integer(v); }},
        {"full_screen", [](TProjectSetting& s, const SourceReader& r, const std::string& v) {
             std::tie(s.full_screen_width, s.full_screen_height) = r.Size(v);
         }},
        {"full_screen_width", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.full_screen_width = r.Integer(v); }},
        {"full_screen_height", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.full_screen_height = r.Integer(v); }},
        {"start_page", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.start_page = r.Text(v); }},
        {"exit_page", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.exit_page = r.Text(v); }},
        {"registry_key", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.registry_key_name = r.Text(v); }},
        {"ident_code", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.ident_code = r.Integer(v); }},
        {"write_status_data", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.write_status_data = r.Boolean(v); }},
        {"throttle_frames", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.throttle_frames = r.Boolean(v); }},
        {"streamed_extensions", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.streamed_extensions = r.Text(v); }},
        {"pause_when_inactive", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.pause_when_inactive = r.Boolean(v); }},
        {"first_disk_required", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.first_disk_required = r.Boolean(v); }},
        {"show_toolbar", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.show_toolbar = r.Boolean(v); }},
        {"disk_prompt", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.disk_prompt = r.Text(v); }},
        {"exit_prompt", [](TProjectSetting& s, const SourceReader& r, const std::string& v) { s.exit_prompt = r.Text(v); }},
    };
    return keys;
}

TPredefinedVariable CompileVariable(const SourceReader& reader, const std::string& name, const std::string& value)
{
    TPredefinedVariable variable;
    variable.name = reader.Text(name);
    if (variable.name.empty()) reader.Fail("a variable needs a name");
    size_t cut = value.find_first_of(" \t");
    std::string type = Lower(value.substr(0, cut));
    std::string initial = cut == std::string::npos ? std::string() : Trim(value.substr(cut + 1));
    if (type == "int" || type == "integer") {
        variable.type = kPredefinedInt;
        variable.int_value = initial.empty() ? 0 : reader.Integer(initial);
    } else if (type == "real") {
        variable.type = kPredefinedReal;
        variable.real_value = initial.empty() ? 0 : reader.RealNumber(initial);
    } else if (type == "flag") {
        variable.type = kPredefinedFlag;
        variable.flag_value = initial.empty() ? false : reader.Boolean(initial);
    } else if (type == "string") {
        variable.type = kPredefinedString;
        variable.string_value = reader.Text(initial);
    } else {
        reader.Fail("\"" + type + "\" is not a variable type (int, real, flag or string)");
    }
    return variable;
}

}  // namespace

TProjectSetting CompileProjectSource(std::string_view utf8_text, const std::string& file_name)
{
    if (utf8_text.substr(0, 3) == "\xEF\xBB\xBF") utf8_text.remove_prefix(3);
    SourceReader reader(file_name);
    TProjectSetting setting;
    setting.write_status_data = true;
    setting.throttle_frames = true;
    setting.disk_prompt = DefaultDiskPrompt();
    setting.exit_prompt = DefaultExitPrompt();
    bool full_screen_given = false;

    std::string section;
    size_t line_number = 0;
    size_t start = 0;
    while (start <= utf8_text.size()) {
        size_t end = utf8_text.find('\n', start);
        if (end == std::string_view::npos) end = utf8_text.size();
        std::string line = Trim(utf8_text.substr(start, end - start));
        start = end + 1;
        reader.SetLine(++line_number);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') reader.Fail("a section name must end with ]");
            section = Lower(Trim(line.substr(1, line.size() - 2)));
            if (section != "project" && section != "variables" && section != "disks") {
                reader.Fail("unknown section [" + section + "] (project, variables or disks)");
            }
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) reader.Fail("expected KEY = VALUE");
        std::string key = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (section.empty()) reader.Fail("a key before the first [section]");
        if (section == "project") {
            auto handler = ProjectKeys().find(Lower(key));
            if (handler == ProjectKeys().end()) reader.Fail("unknown key \"" + key + "\"");
            handler->second(setting, reader, value);
            if (Lower(key).rfind("full_screen", 0) == 0) full_screen_given = true;
        } else if (section == "variables") {
            setting.variables.push_back(CompileVariable(reader, key, value));
        } else {
            std::string folder = reader.Text(key);
            for (char& c : folder) {
                if (c == '/') c = '\\';  // authors may write either delimiter
            }
            int32_t disk = reader.Integer(value);
            if (disk < 0) reader.Fail("a disk number cannot be negative");
            setting.disk_map.Add(folder, disk);
        }
    }
    reader.SetLine(line_number);
    if (setting.start_page.empty()) reader.Fail("[project] needs start_page");
    if (setting.screen_width <= 0 || setting.screen_height <= 0) reader.Fail("[project] needs a screen size above 0");
    if (!full_screen_given) {
        setting.full_screen_width = setting.screen_width;
        setting.full_screen_height = setting.screen_height;
    }
    return setting;
}

}  // namespace mobu
