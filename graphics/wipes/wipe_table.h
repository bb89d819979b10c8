// The transition vocabulary: one row per transition id with its script name, caption, class
// and the two parameter defaults every new transition of that id receives. The factory, the
// flip command and `mobupack wipe` all read this one table.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "graphics/wipes/custom_wipe.h"

namespace mobu {

struct TWipeKind {
    int Id;
    const char* Name;     // WP_ name
    const char8_t* Caption;  // UTF-8 here; code page 932 at run time
    const char* ClassName;
    int32_t Param0, Param1;
    // Makes a transition of the class; nil for id 0 (an immediate switch).
    std::unique_ptr<TCustomWipe> (*Make)();
};

inline constexpr int kWipeLastId = 38;

// Rows for ids 0..38, in id order.
std::span<const TWipeKind> WipeKinds();
// The row of an id, or nil outside 0..38.
const TWipeKind* FindWipeKind(int id);
// The row whose WP_ name equals `name` without regard to letter case, or nil.
const TWipeKind* FindWipeKindByName(std::string_view name);

// The transition for `id` with its surfaces and the table's parameters applied through
// SetParam; nil for id 0 and ids outside the table.
std::unique_ptr<TCustomWipe> CreateWipe(int id, TCustomDIBX* target, TCustomDIBX* from_image, TCustomDIBX* to_image);

// The flip command's companion vocabulary: where the named surfaces go.
struct TFlipMode {
    int Value;
    const char* Name;
    const char8_t* Caption;
};
inline constexpr int FL_OUT = 0;
inline constexpr int FL_STAY = 1;
std::span<const TFlipMode> FlipModes();

}  // namespace mobu
