#include "archive/big_file_stream.h"

#include <algorithm>
#include <cstdio>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

int64_t part_size_override = 0;

// Parts are numbered with three digits: game.001 .. game.999.
constexpr int kMaxParts = 1000;

}  // namespace

int64_t BigFilePartSize() { return part_size_override > 0 ? part_size_override : kBigFilePartSize; }
void SetBigFilePartSize(int64_t bytes) { part_size_override = bytes > 0 ? bytes : 0; }

std::string TKsBigFileStream::PartPath(const std::string& path_utf8, int index)
{
    if (index == 0) return path_utf8;
    size_t slash = path_utf8.rfind('/');
    size_t dot = path_utf8.rfind('.');
    std::string stem = (dot == std::string::npos || (slash != std::string::npos && dot < slash)) ? path_utf8 : path_utf8.substr(0, dot);
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", index);
    return stem + suffix;
}

TKsBigFileStream::TKsBigFileStream(const std::string& path_utf8, Mode mode, int64_t part_size)
    : path_(path_utf8), mode_(mode), part_size_(part_size > 0 ? part_size : kBigFilePartSize)
{
    if (mode == Mode::Read) {
        auto first = TRealFile::Open(path_, TRealFile::Mode::Read);
        if (!first) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(path_)));
        parts_.push_back(std::move(first));
        for (int index = 1; index < kMaxParts; ++index) {
            auto part = TRealFile::Open(PartPath(path_, index), TRealFile::Mode::Read);
            if (!part) break;
            parts_.push_back(std::move(part));
        }
        // Every part but the last is full; a short middle part ends the logical file there.
        for (size_t i = 0; i < parts_.size(); ++i) {
            int64_t part_bytes = parts_[i]->Size();
            if (i + 1 < parts_.size() && part_bytes != part_size_) {
                size_ += std::min(part_bytes, part_size_);
                parts_.resize(i + 1);
                break;
            }
            size_ += part_bytes;
        }
    } else {
        for (int index = 1; index < kMaxParts; ++index) {
            if (!DeleteRealFile(PartPath(path_, index))) break;
        }
        auto first = TRealFile::Open(path_, TRealFile::Mode::Create);
        if (!first) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(path_)));
        parts_.push_back(std::move(first));
    }
}

TKsBigFileStream::~TKsBigFileStream()
{
    if (mode_ == Mode::Create) Sync();
}

bool TKsBigFileStream::Sync()
{
    bool ok = true;
    for (auto& part : parts_) ok = part->Sync() && ok;
    return ok;
}

void TKsBigFileStream::Seek(int64_t position) { position_ = std::clamp<int64_t>(position, 0, size_); }

size_t TKsBigFileStream::ReadAt(int64_t position, void* buffer, size_t count) const
{
    if (position < 0 || position >= size_) return 0;
    count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size_ - position));
    size_t done = 0;
    while (done < count) {
        int64_t at = position + static_cast<int64_t>(done);
        // The last part may run past the part size (one big file that was never split).
        size_t part = std::min(static_cast<size_t>(at / part_size_), parts_.size() - 1);
        int64_t offset = at - static_cast<int64_t>(part) * part_size_;
        int64_t part_room = part + 1 == parts_.size() ? size_ - at : part_size_ - offset;
        size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count - done), part_room));
        size_t got = parts_[part]->ReadAt(static_cast<char*>(buffer) + done, want, offset);
        done += got;
        if (got < want) break;
    }
    return done;
}

size_t TKsBigFileStream::Read(void* buffer, size_t count)
{
    size_t got = ReadAt(position_, buffer, count);
    position_ += static_cast<int64_t>(got);
    return got;
}

void TKsBigFileStream::WriteAt(int64_t position, const char* data, size_t count)
{
    size_t done = 0;
    while (done < count) {
        int64_t at = position + static_cast<int64_t>(done);
        size_t part = static_cast<size_t>(at / part_size_);
        int64_t offset = at % part_size_;
        while (part >= parts_.size()) {
            if (static_cast<int>(parts_.size()) >= kMaxParts) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(path_)));
            auto next = TRealFile::Open(PartPath(path_, static_cast<int>(parts_.size())), TRealFile::Mode::Create);
            if (!next) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(path_)));
            parts_.push_back(std::move(next));
        }
        size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count - done), part_size_ - offset));
        if (!parts_[part]->WriteAt(data + done, want, offset)) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(path_)));
        done += want;
    }
    size_ = std::max(size_, position + static_cast<int64_t>(count));
}

size_t TKsBigFileStream::Write(const void* buffer, size_t count)
{
    if (mode_ != Mode::Create) throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(path_)));
    WriteAt(position_, static_cast<const char*>(buffer), count);
    position_ += static_cast<int64_t>(count);
    return count;
}

}  // namespace mobu
