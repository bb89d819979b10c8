// Smooth resampling of 24-bit images: bilinear enlarging and area-averaging reduction, with a
// scalar reference and packed versions that give exactly the same pixels.
#pragma once

#include <vector>

#include <cstddef>
#include <cstdint>

namespace mobu::kernels {

// A 24-bit image: row 0 at `top`, the next row `pitch` bytes further (negative bottom-up).
struct TResampleImage {
    uint8_t* top;
    ptrdiff_t pitch;
    int width;
    int height;
    uint8_t* Row(int y) const { return top + pitch * y; }
};

struct TResampleKernels {
    const char* Name;
    // Every target pixel from the source; pixels equal to the key (0xRRGGBB, -1 none) do not
    // contribute, and a target pixel with no contribution becomes the key.
    void (*Bilinear)(const TResampleImage& to, const TResampleImage& from, int32_t key);
    void (*AreaAverage)(const TResampleImage& to, const TResampleImage& from, int32_t key);
};

const TResampleKernels& ScalarResampleKernels();
const TResampleKernels* Sse2ResampleKernels();
const TResampleKernels& ActiveResampleKernels();

// The source pixels each target pixel of an area average covers, with their weights. Both
// the scalar and the SSE2 path use this one table, so their results stay identical.
struct TSpan {
    int first = 0;
    int last = 0;
    std::vector<double> weights;
};
std::vector<TSpan> Spans(int target, int source);

}  // namespace mobu::kernels
