// TMobuParticle (LT_PARTICLE): an emitter that keeps creating small picture components
// (TMobuParticleImages) which move by one of the particle motion rules, and
// TMobuParticleImages itself.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "components/mobu_image.h"
#include "components/particle_motion.h"
#include "expr/mobu_parser.h"

namespace mobu {

class TMobuParticle;

// Emission positions and intervals a cinema track gives instead of the expressions.
struct TParticleRanges {
    int32_t XBase = 0, XRange = 0, YBase = 0, YRange = 0, DelayBase = 0, DelayRange = 0;
};

class TMobuParticleImages : public TMobuCustomImages {
public:
    TMobuParticleImages(TMobuBaseList* owner, TMobuParticle* emitter, int32_t number);
    ~TMobuParticleImages() override;

    bool WantsAutoName() const override { return false; }
    TMobuImageList* ActiveList() override;
    bool Repeats() override { return true; }
    bool AutoScraps() override { return false; }
    bool Update() override;

    // Starts the motion rule from the current position.
    void Init();
    // Advances a (>= 1) steps of 16 ms and applies the new place.
    void Step(int32_t steps);
    // Cuts the tie to the emitter (which is going): the particle shows nothing more and
    // finishes at its next update.
    void Detach();

    TParticleBody Body;
    int32_t ElapsedMs = 0;
    int32_t Number() const { return number_; }
    TMobuParticle* Emitter() const { return emitter_; }

private:
    void Apply();
    TMobuParticle* emitter_;
    int32_t number_;
};

class TMobuParticle : public TMobuControl {
public:
    // The most pieces an emitter holds at once, and the longest warm-up.
    static constexpr size_t kMaxParticles = 10000;
    static constexpr int32_t kMaxWarmUp = 60000;
    static constexpr int32_t kDefaultInterval = 16;
    static constexpr int32_t kMinInterval = 2;

    explicit TMobuParticle(TMobuBaseList* owner);
    ~TMobuParticle() override;
    bool Update() override;

    // Copies of the creation command's PR_APPEARX, PR_APPEARY and PR_DELAY expressions
    // (none: empty).
    void SetExpressions(const TMobuParser* x, const TMobuParser* y, const TMobuParser* delay);
    void SetRanges(const TParticleRanges& ranges) { Ranges = ranges; }
    void SetSource(const std::string& path);

    // How an expression is run: its integer value, or none when it is empty, fails or
    // yields nothing. The default runs it against the process-wide function manager.
    using TValueEvaluator = std::function<std::optional<int32_t>(TMobuParser&)>;
    static void SetValueEvaluator(TValueEvaluator evaluator);
    // Where new pieces take their random reals (tests replace it; none restores the
    // process generator).
    static void SetUnitRandom(TUnitRandom random);
    static const TUnitRandom& UnitRandom();

    // Called by a piece that goes.
    void Forget(TMobuParticleImages* piece);

    uint8_t State = 0;
    TMobuParser AppearX, AppearY, Delay;
    std::optional<TParticleRanges> Ranges;
    TMobuImageList Images;
    std::vector<TMobuParticleImages*> Particles;
    uint8_t PartMotion = PM_NONE;
    Real Params[3] = {0, 0, 0};
    int32_t Alpha = 255;
    int32_t Countdown = 0, Accumulator = 0;
    int32_t WarmUp = 0;
    bool PausedFlag = false;
    int32_t Duration = 0;
    const std::string& Source() const { return source_; }

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;
    void SaveTypePart(ByteWriter& out) override;
    void LoadTypePart(ByteReader& in, int version) override;

private:
    void Emit(int32_t steps, bool emitting);
    void CreatePiece(int32_t x, int32_t y, int64_t remaining);
    void DestroyPieces();
    int32_t TakeNumber();

    std::string source_;
    std::set<int32_t> free_numbers_;
    int32_t next_number_ = 0;
};

}  // namespace mobu
