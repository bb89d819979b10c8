// TVrLockList: the temporary work files made for archived entries that must be played
// from a real file. Each record has a unique id and a reference count; its file is
// "~mb" + the id in eight upper-case hex digits + the entry's extension, inside a private
// folder of this process (made with mkdtemp, files created exclusively), so two players
// never share or overwrite each other's work files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mobu {

struct TVrLockData {
    std::string Name;  // virtual name (cp932)
    int32_t Id = 0;
    int32_t RefCount = 1;
    std::string Path;  // real path of the work file (UTF-8)
};

class TVrLockList {
public:
    TVrLockList() = default;
    ~TVrLockList();  // queues every work file (and the folder) in TempFileList
    TVrLockList(const TVrLockList&) = delete;
    TVrLockList& operator=(const TVrLockList&) = delete;

    TVrLockData* Find(const std::string& name);
    // A new record with the lowest free id whose (empty) file was created exclusively in
    // the private folder; the caller fills the file and calls Discard on failure.
    // Throws "作業用ファイルが作れません" when no file can be made.
    TVrLockData* Create(const std::string& name);
    // Drops one reference; at zero the record is freed and its file queued for deletion.
    void Release(const std::string& name);
    // Frees the record at once, deleting its file (a failed extraction).
    void Discard(TVrLockData* record);

    // The private folder (UTF-8, trailing "/"); made on first use. Empty until then.
    const std::string& TempFolder() const { return temp_folder_; }
    int Count() const { return static_cast<int>(records_.size()); }

private:
    bool IdInUse(int32_t id) const;

    std::vector<std::unique_ptr<TVrLockData>> records_;
    std::string temp_folder_;
};

}  // namespace mobu
