// Creating a component from a command's creation parameters: the fixed order in which
// they are applied (name, parent and source first, zoom before size, size before
// position) and the special rules for the name, the parent, the priority and the tag.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "components/mobu_base_list.h"

namespace mobu {

// Every property id once, in the order a creating command applies them.
const std::array<uint8_t, kPropertyCount>& CreationOrder();

// What a creating command carries for a property: false when it has no expression slot for
// it; otherwise `value` is what the expression yielded (nothing: the creation default
// applies), in the property's stored type.
using TCreationParameter = std::function<bool(int id, std::optional<TPropValue>& value)>;

// Creates a component of `type_code` in `list` (on the active base until PR_PARENT says
// otherwise), applies the parameters the command carries in the creation order and ends
// the creation. Null when the type is not creatable.
TMobuObject* CreateWithParameters(TMobuBaseList& list, int type_code, const TCreationParameter& parameter);

// Applies one creation parameter (`id` must be one).
void ApplyCreationParameter(TMobuBaseList& list, TMobuObject& object, int id, const TPropValue& value);

}  // namespace mobu
