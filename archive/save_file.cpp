#include "archive/save_file.h"

#include <cstdio>
#include <ctime>

#include "archive/big_stream.h"
#include "core/mobu_error.h"
#include "platform/durable_files.h"
#include "platform/file_lock.h"
#include "platform/real_files.h"

namespace mobu {
namespace {

TSaveFileReplacer& Replacer()
{
    static TSaveFileReplacer replacer;
    return replacer;
}

bool Replace(const std::string& path, std::string_view bytes, std::string* reason)
{
    if (Replacer()) return Replacer()(path, bytes, reason);
    return ReplaceFileAtomically(path, bytes, reason);
}

// Whether `name` (a file name in the save file's folder) is a temporary of `base`:
// base + "." + eight hex digits + ".tmp".
bool IsTemporaryOf(const std::string& name, const std::string& base)
{
    if (name.size() != base.size() + 13 || name.compare(0, base.size(), base) != 0) return false;
    if (name[base.size()] != '.' || name.compare(base.size() + 9, 4, ".tmp") != 0) return false;
    for (size_t i = base.size() + 1; i < base.size() + 9; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ParseSaveBytes(std::string bytes, const std::string& path, TVrFileCollection& files, std::string* reason)
{
    try {
        files.OpenFromMemory(std::move(bytes), path);
        return true;
    } catch (const std::exception& error) {
        if (reason) *reason = error.what();
        return false;
    }
}

}  // namespace

void SetSaveFileReplacer(TSaveFileReplacer replacer) { Replacer() = std::move(replacer); }

int32_t SaveEntryTimeNow() { return static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr))); }

bool ReadSaveFile(const std::string& path, TVrFileCollection& files, std::string* reason)
{
    if (!RealFileExists(path)) return true;  // no save file yet: no entries
    std::optional<std::string> bytes = ReadRealFile(path);
    if (!bytes) {
        if (reason) *reason = "cannot read " + path;
        return false;
    }
    if (bytes->empty()) {
        if (reason) *reason = "empty file " + path;
        return false;
    }
    return ParseSaveBytes(std::move(*bytes), path, files, reason);
}

bool ReplaceSaveEntries(const std::string& path, const std::vector<TSaveEntryChange>& changes, std::string* reason)
{
    TFileLock lock;
    if (!lock.Acquire(path + kSaveLockSuffix, reason)) return false;
    std::optional<std::string> old_bytes;
    TVrFileCollection files;
    if (RealFileExists(path)) {
        old_bytes = ReadRealFile(path);
        if (!old_bytes || old_bytes->empty() || !ParseSaveBytes(*old_bytes, path, files, reason)) {
            if (reason && (!old_bytes || old_bytes->empty())) *reason = "cannot read " + path;
            return false;
        }
    }
    TKsBigMemoryStream out;
    try {
        for (const auto& change : changes) {
            files.Delete(change.name);
            TVrFile* entry = files.AddMemoryFile(change.name);
            entry->MemData->WriteBytes(change.bytes);
            entry->FileTime = change.time;
        }
        files.WriteArchive(out);
    } catch (const std::exception& error) {
        if (reason) *reason = error.what();
        return false;
    }
    // The file being replaced becomes the backup first: a crash between the two leaves
    // the old file in both places. A second name of the file costs no copy; where the file
    // system has none, the bytes are written.
    if (old_bytes && !(!Replacer() && LinkFileAtomically(path, path + kSaveBackupSuffix)) &&
        !Replace(path + kSaveBackupSuffix, *old_bytes, reason)) {
        return false;
    }
    return Replace(path, out.Data(), reason);
}

void RemoveStaleSaveTemporaries(const std::string& path)
{
    TFileLock lock;
    if (!lock.Acquire(path + kSaveLockSuffix)) return;
    const std::string folder = RealFolderOf(path);
    const std::string base = BaseName(path);
    for (const auto& name : ListRealFolderFiles(folder.empty() ? "." : folder)) {
        if (IsTemporaryOf(name, base) || IsTemporaryOf(name, base + kSaveBackupSuffix)) {
            DeleteRealFile(JoinRealPath(folder.empty() ? "." : folder, name));
        }
    }
}

TSaveRecovery RecoverDamagedSaveFile(const std::string& path)
{
    TSaveRecovery result;
    TFileLock lock;
    lock.Acquire(path + kSaveLockSuffix);
    TVrFileCollection files;
    if (!RealFileExists(path) || ReadSaveFile(path, files)) return result;
    result.damaged = true;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string kept = path + ".damaged-" + stamp;
    for (int n = 2; RealFileExists(kept) && n < 100; ++n) kept = path + ".damaged-" + stamp + "-" + std::to_string(n);
    if (RealFileExists(kept) || std::rename(path.c_str(), kept.c_str()) != 0) return result;
    result.kept_path = kept;
    const std::string backup = path + kSaveBackupSuffix;
    TVrFileCollection backup_files;
    if (RealFileExists(backup) && ReadSaveFile(backup, backup_files)) {
        if (std::optional<std::string> bytes = ReadRealFile(backup)) result.restored = Replace(path, *bytes, nullptr);
    }
    return result;
}

}  // namespace mobu
