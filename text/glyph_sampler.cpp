#include "text/glyph_sampler.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace mobu {

namespace {

// Largest distance, in samples, between a cubic curve and the lines that stand for it: far
// below the gap between two sample centres, so a sample changes side only when it lies
// within this distance of the true edge. Quadratic curves (TrueType) are solved exactly.
constexpr double kFlatness = 1.0 / 512;
constexpr int kMostLinesPerCurve = 256;

int LinesFor(double deviation)
{
    if (!(deviation > kFlatness)) return 1;
    return std::min(kMostLinesPerCurve, static_cast<int>(std::ceil(std::sqrt(deviation / kFlatness))));
}

// First sample row or column whose centre (index + 0.5) lies at or past `position`.
int FirstCentreAtOrAfter(double position) { return static_cast<int>(std::ceil(position - 0.5)); }

}  // namespace

// Walks an outline into the sampler's edges, flattening its cubic curves.
struct TSamplerWalk {
    TGlyphSampler* sampler;
    double origin_x, origin_y, scale;  // 26.6 units to samples: ((x - origin_x) * scale, (origin_y - y) * scale)
    double x = 0, y = 0;               // current point in samples

    double X(const FT_Vector* v) const { return (static_cast<double>(v->x) - origin_x) * scale; }
    double Y(const FT_Vector* v) const { return (origin_y - static_cast<double>(v->y)) * scale; }
    void LineTo(double to_x, double to_y)
    {
        sampler->AddLine(x, y, to_x, to_y);
        x = to_x;
        y = to_y;
    }
    static int MoveTo(const FT_Vector* to, void* user)
    {
        auto* walk = static_cast<TSamplerWalk*>(user);
        walk->x = walk->X(to);
        walk->y = walk->Y(to);
        return 0;
    }
    static int Line(const FT_Vector* to, void* user)
    {
        auto* walk = static_cast<TSamplerWalk*>(user);
        walk->LineTo(walk->X(to), walk->Y(to));
        return 0;
    }
    static int Conic(const FT_Vector* control, const FT_Vector* to, void* user)
    {
        auto* walk = static_cast<TSamplerWalk*>(user);
        const double to_x = walk->X(to), to_y = walk->Y(to);
        walk->sampler->AddConic(walk->x, walk->y, walk->X(control), walk->Y(control), to_x, to_y);
        walk->x = to_x;
        walk->y = to_y;
        return 0;
    }
    static int Cubic(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
    {
        auto* walk = static_cast<TSamplerWalk*>(user);
        const double x0 = walk->x, y0 = walk->y;
        const double ax = walk->X(control1), ay = walk->Y(control1);
        const double bx = walk->X(control2), by = walk->Y(control2);
        const double x1 = walk->X(to), y1 = walk->Y(to);
        const double dx0 = x0 - 2 * ax + bx, dy0 = y0 - 2 * ay + by;
        const double dx1 = ax - 2 * bx + x1, dy1 = ay - 2 * by + y1;
        const double deviation = std::sqrt(std::max(dx0 * dx0 + dy0 * dy0, dx1 * dx1 + dy1 * dy1)) * 3 / 4;
        const int lines = LinesFor(deviation);
        for (int i = 1; i < lines; ++i) {
            const double t = static_cast<double>(i) / lines, u = 1 - t;
            walk->LineTo(u * u * u * x0 + 3 * u * u * t * ax + 3 * u * t * t * bx + t * t * t * x1,
                         u * u * u * y0 + 3 * u * u * t * ay + 3 * u * t * t * by + t * t * t * y1);
        }
        walk->LineTo(x1, y1);
        return 0;
    }
};

TGlyphSampler::TCrossing TGlyphSampler::Crossing(double x, int winding) const
{
    return std::clamp(FirstCentreAtOrAfter(x), 0, columns_) * 2 + (winding > 0 ? 1 : 0);
}

void TGlyphSampler::AddLine(double x0, double y0, double x1, double y1)
{
    // The line crosses the centre rows in [min y, max y); a line crossing none adds nothing.
    const int first = std::clamp(FirstCentreAtOrAfter(std::min(y0, y1)), 0, rows_);
    const int end = std::clamp(FirstCentreAtOrAfter(std::max(y0, y1)), 0, rows_);
    if (first >= end) return;
    const double slope = (x1 - x0) / (y1 - y0);
    edges_.push_back({x0 + (first + 0.5 - y0) * slope, slope, first, end, y1 > y0 ? 1 : -1});
    // Marks +1 at the first row and -1 past the last: their running sum is a row's count.
    ++row_start_[static_cast<size_t>(first)];
    --row_start_[static_cast<size_t>(end)];
}

void TGlyphSampler::AddConic(double x0, double y0, double cx, double cy, double x1, double y1)
{
    // x(t) = x0 + bx t + ax t^2 and y(t) likewise, for t in [0, 1]; split where y turns
    // back, so that each piece crosses a row centre once.
    const double ax = x0 - 2 * cx + x1, bx = 2 * (cx - x0);
    const double ay = y0 - 2 * cy + y1, by = 2 * (cy - y0);
    double ends[3] = {0, 1, 1};
    bool before_turn[2] = {false, false};  // the piece lies before the turn of y(t)
    int pieces = 1;
    if (ay != 0) {
        const double turn = -by / (2 * ay);
        if (turn > 0 && turn < 1) {
            ends[1] = turn;
            pieces = 2;
            before_turn[0] = true;
        } else {
            before_turn[0] = turn >= 1;
        }
    }
    for (int piece = 0; piece < pieces; ++piece) {
        const double ta = ends[piece], tb = ends[piece + 1];
        const double ya = ta == 0 ? y0 : y0 + (by + ay * ta) * ta;
        const double yb = tb == 1 ? y1 : y0 + (by + ay * tb) * tb;
        // The piece crosses the centre rows in [min y, max y), as a line does.
        const int first = std::clamp(FirstCentreAtOrAfter(std::min(ya, yb)), 0, rows_);
        const int end = std::clamp(FirstCentreAtOrAfter(std::max(ya, yb)), 0, rows_);
        if (first >= end) continue;
        const int winding = yb > ya ? 1 : -1;
        // Of the roots (-by -+ sqrt(D)) / 2ay, the piece before the turn holds the smaller
        // when ay > 0; the stable form gives the one of the sign of -by as q / ay and the
        // other as c / q.
        const bool want_minus = before_turn[piece] != (ay < 0);
        const bool q_over_ay = (by >= 0) == want_minus;
        for (int j = first; j < end; ++j) {
            // Solves ay t^2 + by t + (y0 - centre) = 0 for the root inside the piece.
            const double c = y0 - (j + 0.5);
            double t;
            if (ay == 0) {
                t = -c / by;
            } else {
                const double q = -0.5 * (by + std::copysign(std::sqrt(std::max(0.0, by * by - 4 * ay * c)), by));
                t = q == 0 ? 0 : q_over_ay ? q / ay : c / q;
            }
            t = std::clamp(t, ta, tb);
            curve_crossings_.push_back({j, Crossing(x0 + (bx + ax * t) * t, winding)});
            ++row_start_[static_cast<size_t>(j)];
            --row_start_[static_cast<size_t>(j) + 1];
        }
    }
}

bool TGlyphSampler::Sample(const FT_Outline_& outline, long left, long top, int width, int height, int factor,
                           std::span<const uint8_t> table, uint8_t* out)
{
    columns_ = width * factor;
    rows_ = height * factor;
    edges_.clear();
    curve_crossings_.clear();
    row_start_.assign(static_cast<size_t>(rows_) + 1, 0);
    TSamplerWalk walk{this, static_cast<double>(left) * 64, static_cast<double>(top) * 64, factor / 64.0};
    FT_Outline_Funcs funcs{};
    funcs.move_to = &TSamplerWalk::MoveTo;
    funcs.line_to = &TSamplerWalk::Line;
    funcs.conic_to = &TSamplerWalk::Conic;
    funcs.cubic_to = &TSamplerWalk::Cubic;
    if (FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &walk) != 0) return false;

    // The running sum of the marks is each row's crossing count; the sum of the counts
    // before a row is where its crossings start.
    int per_row = 0, total = 0;
    for (int j = 0; j < rows_; ++j) {
        per_row += row_start_[static_cast<size_t>(j)];
        row_start_[static_cast<size_t>(j)] = total;
        total += per_row;
    }
    row_start_[static_cast<size_t>(rows_)] = total;
    crossings_.resize(static_cast<size_t>(total));
    std::vector<int>& next = counts_;  // the fill cursor of each row, until the counting
    next.assign(row_start_.begin(), row_start_.end());
    for (const TEdge& edge : edges_) {
        for (int j = edge.first; j < edge.end; ++j)
            crossings_[static_cast<size_t>(next[static_cast<size_t>(j)]++)] =
                Crossing(edge.x + (j - edge.first) * edge.slope, edge.winding);
    }
    for (const TRowCrossing& crossing : curve_crossings_)
        crossings_[static_cast<size_t>(next[static_cast<size_t>(crossing.row)]++)] = crossing.crossing;

    counts_.assign(static_cast<size_t>(width), 0);
    for (int py = 0; py < height; ++py) {
        std::fill(counts_.begin(), counts_.end(), 0);
        for (int s = 0; s < factor; ++s) {
            const int j = py * factor + s;
            TCrossing* begin = crossings_.data() + row_start_[static_cast<size_t>(j)];
            TCrossing* end = crossings_.data() + row_start_[static_cast<size_t>(j) + 1];
            // Few crossings per row: insertion sort by column.
            for (TCrossing* p = begin + 1; p < end; ++p) {
                const TCrossing value = *p;
                TCrossing* q = p;
                for (; q > begin && *(q - 1) > value; --q) *q = *(q - 1);
                *q = value;
            }
            // Samples right of a crossing and left of the next are inside while the sum of
            // the windings passed is not zero.
            int winding = 0;
            int c0 = 0;
            for (TCrossing* p = begin; p < end; ++p) {
                const int before = winding;
                winding += (*p & 1) ? 1 : -1;
                if (before == 0 && winding != 0) {
                    c0 = *p >> 1;
                } else if (before != 0 && winding == 0) {
                    const int c1 = *p >> 1;
                    if (c1 <= c0) continue;
                    const int a = c0 / factor, b = (c1 - 1) / factor;
                    if (a == b) {
                        counts_[static_cast<size_t>(a)] += c1 - c0;
                    } else {
                        counts_[static_cast<size_t>(a)] += (a + 1) * factor - c0;
                        for (int k = a + 1; k < b; ++k) counts_[static_cast<size_t>(k)] += factor;
                        counts_[static_cast<size_t>(b)] += c1 - b * factor;
                    }
                }
            }
        }
        uint8_t* target = out + static_cast<size_t>(py) * width;
        for (int x = 0; x < width; ++x) target[x] = table[static_cast<size_t>(counts_[static_cast<size_t>(x)])];
    }
    return true;
}

}  // namespace mobu
