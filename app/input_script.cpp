#include "app/input_script.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "core/mobu_error.h"
#include "platform/virtual_keys.h"

namespace mobu {
namespace {

template <typename T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool ParseButton(const std::string& word, TMouseButton& button)
{
    if (word == "left") button = TMouseButton::Left;
    else if (word == "right") button = TMouseButton::Right;
    else if (word == "middle") button = TMouseButton::Middle;
    else return false;
    return true;
}

TInputEvent ParseLine(const std::vector<std::string>& words, int line_number)
{
    auto fail = [&](const std::string& why) {
        return EMobuError("input script line " + std::to_string(line_number) + ": " + why);
    };
    TInputEvent event;
    if (!ParseNumber(words[0], event.frame) || event.frame < 1) throw fail("the frame number must be 1 or more");
    if (words.size() < 2) throw fail("event missing");
    const std::string& what = words[1];
    if (what == "key") {
        if (words.size() != 4 || (words[2] != "down" && words[2] != "up")) throw fail("expected: key down|up NAME");
        event.kind = words[2] == "down" ? TInputKind::KeyDown : TInputKind::KeyUp;
        event.key = VirtualKeyFromName(words[3]);
        if (event.key == 0) throw fail("unknown key name '" + words[3] + "'");
    } else if (what == "mouse") {
        if (words.size() < 5) throw fail("expected: mouse move X Y | mouse down|up X Y BUTTON");
        if (!ParseNumber(words[3], event.x) || !ParseNumber(words[4], event.y)) throw fail("bad coordinates");
        if (words[2] == "move") {
            if (words.size() != 5) throw fail("expected: mouse move X Y");
            event.kind = TInputKind::MouseMove;
        } else if (words[2] == "down" || words[2] == "up") {
            if (words.size() != 6 || !ParseButton(words[5], event.button))
                throw fail("expected: mouse down|up X Y left|right|middle");
            event.kind = words[2] == "down" ? TInputKind::MouseDown : TInputKind::MouseUp;
        } else {
            throw fail("unknown mouse event '" + words[2] + "'");
        }
    } else if (what == "wheel") {
        if (words.size() != 3 || (words[2] != "up" && words[2] != "down")) throw fail("expected: wheel up|down");
        event.kind = words[2] == "up" ? TInputKind::WheelUp : TInputKind::WheelDown;
    } else {
        throw fail("unknown event '" + what + "'");
    }
    return event;
}

}  // namespace

std::vector<TInputEvent> ParseInputScript(const std::string& text)
{
    std::vector<TInputEvent> events;
    std::istringstream lines(text);
    std::string line;
    int line_number = 0;
    while (std::getline(lines, line)) {
        ++line_number;
        size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;) words.push_back(word);
        if (words.empty()) continue;
        events.push_back(ParseLine(words, line_number));
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TInputEvent& a, const TInputEvent& b) { return a.frame < b.frame; });
    return events;
}

std::vector<TInputEvent> ReadInputScript(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EMobuError("cannot read the input script " + path);
    std::stringstream text;
    text << in.rdbuf();
    return ParseInputScript(text.str());
}

}  // namespace mobu
