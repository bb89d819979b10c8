// The screen transitions of graphics/wipes behind the screen-base list's transition seam.
#pragma once

#include <memory>

#include "components/mobu_base_list.h"

namespace mobu {

// The transition of `id` (its table defaults applied), or nil for id 0, ids above 38 and
// effects that are not built.
std::unique_ptr<TBaseTransition> WipeTransitionFactory(int id, TCustomDIBX& target, TCustomDIBX& from,
                                                       TCustomDIBX& to, bool reverse, int32_t duration);

// Says on standard error that a flip asked for an effect that is not built; the screens
// switch without it.
void ReportMissingTransition(int id);

}  // namespace mobu
