// TKsBuffBigStream: a read buffer of 102400 bytes over a big stream, used while parsing an
// archive index. When freed it seeks the underlying stream to its own logical position.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/big_stream.h"
#include "core/mobu_error.h"

namespace mobu {

class TKsBuffBigStream : public TKsBigStream {
public:
    static constexpr size_t kBufferSize = 102400;

    explicit TKsBuffBigStream(TKsBigStream& source) : source_(source), position_(source.Position()), buffer_(kBufferSize) {}
    ~TKsBuffBigStream() override { source_.Seek(position_); }

    int64_t Size() const override { return source_.Size(); }
    int64_t Position() const override { return position_; }
    void Seek(int64_t position) override { position_ = std::clamp<int64_t>(position, 0, source_.Size()); }
    size_t Write(const void*, size_t) override { throw EMobuError(ByteReaderFailure()); }
    size_t Read(void* buffer, size_t count) override
    {
        size_t done = 0;
        while (done < count) {
            if (position_ < buffer_start_ || position_ >= buffer_start_ + static_cast<int64_t>(buffer_fill_)) {
                if (count - done >= kBufferSize) {  // large reads skip the buffer
                    source_.Seek(position_);
                    size_t got = source_.Read(static_cast<char*>(buffer) + done, count - done);
                    done += got;
                    position_ += static_cast<int64_t>(got);
                    break;
                }
                source_.Seek(position_);
                buffer_start_ = position_;
                buffer_fill_ = source_.Read(buffer_.data(), buffer_.size());
                if (buffer_fill_ == 0) break;
            }
            size_t offset = static_cast<size_t>(position_ - buffer_start_);
            size_t take = std::min(count - done, buffer_fill_ - offset);
            std::memcpy(static_cast<char*>(buffer) + done, buffer_.data() + offset, take);
            done += take;
            position_ += static_cast<int64_t>(take);
        }
        return done;
    }

private:
    static std::string ByteReaderFailure() { return "TKsBuffBigStream is read-only"; }

    TKsBigStream& source_;
    int64_t position_;
    std::vector<char> buffer_;
    int64_t buffer_start_ = 0;
    size_t buffer_fill_ = 0;
};

}  // namespace mobu
