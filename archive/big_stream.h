// TKsBigStream: the stream interface of the archive layer, with 64-bit sizes and
// positions. TKsBigMemoryStream keeps its bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mobu {

class TKsBigStream {
public:
    virtual ~TKsBigStream() = default;

    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    // Absolute seek.
    virtual void Seek(int64_t position) = 0;
    // Writes all bytes or throws EMobuError; returns the count.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Reads up to `count` bytes; fewer only at the end.
    virtual size_t Read(void* buffer, size_t count) = 0;

    // Copies `count` bytes of `source` from its current position (0 = the whole source
    // from its start) to this stream; returns the count copied.
    int64_t CopyFrom(TKsBigStream& source, int64_t count);
    // Copies `count` bytes of this stream to `target` (0 = the whole stream from its start).
    int64_t CopyTo(TKsBigStream& target, int64_t count) { return target.CopyFrom(*this, count); }

    // Reads exactly `count` bytes or throws EMobuError(failure_message).
    void ReadExact(void* buffer, size_t count, const std::string& failure_message);
    void WriteBytes(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
};

// A memory stream behind the big-stream interface, with save-to-file and load-from-file.
class TKsBigMemoryStream : public TKsBigStream {
public:
    TKsBigMemoryStream() = default;
    explicit TKsBigMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const override { return position_; }
    void Seek(int64_t position) override { position_ = position < 0 ? 0 : position; }
    size_t Write(const void* buffer, size_t count) override;
    size_t Read(void* buffer, size_t count) override;

    // The bytes themselves; callers may fill or replace them (the position is kept
    // within the new size by the next read).
    std::string& Data() { return data_; }
    const std::string& Data() const { return data_; }
    void Clear()
    {
        data_.clear();
        position_ = 0;
    }

    // Whole-file save and load (UTF-8 real paths); throw EMobuError on failure.
    void SaveToFile(const std::string& path_utf8) const;
    void LoadFromFile(const std::string& path_utf8);

private:
    std::string data_;
    int64_t position_ = 0;
};

// The plain memory stream of save data.
using TKsMemoryStream = TKsBigMemoryStream;

}  // namespace mobu
