#include "platform/durable_files.h"
#include "platform/real_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace mobu {
namespace {

bool WriteAll(int descriptor, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

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

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes)
{
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
        if (descriptor < 0 && errno != EEXIST) return false;
    }
    if (descriptor < 0) return false;

    // Keep the permissions of the file being replaced.
    struct stat old_info {};
    if (::stat(path.c_str(), &old_info) == 0) ::fchmod(descriptor, old_info.st_mode & 07777);

    bool ok = WriteAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    ok = ::close(descriptor) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
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
