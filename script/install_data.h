// "install.dat": the settings the game's installer leaves beside the game (and on each game
// disk). The player needs the disk index, the game title, the list of files the game
// created (for the uninstaller) and the no-disk-needed flag; every other field belongs to
// the installer and is kept as read so that rewriting the file loses nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

class TInstallData {
public:
    // The version the player writes ("is108").
    static constexpr int kWrittenVersion = 108;

    // Installer-format version: the three digits after "is", 0 for a file without header.
    int version = kWrittenVersion;

    int32_t disk_index = 0;  // 0-based number of the disk this file belongs to
    std::string title;       // cp932; compared with the project title
    std::vector<std::string> created_files;  // files made by the game (version > 101)
    bool no_disk_needed = false;             // the game runs without its disk (version > 102)

    // The installer's own fields, in stored order.
    struct InstallerFields {
        std::array<std::string, 3> texts_a;
        uint8_t byte_a = 0;
        std::string text_b;
        uint8_t byte_b = 0;
        std::string text_c;
        int32_t number_c = 0;
        std::array<uint8_t, 2> bytes_c{};
        std::array<std::string, 2> texts_c;
        // Four numbers per record; stored as 8 bytes from version 100 on, as 4 bytes (read
        // here sign-extended) before.
        std::vector<std::array<int64_t, 4>> records;
        std::array<int64_t, 4> numbers{};
        uint8_t byte_d = 0;
        uint8_t byte_e = 0;                 // version > 100
        uint8_t byte_f = 0;                 // version > 103
        uint8_t byte_g = 0;                 // version > 104
        std::vector<std::string> texts_h;   // version > 105
        std::string text_i;                 // version > 106
        std::array<std::string, 2> texts_j; // version > 107
    } installer;

    // Bytes after the last field this player knows (a newer installer's fields), kept so
    // that rewriting the file does not drop them.
    std::string unknown_tail;

    // Parses the stored file. A header "is" not followed by three digits, a count or length
    // that is negative or larger than the bytes left, or a file cut short raises
    // "インストールし直してください".
    static TInstallData Parse(std::string_view bytes);

    // The stored file with the header "is108" and every field.
    std::string Write() const;
};

// Reads the real file `path` (UTF-8) as install data. Raises "インストールし直してください"
// when it cannot be read or parsed.
TInstallData ReadInstallDataFile(const std::string& path);

// Replaces the real file `path` with `data` atomically (temporary file, flush to disk,
// rename), so a crash leaves either the old or the new file, never a half-written one.
void WriteInstallDataFile(const std::string& path, const TInstallData& data);

// Adds `created_file` (cp932) to the created-files list of the install data at `path`
// and rewrites the file, when that file exists and does not list the name yet (compared
// without case). True when the file was rewritten.
bool RecordCreatedFile(const std::string& path, const std::string& created_file);

}  // namespace mobu
