#include "archive/big_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {

int64_t TKsBigStream::CopyFrom(TKsBigStream& source, int64_t count)
{
    if (count == 0) {
        source.Seek(0);
        count = source.Size();
    }
    constexpr size_t kBlock = 1 << 20;
    std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 1), kBlock)));
    int64_t copied = 0;
    while (copied < count) {
        size_t want = static_cast<size_t>(std::min<int64_t>(count - copied, static_cast<int64_t>(buffer.size())));
        size_t got = source.Read(buffer.data(), want);
        if (got == 0) break;
        Write(buffer.data(), got);
        copied += static_cast<int64_t>(got);
    }
    return copied;
}

void TKsBigStream::ReadExact(void* buffer, size_t count, const std::string& failure_message)
{
    if (Read(buffer, count) != count) throw EMobuError(failure_message);
}

size_t TKsBigMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0) return 0;
    size_t end = static_cast<size_t>(position_) + count;
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = static_cast<int64_t>(end);
    return count;
}

size_t TKsBigMemoryStream::Read(void* buffer, size_t count)
{
    if (position_ >= Size()) return 0;
    size_t available = data_.size() - static_cast<size_t>(position_);
    size_t take = std::min(count, available);
    std::memcpy(buffer, data_.data() + position_, take);
    position_ += static_cast<int64_t>(take);
    return take;
}

void TKsBigMemoryStream::SaveToFile(const std::string& path_utf8) const
{
    auto file = TRealFile::Open(path_utf8, TRealFile::Mode::Create);
    if (!file || !file->WriteAt(data_.data(), data_.size(), 0)) {
        throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(path_utf8)));
    }
}

void TKsBigMemoryStream::LoadFromFile(const std::string& path_utf8)
{
    auto file = TRealFile::Open(path_utf8, TRealFile::Mode::Read);
    if (!file) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(path_utf8)));
    std::string bytes(static_cast<size_t>(file->Size()), '\0');
    bytes.resize(file->ReadAt(bytes.data(), bytes.size(), 0));
    data_ = std::move(bytes);
    position_ = 0;
}

}  // namespace mobu
