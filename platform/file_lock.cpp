#include "platform/file_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mobu {

bool TFileLock::Acquire(const std::string& path, std::string* reason)
{
    Release();
    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        if (reason) *reason = std::strerror(errno);
        return false;
    }
    while (::flock(descriptor, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        if (reason) *reason = std::strerror(errno);
        ::close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

void TFileLock::Release()
{
    if (descriptor_ < 0) return;
    ::flock(descriptor_, LOCK_UN);
    ::close(descriptor_);
    descriptor_ = -1;
}

}  // namespace mobu
