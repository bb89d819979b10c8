#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace mobu {
namespace {

std::string RealPath(const std::string& path)
{
    std::error_code error;
    auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    if (error) return path;
    std::string text = canonical.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

uint64_t Fnv1a64(const std::string& text)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string RuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && std::filesystem::is_directory(runtime)) return runtime;
    return "/tmp";
}

}  // namespace

std::string TInstanceLock::LockFileName(const std::string& game_path)
{
    char name[96];
    std::snprintf(name, sizeof name, "/mobuplay-%u-%016llx.lock", static_cast<unsigned>(getuid()),
                  static_cast<unsigned long long>(Fnv1a64(RealPath(game_path))));
    return RuntimeFolder() + name;
}

bool TInstanceLock::Acquire(const std::string& game_path)
{
    Release();
    // O_NOFOLLOW: a link planted in a shared /tmp must not make us open another file.
    int descriptor = open(LockFileName(game_path).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) return true;
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        bool held_elsewhere = errno == EWOULDBLOCK;
        close(descriptor);
        return !held_elsewhere;
    }
    descriptor_ = descriptor;
    return true;
}

void TInstanceLock::Release()
{
    if (descriptor_ < 0) return;
    flock(descriptor_, LOCK_UN);
    close(descriptor_);
    descriptor_ = -1;
}

}  // namespace mobu
