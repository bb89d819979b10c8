// TRangeStream: a read-only stream showing the window [start, start + length) of a source.
// Positions are relative to the window start, seeks are clamped into the window, reads stop
// at its end and writes do nothing. The media layer reads these from its own threads, so
// seek and read are serialised by the stream's own lock; each stream has its own handle.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "archive/big_file_stream.h"

namespace mobu {

class TRangeStream {
public:
    enum class Origin { Begin, Current, End };

    virtual ~TRangeStream() = default;

    int64_t Size() const { return length_; }
    int64_t Position();
    // Moves to the clamped position and returns it.
    int64_t Seek(int64_t offset, Origin origin = Origin::Begin);
    size_t Read(void* buffer, size_t count);
    size_t Write(const void*, size_t) { return 0; }

protected:
    TRangeStream(int64_t start, int64_t length) : start_(start), length_(length < 0 ? 0 : length) {}
    // Reads from the source at an absolute position.
    virtual size_t ReadSource(int64_t position, void* buffer, size_t count) = 0;

private:
    std::mutex lock_;
    int64_t start_;
    int64_t length_;
    int64_t position_ = 0;
};

// A window of a (possibly split) file opened again by name.
class TFileRangeStream : public TRangeStream {
public:
    // Use for a window running to the source's end.
    static constexpr int64_t kToEnd = -1;

    // Throws "%s:ファイルがありません" when the file cannot be opened. A window reaching
    // past the file's end is cut at the end. A length of 0 is an empty window.
    TFileRangeStream(const std::string& path_utf8, int64_t start, int64_t length);

protected:
    size_t ReadSource(int64_t position, void* buffer, size_t count) override;

private:
    TFileRangeStream(std::unique_ptr<TKsBigFileStream> file, int64_t start, int64_t length);
    std::unique_ptr<TKsBigFileStream> file_;
};

// A window over bytes held in memory (an in-memory entry, or an entry inflated for the caller).
class TMemoryRangeStream : public TRangeStream {
public:
    explicit TMemoryRangeStream(std::string bytes);

protected:
    size_t ReadSource(int64_t position, void* buffer, size_t count) override;

private:
    std::string bytes_;
};

}  // namespace mobu
