#include "components/particle_motion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "expr/script_random.h"

namespace mobu {
namespace {

constexpr Real kTwoPi = 2 * std::numbers::pi_v<Real>;
constexpr Real kInt32Max = 2147483647.0L;

// Real to int64 with saturation well beyond the int32 range (NaN 0).
int64_t Saturate64(Real value)
{
    if (std::isnan(value)) return 0;
    constexpr Real kLimit = 8589934592.0L;  // 2^33: any int32 sum stays exact
    return static_cast<int64_t>(std::clamp(value, -kLimit, kLimit));
}

int32_t Saturate32(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

Real ParticleRandom()
{
    constexpr int32_t kScale = 1 << 30;
    return static_cast<Real>(ScriptRandom(kScale)) / kScale;
}

int32_t RoundToInt32(Real value) { return Saturate32(Saturate64(std::nearbyintl(value))); }
int32_t TruncToInt32(Real value) { return Saturate32(Saturate64(std::truncl(value))); }
int32_t AddRounded(int32_t base, Real value) { return Saturate32(base + Saturate64(std::nearbyintl(value))); }
int32_t AddTruncated(int32_t base, Real value) { return Saturate32(base + Saturate64(std::truncl(value))); }

void ParticleInit(TParticleBody& b, int32_t parent_width, int32_t parent_height, const TUnitRandom& random)
{
    Real* P = b.P;
    Real* E = b.E;
    switch (b.Rule) {
        case PM_SNOW:
            b.X0 = b.Left, b.Y0 = b.Top;
            E[2] = 0;
            E[3] = random() * 0.02L + 0.02L;
            if (P[0] <= 0) P[0] = 0.1L;
            if (P[2] > P[1]) E[2] = random() * (P[2] - P[1]);
            break;
        case PM_STAR: {
            b.X0 = b.Left, b.Y0 = b.Top;
            E[4] = random() * kTwoPi;
            E[5] = P[0] + 0.1L;
            b.Left = AddRounded(b.X0, E[5] * std::cos(E[4]));
            b.Top = AddRounded(b.Y0, E[5] * std::sin(E[4]));
            const Real ex = b.X0 >= parent_width / 2.0L ? 0 : parent_width;
            const Real ey = b.Y0 >= parent_height / 2.0L ? 0 : parent_height;
            E[6] = std::hypot(std::fabs(ey - b.Y0), std::fabs(ex - b.X0));
            P[2] = random() * (0.3L * P[2]) + 0.7L * P[2];
            break;
        }
        case PM_FLUFF:
            P[1] = (P[2] - P[1]) * random() + P[1];
            E[0] = b.Left;
            b.Y0 = b.Top;
            break;
        case PM_TWISTER:
            b.X0 = b.Left;
            E[1] = b.Top;
            E[2] = random() * (0.05L * P[1] / 2) + 0.95L * P[1] / 2;
            E[5] = random() * (P[2] / 2) + P[2] / 2;
            break;
        default: break;
    }
}

void ParticleStep(TParticleBody& b, int32_t a)
{
    if (a < 1 || b.Finished) return;
    Real* P = b.P;
    Real* E = b.E;
    switch (b.Rule) {
        case PM_SNOW:
            E[4] = E[4] + E[3] * a;
            b.Left = AddRounded(b.X0, std::sin(E[4]) * (P[1] + E[2]));
            E[1] = E[1] + a * P[0];
            if (E[1] >= 1) {
                const Real whole = std::truncl(E[1]);
                b.Top = AddTruncated(b.Top, whole);
                E[1] = E[1] - whole;
                if (!std::isfinite(E[1])) E[1] = 0;  // an infinite fall has no fraction left
            }
            break;
        case PM_STAR:
            if (a > 1) E[5] = E[5] * std::pow(P[1], static_cast<Real>(a - 1));
            if (!(E[5] >= -kInt32Max && E[5] <= kInt32Max)) {
                b.Finished = true;
                break;
            }
            b.Left = AddRounded(b.X0, std::cos(E[4]) * E[5]);
            b.Top = AddRounded(b.Y0, std::sin(E[4]) * E[5]);
            E[5] = E[5] * P[1];
            if (E[5] >= E[6]) b.Finished = true;
            E[4] = E[4] + P[2];
            break;
        case PM_FLUFF:
            E[0] = E[0] + a * P[1];
            b.Left = TruncToInt32(E[0]);
            E[1] = E[1] + a;
            b.Top = AddTruncated(b.Y0, -(P[0] * E[1] * E[1]));
            break;
        case PM_TWISTER: {
            E[4] = E[4] + a * E[5];
            if (E[4] > kTwoPi) E[4] = E[4] - kTwoPi;
            const Real g = std::fabs(std::cos(E[4] / 2)) / 2 + 0.5L;
            b.Zoomed = true;
            b.Zoom = RoundToInt32(g * 256);
            b.Left = AddTruncated(b.X0, g * std::sin(E[4]) * E[2]);
            E[1] = E[1] - P[0];
            b.Top = TruncToInt32(E[1]);
            b.PriorityOffset = RoundToInt32((g - 0.5L) / 0.5L * 2000 - 1000);
            break;
        }
        default: b.Finished = true; break;
    }
}

bool ParticleLeftParent(const TParticleBody& b, const TParticlePlace& p)
{
    const int64_t right = int64_t{p.Left} + p.Width, bottom = int64_t{p.Top} + p.Height;
    switch (b.Rule) {
        case PM_SNOW: return p.Top >= p.ParentHeight;
        case PM_FLUFF:
            if (b.P[1] >= 0) return p.Left >= p.ParentWidth || bottom < 0;
            return right < 0 || bottom < 0;
        case PM_TWISTER: return bottom < 0;
        default: return false;
    }
}

}  // namespace mobu
