// The Linux file system as the player sees it. Games name files by relative virtual paths
// in code page 932 with "\" separators, authored on a case-insensitive file system; here
// they map to UTF-8 "/" paths found case-insensitively under a folder. Virtual paths never
// reach outside that folder: "..", absolute paths and drive letters are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// An open real file read and written at explicit positions (pread/pwrite), so several
// readers may share nothing but the path.
class TRealFile {
public:
    enum class Mode {
        Read,             // existing file, read only
        Create,           // truncated or created, read and write
        CreateExclusive,  // must not exist yet, owner-only permissions
        // A file the player itself rewrites in its own save or work folder: truncated or
        // created, read and write, never through a symbolic link; an existing read-only
        // regular file gets its owner write permission back first.
        Rewrite,
    };
    // Opens the file; nullptr when it cannot be opened.
    static std::unique_ptr<TRealFile> Open(const std::string& path_utf8, Mode mode);
    ~TRealFile();
    TRealFile(const TRealFile&) = delete;
    TRealFile& operator=(const TRealFile&) = delete;

    int64_t Size() const;
    // Reads up to `count` bytes at `offset`; fewer only at the end of the file.
    size_t ReadAt(void* buffer, size_t count, int64_t offset) const;
    // Writes all bytes at `offset`; false on failure.
    bool WriteAt(const void* buffer, size_t count, int64_t offset);
    bool Sync();
    const std::string& Path() const { return path_; }

private:
    TRealFile(int descriptor, std::string path) : descriptor_(descriptor), path_(std::move(path)) {}
    int descriptor_;
    std::string path_;
};

bool RealFileExists(const std::string& path_utf8);    // a regular file (symlinks followed)
bool RealFolderExists(const std::string& path_utf8);  // a directory
bool DeleteRealFile(const std::string& path_utf8);
// Same file on disk (device and inode), false when either is missing.
bool SameRealFile(const std::string& a_utf8, const std::string& b_utf8);
// Date-time stamp of the file as the archive stores it (seconds since 1970, low 32 bits).
int32_t RealFileTime(const std::string& path_utf8);

// True when the virtual path stays inside its folder: not empty, no leading separator, no
// drive letter or other ":", no ".." component, no NUL byte.
bool IsSafeVirtualPath(std::string_view cp932_path);

// The existing real file or folder `cp932_path` names under `folder_utf8`, each component
// matched without regard to ASCII case (an exact match wins). nullopt when it does not
// exist or the path is not safe. `folder_utf8` may end with "/" or not.
std::optional<std::string> FindRealPath(const std::string& folder_utf8, std::string_view cp932_path);

// The real path for `cp932_path` under `folder_utf8` for creating it: existing components
// are matched case-insensitively, the rest are taken as given. Empty when not safe.
std::string MapRealPath(const std::string& folder_utf8, std::string_view cp932_path);

// Whether the existing folder `folder_utf8` lies inside (or is) the existing folder
// `root_utf8` once every symbolic link of both is resolved.
bool RealFolderLiesInside(const std::string& folder_utf8, const std::string& root_utf8);

// A file named `file_name_utf8` directly in `folder_utf8`, matched case-insensitively.
std::optional<std::string> FindRealSibling(const std::string& folder_utf8, const std::string& file_name_utf8);

// Names (UTF-8) of the regular files directly in the folder, sorted. Listing changes
// nothing on disk.
std::vector<std::string> ListRealFolderFiles(const std::string& folder_utf8);

// The folder part of a real path, with a trailing "/" ("" for a bare name).
std::string RealFolderOf(const std::string& path_utf8);
// The last component of a real path.
std::string RealFileNameOf(const std::string& path_utf8);
// Absolute form of a path (not resolving symlinks); the path itself when it cannot be made.
std::string AbsoluteRealPath(const std::string& path_utf8);

// The running program's own file (/proc/self/exe).
std::string ExecutablePath();

// Mount points (with a trailing "/") of the CD/DVD file systems mounted now (iso9660, udf).
std::vector<std::string> CdRootsFromMounts(const std::string& mount_table = "/proc/self/mounts");

// A new private folder (mode 0700) under $TMPDIR or /tmp, with a trailing "/"; empty on failure.
std::string MakePrivateTempFolder();

}  // namespace mobu
