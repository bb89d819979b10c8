// Point sampling of a glyph outline straight into coverage counts: each sample row's
// crossings with the outline give the spans of samples inside it (nonzero winding), and
// the spans are summed per pixel cell; no sample bitmap is drawn.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct FT_Outline_;

namespace mobu {

class TGlyphSampler {
public:
    // Samples `outline` (26.6 pixel units, y up) over the pixels [left, left + width) x
    // [top - height, top) at `factor` x `factor` samples per pixel, a sample lying at the
    // centre of its sub-square and counting when the outline winds around it. Each pixel's
    // count goes through `table` into `out` (width x height bytes, top row first). False
    // when the outline cannot be walked.
    bool Sample(const FT_Outline_& outline, long left, long top, int width, int height, int factor,
                std::span<const uint8_t> table, uint8_t* out);

private:
    // A line of the flattened outline that crosses the centre of at least one sample row.
    struct TEdge {
        double x;      // where it crosses the centre of row `first`, in samples
        double slope;  // x step from one row centre to the next
        int first, end;  // the rows whose centres it crosses: [first, end)
        int winding;
    };
    // A crossing of a sample row: the first sample column at or right of it, times two,
    // plus one when the outline runs down there. Crossings sort by column alone: no
    // sample centre lies between two crossings of the same column.
    using TCrossing = int32_t;
    TCrossing Crossing(double x, int winding) const;
    struct TRowCrossing {
        int row;
        TCrossing crossing;
    };
    // A line in samples (y down from the box top).
    void AddLine(double x0, double y0, double x1, double y1);
    // A quadratic curve in samples: its crossing of each row centre is solved exactly.
    void AddConic(double x0, double y0, double cx, double cy, double x1, double y1);

    std::vector<TEdge> edges_;
    int rows_ = 0;
    int columns_ = 0;
    std::vector<int> row_start_;  // first crossing of each sample row (one more entry at the end)
    std::vector<TCrossing> crossings_;
    std::vector<TRowCrossing> curve_crossings_;  // of the curves, before bucketing
    std::vector<int> counts_;  // covered samples of each pixel of the current pixel row
    friend struct TSamplerWalk;
};

}  // namespace mobu
