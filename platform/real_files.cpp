#include "platform/real_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/name_case.h"
#include "platform/optical_drives.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

bool SameAsciiIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string WithSlash(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

// Splits a cp932 virtual path into UTF-8 components ("\" and "/" separate; a 0x5C trail
// byte does not). Empty and "." components are dropped. nullopt when the path is unsafe.
std::optional<std::vector<std::string>> SplitVirtualPath(std::string_view path)
{
    if (!IsSafeVirtualPath(path)) return std::nullopt;
    std::vector<std::string> parts;
    std::string current;
    auto flush = [&] {
        if (!current.empty() && current != ".") parts.push_back(Cp932ToUtf8(current));
        current.clear();
    };
    for (size_t i = 0; i < path.size();) {
        size_t length = Cp932CharLength(path, i);
        if (length == 1 && (path[i] == '\\' || path[i] == '/')) {
            flush();
        } else {
            current.append(path.substr(i, length));
        }
        i += length;
    }
    flush();
    if (parts.empty()) return std::nullopt;
    return parts;
}

// The entry of `folder` named `name` without regard to ASCII case; exact names win.
std::optional<std::string> MatchInFolder(const std::string& folder, const std::string& name)
{
    std::string exact = folder + name;
    struct stat info;
    if (::stat(exact.c_str(), &info) == 0) return name;
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) return std::nullopt;
    std::optional<std::string> found;
    while (dirent* entry = ::readdir(directory)) {
        if (SameAsciiIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(directory);
    return found;
}

// Gives an existing read-only regular file at `path` (not a link, not through one) its
// owner write permission back. The permission is changed on the descriptor of the file
// that was checked, so a link swapped in meanwhile is never followed.
void RestoreOwnerWrite(const std::string& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) != 0) return;
    int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
        ::fchmod(descriptor, (info.st_mode & 07777) | S_IWUSR);
    ::close(descriptor);
}

}  // namespace

std::unique_ptr<TRealFile> TRealFile::Open(const std::string& path_utf8, Mode mode)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case Mode::CreateExclusive: flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    case Mode::Rewrite:
        flags |= O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW;
        RestoreOwnerWrite(path_utf8);
        break;
    }
    int descriptor = ::open(path_utf8.c_str(), flags, mode == Mode::CreateExclusive ? 0600 : 0644);
    if (descriptor < 0) return nullptr;
    struct stat info;
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<TRealFile>(new TRealFile(descriptor, path_utf8));
}

TRealFile::~TRealFile() { ::close(descriptor_); }

int64_t TRealFile::Size() const
{
    struct stat info;
    if (::fstat(descriptor_, &info) != 0) return 0;
    return static_cast<int64_t>(info.st_size);
}

size_t TRealFile::ReadAt(void* buffer, size_t count, int64_t offset) const
{
    size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(descriptor_, static_cast<char*>(buffer) + done, count - done, offset + static_cast<int64_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

bool TRealFile::WriteAt(const void* buffer, size_t count, int64_t offset)
{
    size_t done = 0;
    while (done < count) {
        ssize_t put = ::pwrite(descriptor_, static_cast<const char*>(buffer) + done, count - done, offset + static_cast<int64_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

bool TRealFile::Sync() { return ::fsync(descriptor_) == 0; }

bool RealFileExists(const std::string& path_utf8)
{
    struct stat info;
    return !path_utf8.empty() && ::stat(path_utf8.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool RealFolderExists(const std::string& path_utf8)
{
    struct stat info;
    return !path_utf8.empty() && ::stat(path_utf8.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteRealFile(const std::string& path_utf8) { return ::unlink(path_utf8.c_str()) == 0; }

bool SameRealFile(const std::string& a_utf8, const std::string& b_utf8)
{
    struct stat a, b;
    if (a_utf8.empty() || b_utf8.empty()) return false;
    if (::stat(a_utf8.c_str(), &a) != 0 || ::stat(b_utf8.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int32_t RealFileTime(const std::string& path_utf8)
{
    struct stat info;
    if (::stat(path_utf8.c_str(), &info) != 0) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(info.st_mtime));
}

bool RealFolderLiesInside(const std::string& folder_utf8, const std::string& root_utf8)
{
    if (folder_utf8.empty() || root_utf8.empty()) return false;
    char* folder = realpath(folder_utf8.c_str(), nullptr);
    char* root = realpath(root_utf8.c_str(), nullptr);
    bool inside = false;
    if (folder && root) {
        std::string f = folder, r = root;
        if (r.back() != '/') r += '/';
        inside = (f + "/").compare(0, r.size(), r) == 0;
    }
    std::free(folder);
    std::free(root);
    return inside;
}

bool IsSafeVirtualPath(std::string_view path)
{
    if (path.empty()) return false;
    if (path[0] == '\\' || path[0] == '/') return false;
    std::string_view component;
    size_t start = 0;
    for (size_t i = 0; i <= path.size();) {
        bool at_end = i == path.size();
        size_t length = at_end ? 1 : Cp932CharLength(path, i);
        if (!at_end && length == 1) {
            char c = path[i];
            if (c == '\0' || c == ':') return false;
        }
        if (at_end || (length == 1 && (path[i] == '\\' || path[i] == '/'))) {
            component = path.substr(start, i - start);
            if (component == "..") return false;
            start = i + 1;
        }
        i += length;
    }
    return true;
}

std::optional<std::string> FindRealPath(const std::string& folder_utf8, std::string_view cp932_path)
{
    auto parts = SplitVirtualPath(cp932_path);
    if (!parts) return std::nullopt;
    std::string current = WithSlash(folder_utf8);
    for (size_t i = 0; i < parts->size(); ++i) {
        auto match = MatchInFolder(current, (*parts)[i]);
        if (!match) return std::nullopt;
        current += *match;
        if (i + 1 < parts->size()) current += "/";
    }
    return current;
}

std::string MapRealPath(const std::string& folder_utf8, std::string_view cp932_path)
{
    auto parts = SplitVirtualPath(cp932_path);
    if (!parts) return std::string();
    std::string current = WithSlash(folder_utf8);
    bool matching = true;
    for (size_t i = 0; i < parts->size(); ++i) {
        std::optional<std::string> match;
        if (matching) match = MatchInFolder(current, (*parts)[i]);
        if (!match) matching = false;
        current += match ? *match : (*parts)[i];
        if (i + 1 < parts->size()) current += "/";
    }
    return current;
}

std::optional<std::string> FindRealSibling(const std::string& folder_utf8, const std::string& file_name_utf8)
{
    std::string folder = WithSlash(folder_utf8);
    auto match = MatchInFolder(folder, file_name_utf8);
    if (!match) return std::nullopt;
    std::string path = folder + *match;
    if (!RealFileExists(path)) return std::nullopt;
    return path;
}

std::vector<std::string> ListRealFolderFiles(const std::string& folder_utf8)
{
    std::vector<std::string> names;
    std::string folder = WithSlash(folder_utf8);
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) return names;
    while (dirent* entry = ::readdir(directory)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string path = folder + name;
        struct stat info;
        if (::stat(path.c_str(), &info) != 0) continue;
        if (S_ISREG(info.st_mode)) names.push_back(name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

std::string RealFolderOf(const std::string& path_utf8)
{
    size_t slash = path_utf8.rfind('/');
    return slash == std::string::npos ? std::string() : path_utf8.substr(0, slash + 1);
}

std::string RealFileNameOf(const std::string& path_utf8)
{
    size_t slash = path_utf8.rfind('/');
    return slash == std::string::npos ? path_utf8 : path_utf8.substr(slash + 1);
}

std::string AbsoluteRealPath(const std::string& path_utf8)
{
    if (path_utf8.empty() || path_utf8[0] == '/') return path_utf8;
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return path_utf8;
    std::string base = buffer;
    std::string rest = path_utf8;
    while (rest.rfind("./", 0) == 0) rest.erase(0, 2);
    return WithSlash(base) + rest;
}

std::string ExecutablePath()
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

std::vector<std::string> CdRootsFromMounts(const std::string& mount_table)
{
    std::vector<std::string> roots;
    std::ifstream in(mount_table);
    std::stringstream text;
    text << in.rdbuf();
    for (const auto& mount : ParseMountTable(text.str())) {
        if (mount.type != "iso9660" && mount.type != "udf") continue;
        if (RealFolderExists(mount.mount_point)) roots.push_back(WithSlash(mount.mount_point));
    }
    return roots;
}

std::string MakePrivateTempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = WithSlash(base != nullptr && *base != '\0' ? base : "/tmp") + "mobu-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return std::string();
    return WithSlash(buffer.data());
}

}  // namespace mobu
