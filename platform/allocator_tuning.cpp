#include "platform/allocator_tuning.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace mobu {

void KeepFreedMemoryForReuse()
{
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

}  // namespace mobu
