// Files the player keeps for the user (the save file, install data): whole-file reads,
// atomic replacement, folder creation and the probe of whether a folder takes new files.
// Paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mobu {

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadRealFile(const std::string& path);

// A small settings file: the whole file when `path` is (or links to) a regular file of at
// most `limit` bytes. Anything else (missing, a folder, a FIFO, a device, a bigger file, a
// read error) reads as absent, with the reason in `reason` when one is given ("" for a
// missing file).
std::optional<std::string> ReadSmallRealFile(const std::string& path, size_t limit, std::string* reason = nullptr);

// Replaces (or creates) `path` with `bytes`: written to an exclusively created temporary
// file in the same folder, flushed to disk, then renamed over the target, and the folder
// flushed too. Either the old or the new file survives a crash. The old file's permissions
// are kept. When `path` is a symbolic link, the file it leads to is replaced and the link
// stays. Only a regular file (or a missing one) is replaced: a folder, FIFO or device is
// refused. False on any failure, with the system's reason in `reason` when one is given
// (the temporary file is then removed and the target is untouched).
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* reason = nullptr);

// Makes `target` a second name of the regular file `path` (a hard link made under a
// temporary name, then renamed over `target`, and the folder flushed), so the file's current
// content is kept under `target` without copying it. False, with the system's reason, when
// the file system cannot link (then nothing changed).
bool LinkFileAtomically(const std::string& path, const std::string& target, std::string* reason = nullptr);

// Moves the regular file `from` to `to` when no file is at `to` (a hard link made at `to`, which
// never replaces an existing name, then `from` removed, and both folders flushed): either the
// old or the new name holds the file whatever happens. False, with nothing changed, when `to`
// exists or the file system cannot link.
bool MoveFileIfAbsent(const std::string& from, const std::string& to);

// Creates the folder and its missing parents (mode 0700 for the ones it makes); true when
// the folder exists afterwards.
bool CreateRealFolders(const std::string& path);

// Whether a file can be created in `folder`: creates a probe file named `probe_name`
// there, checks that it exists and deletes it again.
bool CanCreateFileIn(const std::string& folder, const std::string& probe_name);

// Creates an empty file at `path` when no file of that name exists (atomically, so two
// writers never get one name). False when the name is taken (`taken` set) or the file
// cannot be made (the system's reason in `reason`).
bool CreateFileExclusively(const std::string& path, bool& taken, std::string& reason);

// Whether the current user may write the existing file `path`.
bool RealFileWritable(const std::string& path);

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share (the home folder from the password database when HOME is unset).
// No trailing "/". Empty when no home folder is known.
std::string UserDataFolder();

// `folder` + "/" + `name`, without doubling a trailing "/".
std::string JoinRealPath(const std::string& folder, const std::string& name);

}  // namespace mobu
