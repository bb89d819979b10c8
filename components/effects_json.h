// The "effect" member of the component dump: an emitter's state and piece count, a wave's
// phase and row displacements.
#pragma once

#include <ostream>

#include "components/mobu_object.h"

namespace mobu {

// Writes `, "effect": {...}` for an emitter or a wave; nothing for other components.
void WriteEffectJson(std::ostream& out, TMobuObject& object);

}  // namespace mobu
