// A small archive writer of the tests' own, written apart from the player's writer so that
// each checks the other: versions 0, 100, 101 and 102, scrambled or not, any entry bytes.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mobu::testing {

struct FixtureEntry {
    std::string name;  // cp932
    std::string raw;   // the file's bytes
    bool stored = false;
    int32_t file_time = 0;
};

inline std::string ZlibCompress(const std::string& raw, int level = 6)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), level);
    out.resize(size);
    return out;
}

class FixtureWriter {
public:
    explicit FixtureWriter(int version) : version_(version) {}

    // The archive bytes. With `split_index`, the index (rows 1-8) goes to `index_out`
    // and the returned bytes hold only the data, at the same offsets.
    std::string Build(const std::vector<FixtureEntry>& entries, std::string* index_out = nullptr) const
    {
        std::string index;
        if (version_ > 0) {
            index += "vf";
            Put32(index, static_cast<uint32_t>(version_));
        }
        Put32(index, static_cast<uint32_t>(entries.size()));
        uint32_t state = 0;
        for (const auto& entry : entries) {
            Put32(index, static_cast<uint32_t>(entry.name.size()));
            for (char c : entry.name) {
                if (version_ > 99) {
                    state = state * 5 + kKey;
                    c = static_cast<char>(static_cast<uint8_t>(c) ^ (state & 0xFF));
                }
                index.push_back(c);
            }
        }
        bool wide = version_ > 100;
        size_t n = entries.size();
        size_t table = (n + 1) * (wide ? 8 : 4);
        if (version_ > 100) table += n + 4 * n + 4 * n;
        if (version_ >= 102) table += n;
        std::vector<std::string> payloads;
        for (const auto& entry : entries) {
            bool stored = version_ > 100 && entry.stored;
            payloads.push_back(stored ? entry.raw : ZlibCompress(entry.raw));
        }
        uint64_t offset = index.size() + table;  // a split-off index keeps the joined offsets
        std::vector<uint64_t> offsets;
        for (const auto& payload : payloads) {
            offsets.push_back(offset);
            offset += payload.size();
        }
        offsets.push_back(offset);
        state = 0;
        for (uint64_t value : offsets) {
            if (version_ > 99) {
                state = state * 5 + kKey;
                value ^= static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(state)));
            }
            if (wide) {
                Put64(index, value);
            } else {
                Put32(index, static_cast<uint32_t>(value));
            }
        }
        if (version_ > 100) {
            for (const auto& entry : entries) index.push_back(entry.stored ? 1 : 0);
            for (const auto& entry : entries) Put32(index, static_cast<uint32_t>(entry.file_time));
            for (size_t i = 0; i < n; ++i) Put32(index, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(payloads[i].data()), static_cast<uInt>(payloads[i].size()))));
            if (version_ >= 102) {
                for (size_t i = 0; i < n; ++i) index.push_back(0);
            }
        }
        std::string data;
        for (const auto& payload : payloads) data += payload;
        if (index_out) {
            *index_out = index;
            return std::string(index.size(), '\0') + data;
        }
        return index + data;
    }

    static void Put32(std::string& out, uint32_t value)
    {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
    }
    static void Put64(std::string& out, uint64_t value)
    {
        for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
    }

private:
    static constexpr uint32_t kKey = 1803524679u;
    int version_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A fresh empty folder under the build tree's temporary area, removed at destruction.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "mobu-test-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path_ = mkdtemp(buffer.data());
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace mobu::testing
