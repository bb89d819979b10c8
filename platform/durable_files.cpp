#include "platform/durable_files.h"
#include "platform/real_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace mobu {
namespace {

void SyncFolder(const std::string& folder)
{
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

std::optional<std::string> ReadRealFile(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            ::close(descriptor);
            return std::nullopt;
        }
        if (count == 0) break;
        bytes.append(buffer, static_cast<size_t>(count));
    }
    ::close(descriptor);
    return bytes;
}

std::optional<std::string> ReadSmallRealFile(const std::string& path, size_t limit, std::string* reason)
{
    auto refuse = [&](const std::string& why) -> std::optional<std::string> {
        if (reason != nullptr) *reason = why;
        return std::nullopt;
    };
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked before
    // anything is read.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) return refuse(errno == ENOENT ? "" : std::strerror(errno));
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return refuse("not a regular file");
    }
    if (static_cast<uint64_t>(info.st_size) > limit) {
        ::close(descriptor);
        return refuse("larger than " + std::to_string(limit) + " bytes");
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            std::string why = std::strerror(errno);
            ::close(descriptor);
            return refuse(why);
        }
        if (count == 0) break;
        bytes.append(buffer, static_cast<size_t>(count));
        if (bytes.size() > limit) {  // the file grew while being read
            ::close(descriptor);
            return refuse("larger than " + std::to_string(limit) + " bytes");
        }
    }
    ::close(descriptor);
    if (reason != nullptr) reason->clear();
    return bytes;
}

namespace {

// The file a path stands for: the path itself, or the end of its chain of symbolic links
// (relative link texts count from the link's folder). Empty with `reason` set for a loop.
std::string FollowLinks(const std::string& path, std::string& reason)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string text(static_cast<size_t>(PATH_MAX), '\0');
        ssize_t length = ::readlink(current.c_str(), text.data(), text.size());
        if (length < 0) {
            reason = std::strerror(errno);
            return {};
        }
        text.resize(static_cast<size_t>(length));
        if (!text.empty() && text.front() != '/') {
            std::string folder = RealFolderOf(current);
            text = folder.empty() ? text : JoinRealPath(folder, text);
        }
        current = text;
    }
    reason = std::strerror(ELOOP);
    return {};
}

}  // namespace

bool ReplaceFileAtomically(const std::string& link_or_path, std::string_view bytes, std::string* reason)
{
    std::string why;
    auto fail = [&](const std::string& text) {
        if (reason != nullptr) *reason = text;
        return false;
    };
    std::string path = FollowLinks(link_or_path, why);
    if (path.empty()) return fail(why);
    struct stat old_info {};
    bool exists = ::stat(path.c_str(), &old_info) == 0;
    if (exists && !S_ISREG(old_info.st_mode))
        return fail(S_ISDIR(old_info.st_mode) ? std::strerror(EISDIR) : "not a regular file");

    static std::mt19937 generator{std::random_device{}()};
    std::string folder = RealFolderOf(path);
    if (folder.empty()) folder = ".";
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(generator()));
        temporary = path + suffix;
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor < 0 && errno != EEXIST) return fail(std::strerror(errno));
    }
    if (descriptor < 0) return fail(std::strerror(EEXIST));

    // Keep the permissions of the file being replaced.
    if (exists) ::fchmod(descriptor, old_info.st_mode & 07777);

    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) {
            why = std::strerror(errno);
            ok = false;
        } else {
            done += static_cast<size_t>(written);
        }
    }
    if (ok && ::fsync(descriptor) != 0) {
        why = std::strerror(errno);
        ok = false;
    }
    if (::close(descriptor) != 0 && ok) {
        why = std::strerror(errno);
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        why = std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return fail(why);
    }
    SyncFolder(folder);
    if (reason != nullptr) reason->clear();
    return true;
}

bool LinkFileAtomically(const std::string& path, const std::string& target, std::string* reason)
{
    // Only a regular file itself: a link to a symbolic link would follow its target's changes.
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        if (reason != nullptr) *reason = "not a regular file";
        return false;
    }
    // Already a name of the same file (a write interrupted after its backup was made): renaming
    // one name of a file over another does nothing, so there is nothing to do.
    struct stat target_info {};
    if (::lstat(target.c_str(), &target_info) == 0 && target_info.st_dev == info.st_dev &&
        target_info.st_ino == info.st_ino) {
        return true;
    }
    static std::mt19937 generator{std::random_device{}()};
    std::string temporary;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(generator()));
        temporary = target + suffix;
        if (::link(path.c_str(), temporary.c_str()) == 0) break;
        if (errno != EEXIST) {
            if (reason != nullptr) *reason = std::strerror(errno);
            return false;
        }
        temporary.clear();
    }
    if (temporary.empty()) {
        if (reason != nullptr) *reason = std::strerror(EEXIST);
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        if (reason != nullptr) *reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    ::unlink(temporary.c_str());  // left when the target became a name of the file meanwhile
    std::string folder = RealFolderOf(target);
    SyncFolder(folder.empty() ? "." : folder);
    return true;
}

bool CreateRealFolders(const std::string& path)
{
    if (path.empty()) return false;
    if (RealFolderExists(path)) return true;
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (!part.empty() && !RealFolderExists(part)) {
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
        if (slash == std::string::npos) break;
    }
    return RealFolderExists(path);
}

bool CanCreateFileIn(const std::string& folder, const std::string& probe_name)
{
    std::string probe = JoinRealPath(folder, probe_name);
    int descriptor = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor >= 0) ::close(descriptor);
    bool exists = RealFileExists(probe);
    if (descriptor >= 0) ::unlink(probe.c_str());
    return descriptor >= 0 && exists;
}

bool CreateFileExclusively(const std::string& path, bool& taken, std::string& reason)
{
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    taken = descriptor < 0 && errno == EEXIST;
    if (descriptor < 0) reason = std::strerror(errno);
    if (descriptor < 0) return false;
    ::close(descriptor);
    return true;
}

bool MoveFileIfAbsent(const std::string& from, const std::string& to)
{
    struct stat info {};
    if (::lstat(from.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    auto folder_of = [](const std::string& path) {
        const std::string folder = RealFolderOf(path);
        return folder.empty() ? std::string(".") : folder;
    };
    SyncFolder(folder_of(to));
    ::unlink(from.c_str());
    SyncFolder(folder_of(from));
    return true;
}

bool RealFileWritable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

std::string UserDataFolder()
{
    const char* data_home = std::getenv("XDG_DATA_HOME");
    if (data_home != nullptr && data_home[0] == '/') {
        std::string folder = data_home;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    }
    std::string home;
    const char* home_variable = std::getenv("HOME");
    if (home_variable != nullptr && home_variable[0] == '/') {
        home = home_variable;
    } else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        home = entry->pw_dir;
    }
    if (home.empty()) return {};
    return JoinRealPath(home, ".local/share");
}

std::string JoinRealPath(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

}  // namespace mobu
