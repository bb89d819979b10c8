// An exclusive advisory lock (flock) on a lock file, held while one process reads, changes
// and rewrites a shared file (the save file). The lock goes with the process, even when it
// is killed. Paths are UTF-8.
#pragma once

#include <string>

namespace mobu {

class TFileLock {
public:
    TFileLock() = default;
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;
    ~TFileLock() { Release(); }

    // Creates `path` when missing and waits until this process holds it exclusively. False
    // (with the system's reason) when the lock file cannot be made or locked.
    bool Acquire(const std::string& path, std::string* reason = nullptr);
    void Release();
    bool Held() const { return descriptor_ >= 0; }

private:
    int descriptor_ = -1;
};

}  // namespace mobu
