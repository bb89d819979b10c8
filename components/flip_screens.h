// The Flip command's work on the screen bases: the snapshot of the shown picture, moving
// the selected components to the hidden base, starting the transition and finishing the
// flip.
#pragma once

#include <string>
#include <vector>

#include "components/mobu_base_list.h"

namespace mobu {

// Name of the snapshot component: the \x01 prefix keeps it out of the script's names.
inline const std::string kFlipSnapshotName = std::string("\x01" "FLIPSNAPSHOT");

void TakeFlipSnapshot(TMobuBaseList& list);
// Mode 1: children whose name equals a line of `lines`; mode 0: those equal to none.
void MoveFlipSelection(TMobuBaseList& list, const std::vector<std::string>& lines, int mode);
// The transition of `id` from the shown base to the hidden one, which stays active until the
// flip finishes.
void StartFlip(TMobuBaseList& list, int id, bool reverse, int32_t duration);
void FinishFlip(TMobuBaseList& list, bool clear_hidden, bool keep_cabinets);

}  // namespace mobu
