#include "archive/range_stream.h"

#include <algorithm>
#include <cstring>

namespace mobu {

int64_t TRangeStream::Position()
{
    std::lock_guard guard(lock_);
    return position_;
}

int64_t TRangeStream::Seek(int64_t offset, Origin origin)
{
    std::lock_guard guard(lock_);
    int64_t base = origin == Origin::Begin ? 0 : origin == Origin::Current ? position_ : length_;
    // Saturating add: a hostile offset must not overflow.
    int64_t target;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : length_;
    position_ = std::clamp<int64_t>(target, 0, length_);
    return position_;
}

size_t TRangeStream::Read(void* buffer, size_t count)
{
    std::lock_guard guard(lock_);
    if (position_ >= length_) return 0;
    size_t take = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), length_ - position_));
    size_t got = ReadSource(start_ + position_, buffer, take);
    position_ += static_cast<int64_t>(got);
    return got;
}

namespace {

int64_t WindowLength(int64_t source_size, int64_t start, int64_t length)
{
    if (start < 0 || start > source_size) return 0;
    int64_t available = source_size - start;
    if (length == TFileRangeStream::kToEnd) return available;
    return std::clamp<int64_t>(length, 0, available);
}

}  // namespace

TFileRangeStream::TFileRangeStream(const std::string& path_utf8, int64_t start, int64_t length)
    : TFileRangeStream(std::make_unique<TKsBigFileStream>(path_utf8, TKsBigFileStream::Mode::Read), start, length)
{
}

TFileRangeStream::TFileRangeStream(std::unique_ptr<TKsBigFileStream> file, int64_t start, int64_t length)
    : TRangeStream(std::max<int64_t>(start, 0), WindowLength(file->Size(), start, length)), file_(std::move(file))
{
}

size_t TFileRangeStream::ReadSource(int64_t position, void* buffer, size_t count)
{
    return file_->ReadAt(position, buffer, count);
}

TMemoryRangeStream::TMemoryRangeStream(std::string bytes) : TRangeStream(0, static_cast<int64_t>(bytes.size())), bytes_(std::move(bytes)) {}

size_t TMemoryRangeStream::ReadSource(int64_t position, void* buffer, size_t count)
{
    if (position < 0 || position >= static_cast<int64_t>(bytes_.size())) return 0;
    size_t take = std::min(count, bytes_.size() - static_cast<size_t>(position));
    std::memcpy(buffer, bytes_.data() + position, take);
    return take;
}

}  // namespace mobu
