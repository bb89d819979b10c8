// TKsBigFileStream: one logical file made of parts of kBigFilePartSize bytes: part 0 is
// the named file, part i >= 1 the name with its extension replaced by "." and i in three
// digits (game.dat, game.001, game.002, ...). Reads and writes cross part boundaries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/big_stream.h"
#include "platform/real_files.h"

namespace mobu {

inline constexpr int64_t kBigFilePartSize = int64_t{1} << 30;

// The part size new file streams use; tests lower it to split small archives.
int64_t BigFilePartSize();
void SetBigFilePartSize(int64_t bytes);  // 0 restores kBigFilePartSize

class TKsBigFileStream : public TKsBigStream {
public:
    enum class Mode { Read, Create };

    // Throws EMobuError ("%s:ファイルがありません" for reading, a write message for creating).
    TKsBigFileStream(const std::string& path_utf8, Mode mode, int64_t part_size = BigFilePartSize());
    ~TKsBigFileStream() override;

    int64_t Size() const override { return size_; }
    int64_t Position() const override { return position_; }
    void Seek(int64_t position) override;  // clamped to [0, Size]
    size_t Write(const void* buffer, size_t count) override;
    size_t Read(void* buffer, size_t count) override;

    // Reads at an absolute position without moving the stream position.
    size_t ReadAt(int64_t position, void* buffer, size_t count) const;

    const std::string& Path() const { return path_; }
    int PartCount() const { return static_cast<int>(parts_.size()); }
    int64_t PartSize() const { return part_size_; }
    // Flushes written data to the disk; false on failure.
    bool Sync();

    // The name of part `index` of the logical file `path_utf8`.
    static std::string PartPath(const std::string& path_utf8, int index);

private:
    void WriteAt(int64_t position, const char* data, size_t count);

    std::string path_;
    Mode mode_;
    int64_t part_size_;
    std::vector<std::unique_ptr<TRealFile>> parts_;
    int64_t size_ = 0;
    int64_t position_ = 0;
};

}  // namespace mobu
