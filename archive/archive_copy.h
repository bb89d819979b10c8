// Copies an archive entry by entry without recompressing: a fresh version-102 index, then
// each entry's stored bytes as they are, with its flags, time stamp and CRC kept. Used to
// append a game archive to a player executable whatever form the archive came in (split,
// with a ".ext" index, already appended to another executable).
#pragma once

#include "archive/big_stream.h"
#include "archive/vr_file_collection.h"

namespace mobu {

// Writes `archive` at the target's position (offsets relative to it). In-memory entries
// are written compressed like WriteArchive does.
void CopyArchive(const TVrFileCollection& archive, TKsBigStream& target);

}  // namespace mobu
