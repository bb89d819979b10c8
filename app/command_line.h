// The player's command line: options for the headless runner, and the game arguments
// (folders or archives) in the order the player registers them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mobu {

struct THeadlessOptions {
    int64_t frames = 300;          // frames to run before exiting
    uint32_t tick_ms = 15;         // virtual length of each frame
    int64_t shot_every = 0;        // write every K-th frame (0: none)
    std::vector<int64_t> shot_at;  // write these frames
    std::string out_dir = ".";     // where the PNG files go
    std::string input_file;        // scripted input, empty for none
    std::string dump_vars;         // every variable as JSON when the run ends, empty for none
    std::string dump_tables;       // the table database as JSON when the run ends, empty for none
    std::string dump_components;   // the component tree as JSON when the run ends, empty for none
    std::string script_log;        // the script log of this run (UTF-8, emptied first), empty for none
    std::string dump_pointer;      // the pointer a window would show, as JSON when the run ends
    std::string audio_out;         // the mixed sound as a 16-bit wave file, empty for none
    int audio_rate = 44100;        // its rate (8000..192000) and channels (1..8)
    int audio_channels = 2;
    std::string dump_media;        // the media items as JSON when the run ends, empty for none
    std::string dump_dialog;       // /config: the settings dialog as JSON when the run ends
};

struct TCommandLine {
    bool help = false;
    bool version = false;  // --version: print the version and exit
    bool config = false;    // "/config": the settings dialog
    bool headless = false;
    std::optional<uint32_t> seed;  // overrides the time-of-day seed of the random generator
    THeadlessOptions headless_options;
    int64_t window_frames = 0;  // in the window: close after this many presented frames (0: never)
    std::vector<std::string> games;  // folders or archive files, UTF-8, as given
    std::string ini_file;            // --ini: the game.ini to read (and, with /config, write)
    std::vector<std::string> config_set;  // /config --set SECTION.KEY=VALUE, in order
    bool config_print = false;            // /config --print
};

// Parses the arguments after the program name. Throws EMobuError (ASCII text) for a bad
// option or value, and for an option of the headless runner given without --headless.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text of `mobuplay --help`.
std::string HelpText();

}  // namespace mobu
