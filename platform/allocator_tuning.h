// How the process's allocator treats freed memory. The player allocates and frees large
// buffers all the time (pictures loaded into the image cache and dropped, pages of thousands
// of commands loaded and evicted, work surfaces of screen size); the C library's defaults
// hand such memory back to the system at once and map fresh pages for the next buffer, and
// each of those pages then costs a fault when it is first touched. On a virtual machine that
// made loading a 1280 x 720 layered image ten times slower than decoding its pixels.
#pragma once

namespace mobu {

// Keeps freed memory in the process for reuse: buffers up to 32 MB come from the heap
// instead of separate mappings, and the heap is not trimmed until 256 MB lie free at its
// top. Call once at the start of a program; a no-op where the C library has no such
// settings.
void KeepFreedMemoryForReuse();

}  // namespace mobu
