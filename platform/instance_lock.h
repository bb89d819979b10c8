// One player per game folder: an advisory lock (flock) on a file in the user's runtime
// folder ($XDG_RUNTIME_DIR, else /tmp) whose name is made from the folder's real path and
// the user id. The lock disappears with the process, even when it crashes.
#pragma once

#include <string>

namespace mobu {

class TInstanceLock {
public:
    TInstanceLock() = default;
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;
    ~TInstanceLock() { Release(); }

    // Takes the lock for the game at `game_path` (a folder or an archive file; UTF-8).
    // Returns false when another process holds it. A lock file that cannot be made at all
    // (no writable runtime folder) does not stop the player: the lock then succeeds.
    bool Acquire(const std::string& game_path);
    void Release();

    // The lock file used for `game_path` (for diagnostics and tests).
    static std::string LockFileName(const std::string& game_path);

private:
    int descriptor_ = -1;
};

}  // namespace mobu
