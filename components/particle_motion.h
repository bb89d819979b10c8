// The four motion rules of particles: the state a particle carries, its start (Init) and
// its advance by whole 16 ms steps (Step), and each rule's test for leaving its parent.
// Reals are the 80-bit reals of the expression language; every real turned into a position,
// zoom or priority offset saturates to 32 bits (NaN gives 0).
#pragma once

#include <cstdint>
#include <functional>

#include "core/real80.h"

namespace mobu {

// Motion rules, the vocabulary of PR_PARTMOTION.
inline constexpr uint8_t PM_NONE = 0;
inline constexpr uint8_t PM_SNOW = 1;
inline constexpr uint8_t PM_STAR = 2;
inline constexpr uint8_t PM_FLUFF = 3;
inline constexpr uint8_t PM_TWISTER = 4;

// The time unit of particles.
inline constexpr int32_t kParticleStepMs = 16;

struct TParticleBody {
    Real P[3] = {0, 0, 0};
    Real E[7] = {0, 0, 0, 0, 0, 0, 0};
    int32_t X0 = 0, Y0 = 0;
    uint8_t Rule = PM_NONE;
    int32_t Left = 0, Top = 0;
    // Set by the twister only.
    bool Zoomed = false;
    int32_t Zoom = 256;
    int32_t PriorityOffset = 0;
    bool Finished = false;
};

// Where the particle is drawn in its parent and how large the parent is, for the rules'
// finishing tests.
struct TParticlePlace {
    int32_t ParentWidth = 0, ParentHeight = 0;
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// A uniform real in [0, 1).
using TUnitRandom = std::function<Real()>;
// The process generator's uniform real.
Real ParticleRandom();

// Starts the rule from the body's Left/Top (the parent's size is used by PM_STAR).
void ParticleInit(TParticleBody& body, int32_t parent_width, int32_t parent_height, const TUnitRandom& random);
// Advances a (>= 1) steps. PM_STAR and unknown rules set Finished themselves; the others
// finish through ParticleLeftParent once the new position is applied.
void ParticleStep(TParticleBody& body, int32_t steps);
// Whether a PM_SNOW, PM_FLUFF or PM_TWISTER particle has left its parent.
bool ParticleLeftParent(const TParticleBody& body, const TParticlePlace& place);

// Real to int32: rounded half to even / truncated toward zero, saturated, NaN 0.
int32_t RoundToInt32(Real value);
int32_t TruncToInt32(Real value);
// base + round(value) (or trunc) formed in 64 bits and saturated.
int32_t AddRounded(int32_t base, Real value);
int32_t AddTruncated(int32_t base, Real value);

}  // namespace mobu
