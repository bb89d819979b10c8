#include "app/command_line.h"

#include <charconv>
#include <functional>
#include <limits>

#include "core/mobu_error.h"
#include "platform/virtual_keys.h"

namespace mobu {
namespace {

template <typename T>
T ParseValue(const std::string& option, const std::string& text, T minimum, T maximum)
{
    T value{};
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty() || value < minimum || value > maximum)
        throw EMobuError(option + ": expected a number from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", got '" + text + "'");
    return value;
}

std::vector<int64_t> ParseFrameList(const std::string& option, const std::string& text)
{
    std::vector<int64_t> frames;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        frames.push_back(ParseValue<int64_t>(option, text.substr(start, comma - start), 1,
                                             std::numeric_limits<int64_t>::max()));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return frames;
}

bool SameWithoutCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    TCommandLine line;
    THeadlessOptions& headless = line.headless_options;
    bool options_ended = false;
    std::string headless_only;  // the first option only the headless runner reads
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (options_ended || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            if (i == 0 && SameWithoutCase(argument, "/config")) line.config = true;
            else line.games.push_back(argument);
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        std::string value;
        bool has_inline_value = false;
        if (size_t equals = argument.find('='); equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.erase(equals);
            has_inline_value = true;
        }
        auto take_value = [&]() -> std::string {
            if (has_inline_value) return value;
            if (i + 1 >= arguments.size()) throw EMobuError(argument + ": value missing");
            return arguments[++i];
        };
        static const char* const kHeadlessOnly[] = {"--frames", "--tick-ms", "--shot-every", "--shot-at", "--out",
                                                    "--input", "--dump-vars", "--dump-tables", "--dump-components", "--script-log",
                                                    "--dump-pointer", "--audio-out", "--audio-rate",
                                                    "--audio-channels", "--dump-media", "--dump-dialog"};
        for (const char* option : kHeadlessOnly) {
            if (argument == option && headless_only.empty()) headless_only = argument;
        }
        if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else if (argument == "--window-frames") {
            line.window_frames = ParseValue<int64_t>(argument, take_value(), 1, std::numeric_limits<int64_t>::max());
        } else if (argument == "--headless") {
            line.headless = true;
        } else if (argument == "--frames") {
            headless.frames = ParseValue<int64_t>(argument, take_value(), 1, std::numeric_limits<int64_t>::max());
        } else if (argument == "--tick-ms") {
            headless.tick_ms = ParseValue<uint32_t>(argument, take_value(), 1, 299);
        } else if (argument == "--shot-every") {
            headless.shot_every = ParseValue<int64_t>(argument, take_value(), 0, std::numeric_limits<int64_t>::max());
        } else if (argument == "--shot-at") {
            headless.shot_at = ParseFrameList(argument, take_value());
        } else if (argument == "--out") {
            headless.out_dir = take_value();
        } else if (argument == "--input") {
            headless.input_file = take_value();
        } else if (argument == "--dump-vars") {
            headless.dump_vars = take_value();
        } else if (argument == "--dump-tables") {
            headless.dump_tables = take_value();
        } else if (argument == "--dump-components") {
            headless.dump_components = take_value();
        } else if (argument == "--script-log") {
            headless.script_log = take_value();
        } else if (argument == "--dump-pointer") {
            headless.dump_pointer = take_value();
        } else if (argument == "--audio-out") {
            headless.audio_out = take_value();
        } else if (argument == "--audio-rate") {
            headless.audio_rate = ParseValue<int>(argument, take_value(), 8000, 192000);
        } else if (argument == "--audio-channels") {
            headless.audio_channels = ParseValue<int>(argument, take_value(), 1, 8);
        } else if (argument == "--dump-media") {
            headless.dump_media = take_value();
        } else if (argument == "--dump-dialog") {
            headless.dump_dialog = take_value();
        } else if (argument == "--ini") {
            line.ini_file = take_value();
        } else if (argument == "--set") {
            line.config_set.push_back(take_value());
        } else if (argument == "--print") {
            line.config_print = true;
        } else if (argument == "--seed") {
            line.seed = ParseValue<uint32_t>(argument, take_value(), 0, std::numeric_limits<uint32_t>::max());
        } else {
            throw EMobuError("unknown option " + argument + " (see mobuplay --help)");
        }
    }
    if (!line.headless && !line.help && !headless_only.empty())
        throw EMobuError(headless_only + ": only the headless runner reads it (add --headless)");
    if (!line.config && (!line.config_set.empty() || line.config_print || !headless.dump_dialog.empty()))
        throw EMobuError("--set, --print and --dump-dialog belong to /config (as first argument)");
    if (line.config && !line.config_set.empty() && line.config_print)
        throw EMobuError("--set and --print cannot be combined");
    return line;
}

std::string HelpText()
{
    std::string keys;
    for (const auto& name : VirtualKeyNames()) keys += (keys.empty() ? "" : " ") + name;
    std::string wrapped, row;
    for (size_t start = 0; start < keys.size();) {
        size_t end = keys.find(' ', start);
        std::string word = keys.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (row.size() + word.size() + 1 > 84) {
            wrapped += "      " + row + "\n";
            row.clear();
        }
        row += (row.empty() ? "" : " ") + word;
        start = end == std::string::npos ? keys.size() : end + 1;
    }
    if (!row.empty()) wrapped += "      " + row + "\n";

    return "usage: mobuplay [OPTIONS] [GAME...]\n"
           "       mobuplay --headless [--frames N] [--tick-ms MS] [--shot-every K] [--shot-at F,F...]\n"
           "                [--out DIR] [--input FILE] [--dump-vars FILE] [--dump-tables FILE]\n"
           "                [--dump-components FILE]\n"
           "                [--script-log FILE] [--dump-pointer FILE] [--audio-out FILE.wav]\n"
           "                [--audio-rate HZ] [--audio-channels N] [--dump-media FILE] [--seed S] GAME...\n"
           "       mobuplay /config [GAME] [--ini FILE]\n"
           "       mobuplay /config [GAME] [--ini FILE] --set SECTION.KEY=VALUE... | --print\n"
           "       mobuplay /config [GAME] [--ini FILE] --headless [--frames N] [--tick-ms MS] [--input FILE]\n"
           "                [--shot-at F,...] [--shot-every K] [--out DIR] [--dump-dialog FILE]\n"
           "\n"
           "Plays a game made with the authoring tool: a folder holding game.dat (or mobu.mpb and\n"
           "the game's files), an archive file, or an executable with the game appended to it.\n"
           "Without GAME the game is looked for inside and beside the player itself. Several GAME\n"
           "arguments are all searched, in order; the first one is also where save.dat is kept.\n"
           "\n"
           "In the window: \"終了\" asks before quitting (closing the window does not); \"画面切替\",\n"
           "Alt+Enter and F11 switch between the window and full screen. F12 (game.ini\n"
           "[Player] ScreenshotKey: a key name below, or none) writes the game frame as PNG to\n"
           "<pictures>/mobu/<title>_<YYYYMMDD>_<HHMMSS>.png (XDG_PICTURES_DIR, else ~/Pictures),\n"
           "in the window and in the headless runner alike; the game never sees that key. One window plays a\n"
           "game at a time: a second start on the same game ends at once, silently.\n"
           "\n"
           "options:\n"
           "  -h, --help         show this text and exit\n"
           "  --version          show the version and exit\n"
           "  --seed S           seed the game's random generator with S (0..4294967295) instead\n"
           "                     of the time of day, so that runs repeat\n"
           "  --window-frames N  in the window: close it after N frames have been presented\n"
           "                     (start-up and memory measurements)\n"
           "  --                 the arguments after it are games, even when they start with --\n"
           "  --ini FILE         read game.ini from FILE (and with /config write it there);\n"
           "                     without it game.ini is in the game's folder (the folder the\n"
           "                     first GAME names, or holding it), else beside the player\n"
           "\n"
           "settings dialog (/config as first argument, any case): edits [Sound] and [Video]\n"
           "of game.ini. It opens even while the game runs; the player reads the file at its\n"
           "next start.\n"
           "  DirectSound=1|0    1: sound through the media library's mixer; 0: wave-out streaming\n"
           "  DelayTime=100..500 the wave-out buffer in ms (used when DirectSound=0)\n"
           "  ScaleMode=0|1|2    how the game fills a larger window or the full screen: 0 whole\n"
           "                     factors when one fits, 1 keep the aspect ratio (default), 2 stretch\n"
           "  SmoothScaling=1|0  smooth scaling; absent: smooth only at factors that are not whole\n"
           "  WindowScale=0..8   the window's whole factor (default 1; 0 the largest that fits),\n"
           "                     lowered until the window fits; the window can also be resized\n"
           "  FullScreen=1|0     start in full screen (F11 and Alt+Enter never write it)\n"
           "OK writes the two Sound keys, and a Video key only when it was changed (every other\n"
           "line of the file stays as it was) by an atomic replacement; a failed write says why\n"
           "and leaves the dialog open. Cancel, Escape and the close button write nothing.\n"
           "Keys: Tab/Shift+Tab, Space, Return, Escape, arrows in the scaling group, and the\n"
           "underlined letters: S DirectSound, D delay slider, Z scaling, M smooth, W window\n"
           "size slider, F full screen (sliders: arrows, PageUp/Down, Home/End).\n"
           "  --set SECTION.KEY=VALUE  write without showing the dialog (all --set in one write):\n"
           "                     Sound.DirectSound, Sound.DelayTime (stored as the slider would:\n"
           "                     250 -> 200), Video.UseWMP, Video.SmoothScaling, Video.ScaleMode\n"
           "                     (0..2), Video.WindowScale (0..8), Video.FullScreen,\n"
           "                     Player.ScreenshotKey (a key name, or none), Debug.SpinLimitMs;\n"
           "                     booleans take 1/0/true/false/yes/no/on/off. Exit 0 written,\n"
           "                     1 write failed, 2 unknown key or bad value (file untouched)\n"
           "  --print            print \"; PATH\" and then Section.Key=value for each key above\n"
           "                     with the value the player uses\n"
           "  --headless         the dialog without a window; --input lines as below with\n"
           "                     coordinates in the dialog's client area, shots of the client\n"
           "                     area; the run ends when the dialog closes or after N frames\n"
           "  --dump-dialog FILE at the end, the dialog as UTF-8 JSON: caption, width, height,\n"
           "                     open, result (\"ok\", \"cancel\" or null), error, focus, file and\n"
           "                     controls (name, kind, caption, rect, enabled, checked,\n"
           "                     position, min, max)\n"
           "  Exit: 0 closed by OK with the file written, 3 closed without writing, 4 the\n"
           "  frames ran out with the dialog open, 1 could not start, 2 bad command line.\n"
           "\n"
           "headless runner (no window, no sound device; a virtual clock):\n"
           "  --headless         run the game without a window (several may play the same game)\n"
           "  --frames N         stop after N frames (default 300); the run also ends when the\n"
           "                     game ends\n"
           "  --tick-ms MS       every frame lasts exactly MS milliseconds of game time\n"
           "                     (1..299, default 15)\n"
           "  --shot-every K     write every K-th frame as a PNG file (frames count from 1)\n"
           "  --shot-at F,F...   write the frames listed\n"
           "  --out DIR          folder of the PNG files (default: the current folder; created\n"
           "                     when missing); files are named frame-NNNNNN.png\n"
           "  --input FILE       replay scripted input: one event per line, applied before the\n"
           "                     frame given first; '#' starts a comment:\n"
           "                       F key down NAME | F key up NAME\n"
           "                       F mouse move X Y\n"
           "                       F mouse down X Y left|right|middle\n"
           "                       F mouse up X Y left|right|middle\n"
           "                       F wheel up | F wheel down\n"
           "                     X and Y are game screen coordinates. Key names (any case):\n" +
           wrapped +
           "  --dump-vars FILE   when the run ends, write every variable to FILE as UTF-8 JSON: a\n"
           "                     list of {\"name\", \"scope\", \"type\", \"value\"} (arrays also\n"
           "                     \"dims\"; elements in storage order)\n"
           "  --dump-tables FILE when the run ends, write the table database to FILE as UTF-8\n"
           "                     JSON: {\"active\", \"tables\": [{\"name\", \"status\", \"current\",\n"
           "                     \"fields\", \"records\", \"raw\"}]}\n"
           "  --dump-components FILE  when the run ends, write the component tree to FILE as\n"
           "                     UTF-8 JSON: type, name, parent, priority, position, size,\n"
           "                     visibility and every property that differs from its default\n"
           "  --script-log FILE  write the script log of this run to FILE (UTF-8, emptied first)\n"
           "  --dump-pointer FILE  when the run ends, write the mouse pointer a window would\n"
           "                     show to FILE as UTF-8 JSON: {\"path\": the cursor file's\n"
           "                     virtual path or null for the system arrow, \"hotspot\": [x, y],\n"
           "                     \"size\": [w, h], \"frame\": the animation frame index}\n"
           "  --audio-out FILE.wav  write the mixed sound as 16-bit PCM: after frame k the file\n"
           "                     holds floor(k * tick * rate / 1000) frames; reruns are identical\n"
           "  --audio-rate HZ    its rate (8000..192000, default 44100)\n"
           "  --audio-channels N its channels (1..8, default 2; SDL's speaker order)\n"
           "  --dump-media FILE  when the run ends, write the media layer to FILE as UTF-8 JSON:\n"
           "                     {\"device\", \"sound_on\", \"midi_port\", \"midi_ports\", \"items\"}\n"
           "  These options are refused without --headless.\n"
           "\n"
           "script log: a failure of the running script that the game does not see (a command\n"
           "that fails, an expression without result, a command, component type or function not\n"
           "available yet, a missing picture) is logged once per place and message, as\n"
           "  PAGE:INDEX COMMAND: MESSAGE     e.g. start.msb:12 Calc: Foo:この関数は使えません\n"
           "(INDEX counts the page's commands from 0), always to mobuplay.log in the folder of\n"
           "save.dat (at 1 MB it becomes mobuplay.log.1 and a new one starts), and on standard\n"
           "error when MOBU_TRACE is set. A frame whose script runs for more than\n"
           "[Debug] SpinLimitMs of game.ini (default 5000; 0: never) without giving the frame\n"
           "back is stopped: the window asks whether to end the game, the headless runner ends\n"
           "with status 3; both name the page and command.\n"
           "\n"
           "saved games: save.dat holds the saved games, the status data (read marks, status\n"
           "variables) and the game's \"save:\" files. It is kept in the folder of the game (the\n"
           "first GAME argument, else the player's folder) when files can be made there, else in\n"
           "$XDG_DATA_HOME/mobu (default ~/.local/share/mobu) under the game's title (a save of\n"
           "earlier versions, directly under $XDG_DATA_HOME, moves there once); when neither folder\n"
           "takes files, the game runs with saving off and says so. Every write replaces\n"
           "it atomically and keeps the previous file as save.dat.bak; a damaged save.dat is kept\n"
           "as save.dat.damaged-DATE and the backup put in its place. `mobupack saves save.dat`\n"
           "lists the slots.\n"
           "\n"
           "Without a display (no DISPLAY or WAYLAND_DISPLAY) the player ends at once unless\n"
           "--headless is given.\n"
           "\n"
           "exit status: 0 when the game ran (the headless runner: N frames or the game's end),\n"
           "1 when it could not start (the reason is on standard error), 2 for a bad command line,\n"
           "3 when the headless runner stopped a script that did not give the frame back.\n"
           "Environment: MOBU_TRACE=1 logs the start-up and shutdown steps and the script log on\n"
           "standard error; MOBU_TRACE=script adds every command run. MOBU_HTTP_TIMEOUT_MS (default 30000) limits each\n"
           "request of a game's HTTP component as a whole, of which connecting takes at most\n"
           "10000; MOBU_HTTP_MAX_BYTES (default 8388608) caps its body.\n";
}

}  // namespace mobu
