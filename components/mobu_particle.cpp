#include "components/mobu_particle.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "components/mobu_base_list.h"
#include "core/script_log.h"
#include "expr/custom_param.h"
#include "expr/script_random.h"

namespace mobu {
namespace {

std::optional<int32_t> RunValueExpression(TMobuParser& expression)
{
    if (expression.Empty()) return std::nullopt;
    expression.Execute();
    const TCustomParam* result = expression.Result();
    if (!result || !expression.LastError().empty()) return std::nullopt;
    return result->GetInteger();
}

TMobuParticle::TValueEvaluator& ValueEvaluator()
{
    static TMobuParticle::TValueEvaluator evaluator = RunValueExpression;
    return evaluator;
}

TUnitRandom& UnitRandomSource()
{
    static TUnitRandom random = ParticleRandom;
    return random;
}

int32_t Saturated(int64_t v)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ---------------- TMobuParticleImages ----------------

TMobuParticleImages::TMobuParticleImages(TMobuBaseList* owner, TMobuParticle* emitter, int32_t number)
    : TMobuCustomImages(owner, LT_IMAGES), emitter_(emitter), number_(number)
{
    StoreName("\x01" + emitter->Name() + "\x01" + std::to_string(number));
}

TMobuParticleImages::~TMobuParticleImages()
{
    if (emitter_) emitter_->Forget(this);
}

TMobuImageList* TMobuParticleImages::ActiveList() { return emitter_ ? &emitter_->Images : nullptr; }

void TMobuParticleImages::Detach()
{
    Invalidate();
    emitter_ = nullptr;
    ImageSurface = nullptr;
    ImageMask = nullptr;
    Body.Finished = true;
}

void TMobuParticleImages::Apply()
{
    if (Body.Zoomed) {
        SetProp(PR_ZOOMX, TPropValue::Int(Body.Zoom));
        SetProp(PR_ZOOMY, TPropValue::Int(Body.Zoom));
        SetPriorityOffset(Body.PriorityOffset);
    }
    SetLeft(Body.Left);
    SetTop(Body.Top);
    if (Body.Finished) return;
    TMobuControl* parent = Parent();
    if (!parent) return;
    const TRect drawn = GetBoundsRect();
    TParticlePlace place;
    place.ParentWidth = parent->Width, place.ParentHeight = parent->Height;
    place.Left = Saturated(int64_t{drawn.Left} - parent->GetAbsLeft());
    place.Top = Saturated(int64_t{drawn.Top} - parent->GetAbsTop());
    place.Width = drawn.Width(), place.Height = drawn.Height();
    if (ParticleLeftParent(Body, place)) Body.Finished = true;
}

void TMobuParticleImages::Init()
{
    SetProp(PR_OFFSETX, TPropValue::Int(Width / 2));
    SetProp(PR_OFFSETY, TPropValue::Int(Height / 2));
    Body.Left = Left, Body.Top = Top;
    TMobuControl* parent = Parent();
    ParticleInit(Body, parent ? parent->Width : 0, parent ? parent->Height : 0, TMobuParticle::UnitRandom());
    SetLeft(Body.Left);
    SetTop(Body.Top);
}

void TMobuParticleImages::Step(int32_t steps)
{
    if (steps < 1 || Body.Finished) return;
    ElapsedMs = Saturated(int64_t{ElapsedMs} + int64_t{steps} * kParticleStepMs);
    ParticleStep(Body, steps);
    Apply();
}

bool TMobuParticleImages::Update()
{
    if (Body.Finished || !emitter_) return true;
    return TMobuCustomImages::Update();
}

// ---------------- TMobuParticle ----------------

TMobuParticle::TMobuParticle(TMobuBaseList* owner) : TMobuControl(owner, LT_PARTICLE) {}

TMobuParticle::~TMobuParticle()
{
    // Pieces that outlive the emitter (moved to another parent) forget it first.
    for (TMobuParticleImages* piece : Particles) piece->Detach();
    Particles.clear();
}

void TMobuParticle::SetValueEvaluator(TValueEvaluator evaluator)
{
    ValueEvaluator() = evaluator ? std::move(evaluator) : RunValueExpression;
}

void TMobuParticle::SetUnitRandom(TUnitRandom random)
{
    UnitRandomSource() = random ? std::move(random) : ParticleRandom;
}

const TUnitRandom& TMobuParticle::UnitRandom() { return UnitRandomSource(); }

void TMobuParticle::SetExpressions(const TMobuParser* x, const TMobuParser* y, const TMobuParser* delay)
{
    const TMobuParser none;
    AppearX.Assign(x ? *x : none);
    AppearY.Assign(y ? *y : none);
    Delay.Assign(delay ? *delay : none);
}

void TMobuParticle::Forget(TMobuParticleImages* piece)
{
    std::erase(Particles, piece);
    if (piece->Number() == next_number_ - 1) --next_number_;
    else free_numbers_.insert(piece->Number());
    while (!free_numbers_.empty() && *free_numbers_.rbegin() == next_number_ - 1) {
        free_numbers_.erase(std::prev(free_numbers_.end()));
        --next_number_;
    }
}

int32_t TMobuParticle::TakeNumber()
{
    while (true) {
        int32_t number;
        if (!free_numbers_.empty()) {
            number = *free_numbers_.begin();
            free_numbers_.erase(free_numbers_.begin());
        } else {
            number = next_number_++;
        }
        // A name some other component already carries is skipped.
        if (!owner_ || !owner_->FindComponent("\x01" + Name() + "\x01" + std::to_string(number))) return number;
    }
}

void TMobuParticle::DestroyPieces()
{
    std::vector<TMobuParticleImages*> pieces = Particles;
    for (TMobuParticleImages* piece : pieces) {
        if (owner_ && owner_->IsRegistered(piece)) owner_->Destroy(piece);
        else piece->Detach();
    }
    Particles.clear();
    free_numbers_.clear();
    next_number_ = 0;
}

void TMobuParticle::SetSource(const std::string& path)
{
    if (path == source_) return;
    source_ = path;
    DestroyPieces();
    Images.Clear();
    SetMotion(std::string());
    if (HasExtension(path, ".fsk")) {
        Images.Fill(this, path, false, false);
    } else if (HasExtension(path, ".mmt")) {
        // Pieces that play a film each are not built yet.
        ReportNotAvailable("TMobuMotionParticle");
    }
    State = 0;
}

bool TMobuParticle::Update()
{
    if (TMobuControl::Update()) return true;
    if (AniPaused) return false;
    const int32_t elapsed = std::max(ImageFrameElapsedMs(), 0);
    switch (State) {
        case 0: {
            const int32_t warm_up = std::clamp(WarmUp, 0, kMaxWarmUp);
            State = 1;
            Accumulator = warm_up % kParticleStepMs;
            Countdown = 0;
            Emit(warm_up / kParticleStepMs, true);
            break;
        }
        case 1:
            Accumulator = Saturated(int64_t{Accumulator} + elapsed);
            Emit(Accumulator / kParticleStepMs, true);
            Accumulator %= kParticleStepMs;
            if (Duration > 0) {
                Duration = Saturated(int64_t{Duration} - elapsed);
                if (Duration <= 0) State = 2;
            }
            break;
        default:
            if (Particles.empty()) return true;
            Accumulator = Saturated(int64_t{Accumulator} + elapsed);
            Emit(Accumulator / kParticleStepMs, false);
            Accumulator %= kParticleStepMs;
            break;
    }
    return false;
}

void TMobuParticle::Emit(int32_t steps, bool emitting)
{
    if (emitting) Countdown = Saturated(int64_t{Countdown} - int64_t{steps} * kParticleStepMs);
    if (steps > 0)
        for (size_t i = Particles.size(); i-- > 0;) Particles[i]->Step(steps);
    if (!emitting || PartMotion == PM_NONE) return;
    int64_t remaining = int64_t{steps} * kParticleStepMs;
    while (Countdown <= 0) {
        int32_t x = 0, y = 0;
        int64_t interval = kDefaultInterval;
        if (Ranges) {
            x = Saturated(int64_t{ScriptRandom(Ranges->XRange)} + Ranges->XBase);
            y = Saturated(int64_t{ScriptRandom(Ranges->YRange)} + Ranges->YBase);
            interval = std::max<int64_t>(kMinInterval, int64_t{ScriptRandom(Ranges->DelayRange)} + Ranges->DelayBase);
        } else {
            if (std::optional<int32_t> delay = ValueEvaluator()(Delay)) interval = std::max<int32_t>(kMinInterval, *delay);
            x = ValueEvaluator()(AppearX).value_or(0);
            y = ValueEvaluator()(AppearY).value_or(0);
        }
        Countdown = Saturated(int64_t{Countdown} + interval);
        remaining -= interval;
        if (Particles.size() < kMaxParticles) CreatePiece(x, y, remaining);
    }
}

void TMobuParticle::CreatePiece(int32_t x, int32_t y, int64_t remaining)
{
    if (!owner_) return;
    auto* piece = new TMobuParticleImages(owner_, this, TakeNumber());
    Particles.push_back(piece);
    piece->SetParent(this);
    piece->Body.Rule = PartMotion;
    for (int i = 0; i < 3; ++i) piece->Body.P[i] = Params[i];
    piece->SetLeft(x);
    piece->SetTop(y);
    piece->SetProp(PR_ALPHA, TPropValue::Int(Alpha));
    if (Images.Count() > 0) piece->SetIndex(0);
    piece->Init();
    if (remaining > 0) piece->Step(static_cast<int32_t>(std::min<int64_t>(remaining / kParticleStepMs, INT32_MAX)));
}

TPropValue TMobuParticle::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(source_);
        case PR_ALPHA: return TPropValue::Int(Alpha);
        case PR_INDEX: return TPropValue::Int(WarmUp);
        case PR_PARTMOTION: return TPropValue::Int(PartMotion);
        case PR_PARAM1: return TPropValue::Float(Params[0]);
        case PR_PARAM2: return TPropValue::Float(Params[1]);
        case PR_PARAM3: return TPropValue::Float(Params[2]);
        case PR_DURATION: return TPropValue::Int(Duration);
        case PR_PAUSED: return TPropValue::Flag(PausedFlag);
        default: return TMobuControl::ReadProperty(id);
    }
}

void TMobuParticle::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE: SetSource(value.text); return;
        case PR_ALPHA: Alpha = value.integer; return;
        case PR_INDEX: WarmUp = std::clamp(value.integer, 0, kMaxWarmUp); return;
        case PR_PARTMOTION: PartMotion = static_cast<uint8_t>(value.integer); return;
        case PR_PARAM1: Params[0] = value.AsReal(); return;
        case PR_PARAM2: Params[1] = value.AsReal(); return;
        case PR_PARAM3: Params[2] = value.AsReal(); return;
        case PR_DURATION: Duration = value.integer; return;
        case PR_PAUSED: PausedFlag = value.integer != 0; return;
        default: TMobuControl::WriteProperty(id, value); return;
    }
}

void TMobuParticle::SaveTypePart(ByteWriter& out)
{
    AppearX.SaveToStream(out);
    AppearY.SaveToStream(out);
    Delay.SaveToStream(out);
    out.String(source_);
    out.U8(PartMotion);
    for (const Real& p : Params) out.Real80(p);
    out.I32(Alpha);
    out.I32(WarmUp);
    out.String(EventString(PR_ONIDLE));
    out.Flag(PausedFlag);
    out.I32(Duration);
}

void TMobuParticle::LoadTypePart(ByteReader& in, int version)
{
    AppearX.LoadFromStream(in);
    AppearY.LoadFromStream(in);
    Delay.LoadFromStream(in);
    const std::string source = in.String();
    const uint8_t motion = in.U8();
    Real params[3];
    for (Real& p : params) p = in.Real80();
    const int32_t alpha = in.I32();
    if (version > 103) {
        WarmUp = std::clamp(in.I32(), 0, kMaxWarmUp);
        values_[PR_ONIDLE] = TPropValue::Text(in.String());
        PausedFlag = in.Flag();
        Duration = in.I32();
    }
    SetSource(source);
    PartMotion = motion;
    std::copy(std::begin(params), std::end(params), Params);
    Alpha = alpha;
    // The pieces are not saved: a loaded emitter starts again with its warm-up.
    DestroyPieces();
    State = 0;
}

}  // namespace mobu
