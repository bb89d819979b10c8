#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "components/mobu_base_list.h"
#include "components/mobu_particle.h"
#include "components/particle_motion.h"
#include "core/globals.h"

namespace mobu {
namespace {

std::string DataPath(const std::string& name)
{
    return std::string(MOBU_SOURCE_DIR) + "/tests/data/effects/" + name;
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

Real ToReal(const std::string& word) { return std::stold(word); }

void ExpectNear(Real actual, Real expected, const std::string& where)
{
    // Doubles overflow where the 80-bit real still holds the value: both are beyond any
    // position.
    if (std::isinf(expected)) {
        EXPECT_TRUE(std::fabs(actual) > 1e300L && std::signbit(actual) == std::signbit(expected)) << where;
        return;
    }
    EXPECT_NEAR(static_cast<double>(actual), static_cast<double>(expected),
                1e-9 * std::max<double>(1.0, std::fabs(static_cast<double>(expected))))
        << where;
}

// Init and Step of every rule against Python's math with the same R values.
TEST(ParticleMotion, RulesMatchTheModel)
{
    std::ifstream in(DataPath("particle_motion.txt"));
    ASSERT_TRUE(in);
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        const std::vector<std::string> c = Words(line);
        ASSERT_EQ(c.at(0), "case");
        TParticleBody body;
        body.Rule = static_cast<uint8_t>(std::stoi(c[1]));
        for (int i = 0; i < 3; ++i) body.P[i] = ToReal(c[2 + static_cast<size_t>(i)]);
        body.Left = std::stoi(c[5]), body.Top = std::stoi(c[6]);
        const int32_t pw = std::stoi(c[7]), ph = std::stoi(c[8]);
        std::getline(in, line);
        const std::vector<std::string> r = Words(line);
        size_t next = 1;
        ParticleInit(body, pw, ph, [&]() { return next < r.size() ? ToReal(r[next++]) : Real(0); });
        auto check = [&](const std::string& where) {
            std::getline(in, line);
            const std::vector<std::string> e = Words(line);
            ASSERT_EQ(e.size(), 14u);
            EXPECT_EQ(body.Left, std::stoi(e[0])) << where;
            EXPECT_EQ(body.Top, std::stoi(e[1])) << where;
            EXPECT_EQ(body.X0, std::stoi(e[2])) << where;
            EXPECT_EQ(body.Y0, std::stoi(e[3])) << where;
            EXPECT_EQ(body.Zoom, std::stoi(e[4])) << where;
            EXPECT_EQ(body.PriorityOffset, std::stoi(e[5])) << where;
            EXPECT_EQ(body.Finished, e[6] == "1") << where;
            for (int i = 0; i < 7; ++i) ExpectNear(body.E[i], ToReal(e[7 + static_cast<size_t>(i)]), where + " E" + std::to_string(i));
        };
        check(c[1] + " init (" + line + ")");
        for (size_t s = 9; s < c.size(); ++s) {
            ParticleStep(body, std::stoi(c[s]));
            check("rule " + c[1] + " case " + std::to_string(cases) + " step " + std::to_string(s - 9));
        }
        ++cases;
    }
    EXPECT_EQ(cases, 12);
}

TEST(ParticleMotion, HugeAndUndefinedRealsSaturate)
{
    EXPECT_EQ(RoundToInt32(std::nanl("")), 0);
    EXPECT_EQ(RoundToInt32(1e200L), 2147483647);
    EXPECT_EQ(TruncToInt32(-1e30L), -2147483647 - 1);
    EXPECT_EQ(RoundToInt32(2.5L), 2);  // halves to even
    EXPECT_EQ(RoundToInt32(-3.5L), -4);
    EXPECT_EQ(AddRounded(2147483000, 1e9L), 2147483647);
    EXPECT_EQ(AddTruncated(-5, -2.9L), -7);
    // A snow piece falling 1e15 pixels a step leaves any parent at once.
    TParticleBody body;
    body.Rule = PM_SNOW;
    body.P[0] = 1e15L;
    ParticleInit(body, 100, 100, [] { return Real(0.5); });
    ParticleStep(body, 1);
    EXPECT_EQ(body.Top, 2147483647);
    EXPECT_TRUE(ParticleLeftParent(body, {100, 100, body.Left, body.Top, 4, 4}));
}

// An emitter on a 64 × 64 screen whose expressions go through a counting evaluator.
struct TEmitterScene {
    TMobuBaseList list;
    TMobuParticle* emitter;
    std::optional<int32_t> delay;
    int appear_x_runs = 0;

    TEmitterScene()
    {
        FrameDeltaMs = 15;
        list.SetSize(64, 64);
        emitter = static_cast<TMobuParticle*>(list.CreateComponent(LT_PARTICLE));
        emitter->SetName("fx");
        emitter->SetBounds(0, 0, 64, 64);
        TMobuParticle::SetValueEvaluator([this](TMobuParser& expression) -> std::optional<int32_t> {
            if (&expression == emitter_x_) {
                ++appear_x_runs;
                return 10;
            }
            if (&expression == emitter_delay_) return delay;
            return 20;
        });
        emitter_x_ = &emitter->AppearX;
        emitter_delay_ = &emitter->Delay;
        TMobuParticle::SetUnitRandom([] { return Real(0.25); });
    }
    ~TEmitterScene()
    {
        TMobuParticle::SetValueEvaluator(nullptr);
        TMobuParticle::SetUnitRandom(nullptr);
        FrameDeltaMs = 0;
    }
    void Frame() { list.UpdatePass(); }

    // Compared by address only (the emitter may be gone by then).
    const TMobuParser* emitter_x_ = nullptr;
    const TMobuParser* emitter_delay_ = nullptr;
};

TEST(ParticleEmitter, EmissionsPerFrameMatchTheModel)
{
    std::ifstream in(DataPath("emitter_counts.txt"));
    ASSERT_TRUE(in);
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        const std::vector<std::string> c = Words(line);
        ASSERT_EQ(c.at(0), "case");
        std::getline(in, line);
        const std::vector<std::string> expected = Words(line);
        TEmitterScene s;
        if (c[1] != "none") s.delay = std::stoi(c[1]);
        s.emitter->SetProp(PR_INDEX, TPropValue::Int(std::stoi(c[2])));
        s.emitter->SetProp(PR_DURATION, TPropValue::Int(std::stoi(c[3])));
        s.emitter->SetProp(PR_PARTMOTION, TPropValue::Int(std::stoi(c[4])));
        std::vector<std::string> seen;
        for (int f = 0; f < std::stoi(c[5]); ++f) {
            const int before = s.appear_x_runs;
            s.Frame();
            seen.push_back(std::to_string(s.appear_x_runs - before));
        }
        EXPECT_EQ(seen, expected) << line << " for " << c[1] << " " << c[2] << " " << c[3] << " " << c[4];
        ++cases;
    }
    EXPECT_EQ(cases, 30);
}

TEST(ParticleEmitter, PiecesAreNamedParentedAndGoWithTheEmitter)
{
    TEmitterScene s;
    s.delay = 16;
    s.emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_FLUFF));
    s.emitter->SetProp(PR_PARAM1, TPropValue::Float(0));  // no rise: pieces stay
    s.emitter->SetProp(PR_ALPHA, TPropValue::Int(100));
    s.Frame();  // state 0: no warm-up, one piece
    s.Frame();
    s.Frame();
    ASSERT_GE(s.emitter->Particles.size(), 2u);
    TMobuParticleImages* first = s.emitter->Particles[0];
    EXPECT_EQ(first->Name(), std::string("\x01" "fx" "\x01" "0"));
    EXPECT_EQ(s.emitter->Particles[1]->Name(), std::string("\x01" "fx" "\x01" "1"));
    EXPECT_FALSE(first->WantsAutoName());
    EXPECT_EQ(first->Parent(), s.emitter);
    EXPECT_EQ(first->Left, 10);
    EXPECT_EQ(first->Top, 20);
    EXPECT_EQ(first->GetProp(PR_ALPHA).AsInt(), 100);
    // The freed number is taken again first.
    s.list.Destroy(first);
    s.Frame();
    bool reused = false;
    for (TMobuParticleImages* p : s.emitter->Particles) reused |= p->Name() == std::string("\x01" "fx" "\x01" "0");
    EXPECT_TRUE(reused);
    const int32_t with_pieces = s.list.GetCount();
    const int32_t pieces = static_cast<int32_t>(s.emitter->Particles.size());
    s.list.Destroy(s.emitter);
    EXPECT_EQ(s.list.GetCount(), with_pieces - pieces - 1);
}

TEST(ParticleEmitter, RangesReplaceTheExpressionsAndRetiredPropertiesAreNotAnswered)
{
    TEmitterScene s;
    s.emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_FLUFF));
    s.emitter->SetRanges({30, 1, 40, 1, 1000, 1});
    s.Frame();
    ASSERT_EQ(s.emitter->Particles.size(), 1u);
    EXPECT_EQ(s.emitter->Particles[0]->Left, 30);
    EXPECT_EQ(s.emitter->Particles[0]->Top, 40);
    EXPECT_EQ(s.appear_x_runs, 0);
    EXPECT_FALSE(s.emitter->Answers(PR_APPEARX));
    EXPECT_FALSE(s.emitter->Answers(PR_APPEARY));
    EXPECT_EQ(s.emitter->GetProp(PR_APPEARX).AsInt(), 0);
}

TEST(ParticleEmitter, PiecesMovedElsewhereForgetTheGoneEmitter)
{
    TEmitterScene s;
    s.emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_FLUFF));
    s.Frame();
    ASSERT_EQ(s.emitter->Particles.size(), 1u);
    TMobuParticleImages* piece = s.emitter->Particles[0];
    piece->SetParent(s.list.ActiveBase());
    s.list.Destroy(s.emitter);
    ASSERT_TRUE(s.list.IsRegistered(piece));
    EXPECT_EQ(piece->Emitter(), nullptr);
    EXPECT_EQ(piece->ActiveList(), nullptr);
    s.Frame();  // a detached piece finishes at its next update
    EXPECT_FALSE(s.list.IsRegistered(piece));
}

TEST(ParticleEmitter, LivePiecesAreCappedButTheCountdownRuns)
{
    TEmitterScene s;
    s.delay = 2;
    s.emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_FLUFF));
    s.emitter->SetProp(PR_INDEX, TPropValue::Int(TMobuParticle::kMaxWarmUp));
    s.Frame();  // 60 s of warm-up at one piece every 2 ms
    EXPECT_EQ(s.emitter->Particles.size(), TMobuParticle::kMaxParticles);
    EXPECT_EQ(s.appear_x_runs, TMobuParticle::kMaxWarmUp / 2 + 1);
}

TEST(ParticleEmitter, WarmUpIsClampedAndSavedFormRoundTrips)
{
    TEmitterScene s;
    s.emitter->SetProp(PR_INDEX, TPropValue::Int(1000000000));
    EXPECT_EQ(s.emitter->GetProp(PR_INDEX).AsInt(), TMobuParticle::kMaxWarmUp);
    s.emitter->SetProp(PR_INDEX, TPropValue::Int(500));
    s.emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_STAR));
    s.emitter->SetProp(PR_PARAM1, TPropValue::Float(1.5L));
    s.emitter->SetProp(PR_PARAM2, TPropValue::Float(-2.25L));
    s.emitter->SetProp(PR_PARAM3, TPropValue::Float(0.125L));
    s.emitter->SetProp(PR_ALPHA, TPropValue::Int(77));
    s.emitter->SetProp(PR_DURATION, TPropValue::Int(900));
    s.Frame();
    EXPECT_EQ(s.emitter->State, 1);
    ByteWriter out;
    s.emitter->SaveToStream(out);
    TEmitterScene t;
    ByteReader in(out.Bytes());
    t.emitter->LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(t.emitter->State, 0);
    EXPECT_TRUE(t.emitter->Particles.empty());
    for (int id : {PR_INDEX, PR_PARTMOTION, PR_ALPHA, PR_DURATION})
        EXPECT_EQ(t.emitter->GetProp(id).AsInt(), s.emitter->GetProp(id).AsInt()) << id;
    for (int id : {PR_PARAM1, PR_PARAM2, PR_PARAM3})
        EXPECT_EQ(t.emitter->GetProp(id).AsReal(), s.emitter->GetProp(id).AsReal()) << id;
}

}  // namespace
}  // namespace mobu
