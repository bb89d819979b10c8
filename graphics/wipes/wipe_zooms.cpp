#include "graphics/wipes/wipe_zooms.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "graphics/kernels/surface_kernels.h"
#include "graphics/wipes/wipe_pixels.h"

namespace mobu {

using namespace wipes;

namespace {

void DrawTurned(TCustomDIBX& target, TCustomDIBX& source, int zoom, int angle)
{
    const int cx = target.Width() / 2, cy = target.Height() / 2;
    target.DrawRotate(cx, cy, zoom, zoom, source, source.SurfaceRect(), cx, cy, angle, false, false, false, 255);
}

}  // namespace

void TWipeSmall::DrawState()
{
    const double p = static_cast<double>(Pos()), d = static_cast<double>(Dur());
    CopyImage(*Target, *ToImage);
    const auto zoom = static_cast<int>(RoundEven((d - p - 1) / d * 255));
    auto angle = static_cast<int>(RoundEven(Params[0] * p / d));
    DrawTurned(*Target, *FromImage, zoom, Reverse ? -angle : angle);
}

void TWipeBig::DrawState()
{
    const double p = static_cast<double>(Pos()), d = static_cast<double>(Dur());
    CopyImage(*Target, *FromImage);
    const auto zoom = static_cast<int>(RoundEven(p / d * 255));
    auto angle = static_cast<int>(RoundEven(Params[0] * (d - p - 1) / d));
    DrawTurned(*Target, *ToImage, zoom, Reverse ? -angle : angle);
}

void TWipeZoomin::DrawState()
{
    const double w = Width(), h = Height();
    const double c = 2.0 * static_cast<double>(Pos()) / static_cast<double>(Dur());
    const bool first = c <= 1;
    const double share = first ? 1 - c : c - 1;  // window size as a share of the screen
    const double pull = first ? c : 2 - c;       // how far the centre has moved to the point
    const auto ww = static_cast<int>(std::clamp(share * w, 1.0, w));
    const auto wh = static_cast<int>(std::clamp(share * h, 1.0, h));
    const double cx = (Params[0] - w / 2) * pull + w / 2, cy = (Params[1] - h / 2) * pull + h / 2;
    // The window's top left, kept inside the image.
    const auto left = static_cast<int>(std::clamp<double>(std::floor(cx - ww / 2.0), 0, Width() - ww));
    const auto top = static_cast<int>(std::clamp<double>(std::floor(cy - wh / 2.0), 0, Height() - wh));
    Target->StretchDrawAlpha(Target->SurfaceRect(), first ? *FromImage : *ToImage,
                             TRect{left, top, left + ww, top + wh}, false, false, false, 255);
}

namespace {

// One line of the twist (a row, or a column of TWipeTwistV) in the step being drawn.
struct TTwistLine {
    enum TKind : uint8_t { Waiting, Done, Turning } kind = Waiting;
    bool from = false;    // turning: shows the old picture (else the new one)
    int start = 0;        // turning: first pixel of the squeezed line
    int squeezed = 0;     // turning: its length (0: the whole line is black)
    int64_t step = 0;     // turning: source pixels per pixel, 16.16
};

// Pixel i (0 ≤ i < squeezed) of a line squeezed into `squeezed` pixels samples source pixel
// floor(i · step / 65536) of it, as a nearest-neighbour stretch does, cut to the line.
// Columns of TWipeTwistV drawn together, top to bottom (a few cache lines of pixels wide).
constexpr int kBand = 128;

inline int Sample(const TTwistLine& line, int i, int length)
{
    return static_cast<int>(std::min<int64_t>((line.step * i) >> 16, length - 1));
}

}  // namespace

void TWipeTwistH::DrawState()
{
    const bool columns = Columns();
    const int lines = columns ? Width() : Height();  // rows (columns) that turn
    const int length = columns ? Height() : Width();
    const double phi = static_cast<double>(Pos()) * (3 * std::numbers::pi / 2) / static_cast<double>(Dur());
    // Each line: untouched until its turn, then turning about its middle (squeezed to
    // |cos e| of its length, the old picture while cos e > 0, black around it), then the new
    // picture once e reaches π.
    std::vector<TTwistLine> plan(static_cast<size_t>(lines));
    for (int k = 0; k < lines; ++k) {
        TTwistLine& line = plan[static_cast<size_t>(Reverse ? lines - 1 - k : k)];
        const double e = phi - (static_cast<double>(k) / lines) * (std::numbers::pi / 2);
        if (e < 0) continue;
        if (e >= std::numbers::pi) {
            line.kind = TTwistLine::Done;
            continue;
        }
        line.kind = TTwistLine::Turning;
        const double cosine = std::cos(e);
        const auto squeezed = static_cast<int>(RoundEven(std::fabs(cosine) * length));
        if (squeezed <= 0 || cosine == 0) continue;
        line.squeezed = squeezed;
        line.start = (length - squeezed) / 2;
        line.from = cosine > 0;
        line.step = static_cast<int64_t>(std::floor(static_cast<double>(length) / squeezed * 65536.0));
    }
    TRows32 target(*Target, true), from(*FromImage, false), to(*ToImage, false);
    if (!target.Valid() || !from.Valid() || !to.Valid()) return;
    const TRect clip = IntersectRects(Target->GetClipRect(), Target->SurfaceRect());
    if (clip.IsEmpty()) return;
    if (!columns) {
        // Rows: black around the squeezed part, which is a nearest-neighbour stretch of the row.
        const auto& kernels = kernels::Kernels();
        std::vector<int32_t> offsets(static_cast<size_t>(length));
        for (int y = clip.Top; y < clip.Bottom; ++y) {
            const TTwistLine& line = plan[static_cast<size_t>(y)];
            uint32_t* t = target.Row(y);
            if (line.kind == TTwistLine::Waiting) continue;
            if (line.kind == TTwistLine::Done) {
                std::copy(to.Row(y) + clip.Left, to.Row(y) + clip.Right, t + clip.Left);
                continue;
            }
            const int a = std::clamp(line.start, clip.Left, clip.Right);
            const int b = std::clamp(line.start + line.squeezed, a, clip.Right);
            std::fill(t + clip.Left, t + a, 0u);
            std::fill(t + b, t + clip.Right, 0u);
            if (a == b) continue;
            for (int x = a; x < b; ++x) offsets[static_cast<size_t>(x - a)] = Sample(line, x - line.start, length);
            kernels.gather32(t + a, line.from ? from.Row(y) : to.Row(y), static_cast<size_t>(length), offsets.data(),
                             static_cast<size_t>(b - a));
        }
        return;
    }
    // Columns. Runs of neighbouring columns in the same state: a waiting run stays as it is,
    // a finished one is the new picture's, and the pixel y of a turning column is source row
    // Sample(y − start) while 0 ≤ y − start < squeezed, black outside.
    struct TColumn {
        const uint8_t* rows;  // row 0 of the source
        std::ptrdiff_t pitch;
        int64_t step;
        int start;
        unsigned squeezed;
    };
    const int right = std::min(clip.Right, lines);
    std::vector<TColumn> cols(static_cast<size_t>(std::max(right, 0)));
    for (int x = clip.Left; x < right; ++x) {
        const TTwistLine& line = plan[static_cast<size_t>(x)];
        if (line.kind != TTwistLine::Turning) continue;
        const TRows32& source = line.from ? from : to;
        cols[static_cast<size_t>(x)] = {reinterpret_cast<const uint8_t*>(source.Row(0)), source.Pitch(), line.step,
                                        line.start, static_cast<unsigned>(line.squeezed)};
    }
    const int64_t last = length - 1;
    // Neighbouring columns sample rows some way apart, so whole rows would touch a new cache
    // line for almost every pixel: turning runs are drawn in bands of kBand columns, top to
    // bottom, and the source lines a band reads stay in the cache while its rows go by.
    auto draw_turning = [&](int left, int end) {
        for (int band = left; band < end; band += kBand) {
            const int band_end = std::min(band + kBand, end);
            for (int y = clip.Top; y < clip.Bottom; ++y) {
                uint32_t* t = target.Row(y);
                for (int x = band; x < band_end; ++x) {
                    const TColumn& c = cols[static_cast<size_t>(x)];
                    const int i = y - c.start;
                    uint32_t pixel = 0;
                    if (static_cast<unsigned>(i) < c.squeezed) {
                        const int64_t r = std::min<int64_t>((c.step * i) >> 16, last);
                        pixel = reinterpret_cast<const uint32_t*>(c.rows + r * c.pitch)[x];
                    }
                    t[x] = pixel;
                }
            }
        }
    };
    for (int run = clip.Left; run < right;) {
        const TTwistLine::TKind kind = plan[static_cast<size_t>(run)].kind;
        int end = run + 1;
        while (end < right && plan[static_cast<size_t>(end)].kind == kind) ++end;
        if (kind == TTwistLine::Turning) {
            draw_turning(run, end);
        } else if (kind == TTwistLine::Done) {
            for (int y = clip.Top; y < clip.Bottom; ++y) std::copy(to.Row(y) + run, to.Row(y) + end, target.Row(y) + run);
        }
        run = end;
    }
}

}  // namespace mobu
