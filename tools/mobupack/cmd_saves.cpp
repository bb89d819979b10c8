// mobupack saves SAVE.DAT [--json]: the saved games of a save file (or its backup), one per
// entry "GAMESAVEDATA" + n (n >= 0, the ones the player lists) in index order.
#include <cstdio>
#include <ctime>

#include "archive/save_file.h"
#include "archive/vr_file.h"
#include "components/game_save_data.h"
#include "core/byte_reader.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

struct TSlotLine {
    int32_t slot = 0;
    int32_t time = 0;
    bool has_version = false;
    int32_t version = 0;
    bool has_caption = false;
    std::string caption;  // UTF-8
    std::string state;
};

TSlotLine ReadSlot(TVrFileCollection& files, const TVrFile& entry, int32_t slot)
{
    TSlotLine line;
    line.slot = slot;
    line.time = entry.FileTime;
    line.state = "damaged";
    std::string bytes;
    try {
        if (!files.ReadEntry(entry, bytes)) return line;
        ByteReader in(bytes);
        line.version = in.I32();
        line.has_version = true;
        line.caption = Cp932ToUtf8(in.String());
        line.has_caption = true;
    } catch (const std::exception&) {
        return line;
    }
    line.state = line.version < kOldestGameSaveVersion ? "too old"
                 : line.version > kGameSaveVersion   ? "too new"
                                                     : "ok";
    return line;
}

std::string Stamp(int32_t time, const char* format)
{
    if (time == 0) return {};
    std::time_t seconds = static_cast<std::time_t>(static_cast<uint32_t>(time));
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int RunSaves(const std::vector<std::string>& arguments)
{
    const bool json = arguments.size() == 2 && arguments[1] == "--json";
    if (arguments.empty() || arguments.size() > 2 || (arguments.size() == 2 && !json)) {
        std::fprintf(stderr, "usage: mobupack saves SAVE.DAT [--json]\n");
        return 2;
    }
    auto archive = OpenArchiveArgument(arguments[0]);
    std::vector<TSlotLine> lines;
    for (int i = 0; i < archive->Count(); ++i) {
        const TVrFile& entry = *archive->Item(i);
        const int32_t slot = TGameSaveData::SlotOfEntryName(entry.Name());
        if (slot >= 0) lines.push_back(ReadSlot(*archive, entry, slot));
    }
    std::string out;
    if (json) {
        out = "[";
        for (size_t i = 0; i < lines.size(); ++i) {
            const TSlotLine& line = lines[i];
            const std::string date = Stamp(line.time, "%Y-%m-%dT%H:%M:%S");
            out += std::string(i ? ", " : "") + "{\"slot\": " + std::to_string(line.slot) +
                   ", \"caption\": " + (line.has_caption ? JsonString(line.caption) : "null") +
                   ", \"date\": " + (date.empty() ? "null" : JsonString(date)) +
                   ", \"version\": " + (line.has_version ? std::to_string(line.version) : "null") +
                   ", \"state\": " + JsonString(line.state) + "}";
        }
        out += "]\n";
    } else {
        for (const TSlotLine& line : lines) {
            const std::string date = Stamp(line.time, "%Y-%m-%d %H:%M:%S");
            out += std::to_string(line.slot) + "\t" + (date.empty() ? "-" : date) + "\t" +
                   (line.has_version ? std::to_string(line.version) : "-") + "\t" + line.state + "\t" +
                   line.caption + "\n";
        }
    }
    return WriteStdout(out) ? 0 : 1;
}

const CommandRegistration registration({
    "saves",
    "saves SAVE.DAT [--json]",
    "The saved games of a save file (or save.dat.bak), in index order: slot, date (local time, \"-\" when "
    "none), version, state (ok, too old, too new, damaged), caption (UTF-8). --json: a list of objects "
    "with slot, caption, date, version and state.",
    RunSaves,
});

}  // namespace
}  // namespace mobu::mobupack
