#include "archive/vr_file_manager.h"

#include <algorithm>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "archive/big_file_stream.h"
#include "archive/zlib_codec.h"
#include "core/name_case.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::unique_ptr<TVrFileManager>& Instance()
{
    static std::unique_ptr<TVrFileManager> manager;
    return manager;
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Writes a file's bytes into a work file opened for writing.
class TRealFileWriter : public TKsBigStream {
public:
    explicit TRealFileWriter(TRealFile& file) : file_(file) {}
    int64_t Size() const override { return size_; }
    int64_t Position() const override { return position_; }
    void Seek(int64_t position) override { position_ = std::clamp<int64_t>(position, 0, size_); }
    size_t Write(const void* buffer, size_t count) override
    {
        if (!file_.WriteAt(buffer, count, position_)) throw EMobuError(archive_messages::CannotCreateWorkFile());
        position_ += static_cast<int64_t>(count);
        size_ = std::max(size_, position_);
        return count;
    }
    size_t Read(void* buffer, size_t count) override
    {
        size_t got = file_.ReadAt(buffer, count, position_);
        position_ += static_cast<int64_t>(got);
        return got;
    }

private:
    TRealFile& file_;
    int64_t size_ = 0;
    int64_t position_ = 0;
};

// Copies one readable archive entry into the target, stored entries block by block.
void CopyEntry(const TVrFileCollection& archive, const TVrFile& entry, TKsBigStream& target)
{
    if (entry.Stored && !entry.IsMemory() && entry.DataSize > 0) {
        TKsBigStream& source = *archive.Source();
        source.Seek(entry.DataOffset);
        int64_t copied = target.CopyFrom(source, entry.DataSize);
        if (copied != entry.DataSize) throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(archive.FileName())));
        return;
    }
    std::string bytes;
    archive.ReadEntry(entry, bytes);
    target.WriteBytes(bytes);
}

}  // namespace

TVrFileManager& VrFileManager()
{
    if (!Instance()) Instance() = std::make_unique<TVrFileManager>();
    return *Instance();
}

void ResetVrFileManager()
{
    Instance().reset();
    Instance() = std::make_unique<TVrFileManager>();
}

TVrFileManager::TVrFileManager() : cd_roots_(CdRootsFromMounts()) {}
TVrFileManager::~TVrFileManager() = default;

void TVrFileManager::SetBaseFolder(const std::string& real_folder_utf8)
{
    base_folder_ = real_folder_utf8;
    if (!base_folder_.empty() && base_folder_.back() != '/') base_folder_ += '/';
}

int TVrFileManager::AddArchive(const std::string& real_path_utf8)
{
    std::string wanted = WithoutTrailingSlash(real_path_utf8);
    for (const auto& archive : archives_) {
        if (SameCp932Name(WithoutTrailingSlash(archive->Folder()), wanted)) return -1;
    }
    auto archive = std::make_unique<TVrFileCollection>();
    archive->OpenArchive(real_path_utf8);
    archives_.push_back(std::move(archive));
    return ArchiveCount() - 1;
}

int TVrFileManager::AddResourceArchive(const std::string&, const std::string&, const std::string&)
{
    archives_.push_back(std::make_unique<TVrFileCollection>());
    return ArchiveCount() - 1;
}

void TVrFileManager::RemoveArchive(int index)
{
    if (index < 0 || index >= ArchiveCount()) return;
    archives_.erase(archives_.begin() + index);
}

std::optional<std::string> TVrFileManager::BaseFile(const std::string& name) const
{
    if (base_folder_.empty()) return std::nullopt;
    auto path = FindRealPath(base_folder_, name);
    if (path && RealFileExists(*path)) return path;
    return std::nullopt;
}

std::optional<std::string> TVrFileManager::CdFile(const std::string& name) const
{
    for (const auto& root : cd_roots_) {
        auto path = FindRealPath(root, name);
        if (path && RealFileExists(*path)) return path;
    }
    return std::nullopt;
}

bool TVrFileManager::Exists(const std::string& name)
{
    for (const auto& archive : archives_) {
        if (archive->Find(name) != nullptr) return true;
    }
    return BaseFile(name).has_value() || CdFile(name).has_value();
}

void TVrFileManager::ReadFile(TKsBigStream& target, const std::string& name)
{
    auto* memory = dynamic_cast<TKsBigMemoryStream*>(&target);
    if (memory != nullptr) memory->Clear();
    std::optional<std::string> real = BaseFile(name);
    if (!real) {
        for (const auto& archive : archives_) {
            TVrFile* entry = archive->Find(name);
            if (entry == nullptr || !archive->CanRead(*entry)) continue;
            if (memory != nullptr) {
                archive->ReadEntry(*entry, memory->Data());
            } else {
                CopyEntry(*archive, *entry, target);
            }
            target.Seek(0);
            return;
        }
        real = CdFile(name);
    }
    if (!real) throw EMobuError(archive_messages::FileNotFound(name));
    TKsBigFileStream file(*real, TKsBigFileStream::Mode::Read);
    target.CopyFrom(file, 0);
    target.Seek(0);
}

std::string TVrFileManager::ReadFile(const std::string& name)
{
    TKsBigMemoryStream target;
    ReadFile(target, name);
    return std::move(target.Data());
}

std::string TVrFileManager::GetRealFileName(const std::string& name)
{
    if (auto real = BaseFile(name)) return *real;
    for (const auto& archive : archives_) {
        TVrFile* entry = archive->Find(name);
        if (entry == nullptr) continue;
        if (TVrLockData* record = locks_.Find(name)) {
            ++record->RefCount;
            return record->Path;
        }
        TVrLockData* record = locks_.Create(name);
        try {
            auto file = TRealFile::Open(record->Path, TRealFile::Mode::Rewrite);
            if (!file) throw EMobuError(archive_messages::CannotCreateWorkFile());
            TRealFileWriter writer(*file);
            ReadFile(writer, name);
            if (!file->Sync()) throw EMobuError(archive_messages::CannotCreateWorkFile());
        } catch (...) {
            locks_.Discard(record);
            throw;
        }
        return record->Path;
    }
    if (auto real = CdFile(name)) return *real;
    if (base_folder_.empty()) return IsSafeVirtualPath(name) ? MapRealPath("", name) : std::string();
    return MapRealPath(base_folder_, name);
}

void TVrFileManager::ReleaseRealFileName(const std::string& name) { locks_.Release(name); }

std::unique_ptr<TRangeStream> TVrFileManager::OpenRangeStream(const std::string& name)
{
    if (auto real = BaseFile(name)) return std::make_unique<TFileRangeStream>(*real, 0, TFileRangeStream::kToEnd);
    for (const auto& archive : archives_) {
        TVrFile* entry = archive->Find(name);
        if (entry == nullptr || archive->Source() == nullptr) continue;
        if (entry->IsMemory() || !entry->Stored || dynamic_cast<TKsBigFileStream*>(archive->Source()) == nullptr) {
            // A compressed entry cannot be read as a window: hand out its inflated bytes.
            std::string bytes;
            archive->ReadEntry(*entry, bytes);
            return std::make_unique<TMemoryRangeStream>(std::move(bytes));
        }
        return std::make_unique<TFileRangeStream>(archive->FileName(), entry->DataOffset, entry->DataSize);
    }
    if (auto real = CdFile(name)) return std::make_unique<TFileRangeStream>(*real, 0, TFileRangeStream::kToEnd);
    throw EMobuError(archive_messages::FileNotFound(name));
}

TVrFile* TVrFileManager::FindMemoryFile(const std::string& name)
{
    for (const auto& archive : archives_) {
        if (TVrFile* entry = archive->Find(name)) return entry;
    }
    return nullptr;
}

void TVrFileManager::ListFiles(const std::string& folder_name, std::vector<std::string>& list)
{
    std::string folder = folder_name;
    if (!folder.empty() && FolderOf(folder) != folder) folder += '\\';
    auto add = [&list](const std::string& name) {
        for (const auto& present : list) {
            if (SameCp932Name(present, name)) return;
        }
        list.push_back(name);
    };
    for (const auto& archive : archives_) {
        for (int i = 0; i < archive->Count(); ++i) {
            const std::string& name = archive->Item(i)->Name();
            if (name == kEofEntryName) continue;
            if (SameCp932Name(FolderOf(name), folder)) add(name);
        }
    }
    std::vector<std::string> roots;
    if (!base_folder_.empty()) roots.push_back(base_folder_);
    roots.insert(roots.end(), cd_roots_.begin(), cd_roots_.end());
    for (const auto& root : roots) {
        std::optional<std::string> real = folder.empty() ? std::optional<std::string>(root) : FindRealPath(root, folder);
        if (!real || !RealFolderExists(*real)) continue;
        for (const auto& file : ListRealFolderFiles(*real)) add(folder + Utf8ToCp932(file));
    }
}

std::string TVrFileManager::FolderOf(const std::string& path)
{
    size_t cut = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        size_t length = Cp932CharLength(path, i);
        if (length == 1 && (path[i] == '\\' || path[i] == '/' || path[i] == ':')) cut = i;
        i += length;
    }
    bool rooted = path.rfind("\\\\", 0) == 0 || (path.size() >= 2 && path[1] == ':');
    if (cut == std::string::npos) return std::string();
    if (rooted) {
        // A drive or network path keeps its root delimiter but not a trailing one.
        if (path[cut] == ':' || (cut == 2 && path[1] == ':')) return path.substr(0, cut + 1);
        return path.substr(0, cut);
    }
    return path.substr(0, cut + 1);
}

}  // namespace mobu
