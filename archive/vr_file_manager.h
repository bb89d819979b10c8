// TVrFileManager: the one place every game file is read through. Virtual paths (cp932,
// "\" separated, relative) are searched in a fixed order per operation among the
// registered archives, the base folder of plain files and the roots of mounted CDs.
// Archive 0 is the in-memory archive holding "mem:" and "save:" files.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/big_stream.h"
#include "archive/range_stream.h"
#include "archive/vr_file_collection.h"
#include "archive/vr_lock_list.h"

namespace mobu {

class TVrFileManager {
public:
    TVrFileManager();
    ~TVrFileManager();
    TVrFileManager(const TVrFileManager&) = delete;
    TVrFileManager& operator=(const TVrFileManager&) = delete;

    // Stores the folder with a trailing "/" (empty stays empty: no base-folder lookups).
    void SetBaseFolder(const std::string& real_folder_utf8);
    const std::string& BaseFolder() const { return base_folder_; }

    // Registers an archive: "" is the in-memory archive, a file is parsed as an archive,
    // anything else is a plain folder. Returns -1 when the name equals the folder of an
    // archive already registered (a second in-memory archive, the same folder twice).
    int AddArchive(const std::string& real_path_utf8);
    // Archives kept as resources of a program module exist only on Windows: on this
    // platform the archive is registered empty, as when the module cannot be loaded.
    int AddResourceArchive(const std::string& module_file, const std::string& resource_name,
                           const std::string& resource_type);
    void RemoveArchive(int index);
    int ArchiveCount() const { return static_cast<int>(archives_.size()); }
    TVrFileCollection& Archive(int index) { return *archives_.at(static_cast<size_t>(index)); }

    // Archives first, then the base folder, then the CD roots.
    bool Exists(const std::string& cp932_name);
    // The whole file. Base folder first, then archives, then CD roots; else throws
    // "%s:ファイルがありません".
    std::string ReadFile(const std::string& cp932_name);
    // The same into a stream: a memory target is emptied first; the target ends at position 0.
    void ReadFile(TKsBigStream& target, const std::string& cp932_name);
    // A real file holding the named file (UTF-8): the base-folder file, or a work file
    // extracted from an archive (the same one on later calls), or a CD file; otherwise the
    // path the name would have in the base folder ("" for a path that is not allowed).
    std::string GetRealFileName(const std::string& cp932_name);
    // Drops one reference to the work file of `cp932_name`.
    void ReleaseRealFileName(const std::string& cp932_name);
    // A read-only stream over the named file: the base-folder file, or the archive window of
    // a stored entry (a compressed entry is inflated into memory first), or a CD file.
    std::unique_ptr<TRangeStream> OpenRangeStream(const std::string& cp932_name);
    // The entry of the first archive holding the name, or nullptr.
    TVrFile* FindMemoryFile(const std::string& cp932_name);
    // Appends the files directly in `folder` (cp932 names relative to the game root):
    // archive entries first, then base-folder and CD files, each name once.
    void ListFiles(const std::string& cp932_folder, std::vector<std::string>& list);
    // The folder part of a virtual path, cut after its last "\" ("" when none).
    static std::string FolderOf(const std::string& cp932_path);

    const std::vector<std::string>& CdRoots() const { return cd_roots_; }
    void SetCdRoots(std::vector<std::string> roots) { cd_roots_ = std::move(roots); }
    TVrLockList& LockList() { return locks_; }

private:
    std::optional<std::string> BaseFile(const std::string& name) const;
    std::optional<std::string> CdFile(const std::string& name) const;

    std::vector<std::unique_ptr<TVrFileCollection>> archives_;
    std::string base_folder_;
    std::vector<std::string> cd_roots_;
    TVrLockList locks_;
};

// The process-wide manager.
TVrFileManager& VrFileManager();
// Frees the process-wide manager (its work files are queued for deletion) and makes a
// fresh one: for tests and for a restart of the player core.
void ResetVrFileManager();

}  // namespace mobu
