// Every benchmark program runs with the allocator settings the player itself starts with,
// so that what it measures is what the player does.
#include "platform/allocator_tuning.h"

namespace {

const bool allocator_tuned = [] {
    mobu::KeepFreedMemoryForReuse();
    return true;
}();

}  // namespace
