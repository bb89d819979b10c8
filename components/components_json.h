// The component tree as UTF-8 JSON (the headless runner's --dump-components).
#pragma once

#include <ostream>

#include "components/mobu_base_list.h"

namespace mobu {

// A list of objects, one per registered component in registration order: "type", "name",
// "parent", "priority", "left", "top", "width", "height", "visible" (controls), and
// "props": every answered property whose value differs from its default.
void WriteComponentsJson(TMobuBaseList& list, std::ostream& out);

}  // namespace mobu
