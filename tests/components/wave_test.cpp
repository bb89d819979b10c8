#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sstream>
#include <string>
#include <vector>

#include "components/components_json.h"
#include "components/mobu_base_list.h"
#include "components/mobu_particle.h"
#include "components/mobu_box.h"
#include "components/mobu_wave.h"
#include "core/globals.h"

namespace mobu {
namespace {

std::vector<int> Numbers(const std::string& line)
{
    std::istringstream in(line);
    std::vector<int> values;
    for (int v; in >> v;) values.push_back(v);
    return values;
}

struct TWaveScene {
    TMobuBaseList list;
    TMobuWave* wave;
    TWaveScene()
    {
        list.SetSize(64, 64);
        list.GetBase(0)->Color = 0;
        wave = static_cast<TMobuWave*>(list.CreateComponent(LT_WAVE));
    }
    ~TWaveScene() { FrameDeltaMs = 0; }
    void Frame(int32_t ms)
    {
        FrameDeltaMs = ms;
        list.UpdatePass();
        list.DrawPass();
    }
};

TEST(Wave, PhasesAndDisplacementsMatchTheModel)
{
    std::ifstream in(std::string(MOBU_SOURCE_DIR) + "/tests/data/effects/wave.txt");
    ASSERT_TRUE(in);
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(5));
        int delay = 0, ms = 0, amp = 0, wave_len = 0, rows = 0, frames = 0;
        words >> delay >> ms >> amp >> wave_len >> rows >> frames;
        TWaveScene s;
        s.wave->SetProp(PR_DELAY, TPropValue::Int(delay));
        s.wave->SetProp(PR_AMP, TPropValue::Int(amp));
        s.wave->SetProp(PR_WAVELEN, TPropValue::Int(wave_len));
        s.wave->SetBounds(0, 0, 30, rows);
        for (int f = 0; f < frames; ++f) {
            std::getline(in, line);
            const std::vector<int> expected = Numbers(line);
            s.Frame(ms);
            EXPECT_EQ(s.wave->Phase(), expected[0]) << delay << "/" << ms << " frame " << f;
            for (int i = 0; i < rows; ++i)
                EXPECT_EQ(s.wave->Shift(i), expected[static_cast<size_t>(i) + 1]) << delay << "/" << ms << " row " << i;
        }
        ++cases;
    }
    EXPECT_EQ(cases, 8);
}

TEST(Wave, DefaultsLimitsAndHugeSizes)
{
    TWaveScene s;
    EXPECT_EQ(s.wave->GetProp(PR_AMP).AsInt(), 10);
    EXPECT_EQ(s.wave->GetProp(PR_WAVELEN).AsInt(), 200);
    EXPECT_EQ(s.wave->GetProp(PR_DELAY).AsInt(), 2000);
    s.wave->SetProp(PR_WAVELEN, TPropValue::Int(0));
    s.wave->SetProp(PR_DELAY, TPropValue::Int(-3));
    EXPECT_EQ(s.wave->GetProp(PR_WAVELEN).AsInt(), 1);
    EXPECT_EQ(s.wave->GetProp(PR_DELAY).AsInt(), 1);
    // Only rows that can reach the 64-row screen have an entry.
    s.wave->SetBounds(0, -10, 20, 2147483647);
    s.Frame(15);
    EXPECT_EQ(s.wave->FirstRow(), 10);
    EXPECT_EQ(s.wave->Shifts().size(), 64u);
    s.wave->SetProp(PR_AMP, TPropValue::Int(2147483647));
    s.Frame(15);
}

TEST(Wave, ChildRowsAreShiftedAndAmpZeroDrawsPlainly)
{
    TWaveScene s;
    s.wave->SetBounds(10, 10, 30, 20);
    s.wave->SetProp(PR_AMP, TPropValue::Int(5));
    s.wave->SetProp(PR_WAVELEN, TPropValue::Int(20));
    auto* box = s.list.CreateComponent(LT_BOX, s.wave)->AsControl();
    box->SetBounds(10, 0, 4, 20);
    box->SetColor(0xFFFFFF);
    s.Frame(16);
    TDIBX& frame = s.list.FrameSurface();
    for (int row = 0; row < 20; ++row) {
        const int shift = s.wave->Shift(row);
        const int y = 10 + row;
        EXPECT_NE(frame.GetPixel(20 + shift, y) & 0xFFFFFF, 0u) << row;
        EXPECT_EQ(frame.GetPixel(20 + shift - 1, y) & 0xFFFFFF, 0u) << row;
        EXPECT_EQ(frame.GetPixel(24 + shift, y) & 0xFFFFFF, 0u) << row;
    }
    s.wave->SetProp(PR_AMP, TPropValue::Int(0));
    s.Frame(16);
    for (int y = 10; y < 30; ++y) {
        EXPECT_NE(frame.GetPixel(20, y) & 0xFFFFFF, 0u) << y;
        EXPECT_EQ(frame.GetPixel(19, y) & 0xFFFFFF, 0u) << y;
    }
}

TEST(Wave, DumpGivesPhaseShiftsAndEmitterState)
{
    TWaveScene s;
    s.wave->SetName("w");
    s.wave->SetBounds(0, 0, 8, 3);
    s.wave->SetProp(PR_AMP, TPropValue::Int(4));
    s.wave->SetProp(PR_WAVELEN, TPropValue::Int(4));
    auto* emitter = static_cast<TMobuParticle*>(s.list.CreateComponent(LT_PARTICLE));
    emitter->SetName("fx");
    emitter->SetProp(PR_PARTMOTION, TPropValue::Int(PM_FLUFF));
    s.Frame(16);
    std::ostringstream out;
    WriteComponentsJson(s.list, out);
    const std::string json = out.str();
    // Phase 253 (two steps back from 0); rows 0, 1, 2 at a quarter wave each.
    const std::string expected_wave = "\"effect\": {\"phase\": " + std::to_string(s.wave->Phase()) + ", \"shifts\": [" +
                                      std::to_string(s.wave->Shift(0)) + ", " + std::to_string(s.wave->Shift(1)) + ", " +
                                      std::to_string(s.wave->Shift(2)) + "]}";
    EXPECT_NE(json.find(expected_wave), std::string::npos) << json;
    EXPECT_EQ(s.wave->Phase(), 253);
    EXPECT_NE(json.find("\"effect\": {\"state\": 1, \"particles\": 1}"), std::string::npos) << json;
    // The piece's system name is escaped.
    EXPECT_NE(json.find("\"\\u0001fx\\u00010\""), std::string::npos) << json;
}

TEST(Wave, SavedFormRoundTrips)
{
    TWaveScene s;
    s.wave->SetProp(PR_AMP, TPropValue::Int(-3));
    s.wave->SetProp(PR_WAVELEN, TPropValue::Int(77));
    s.wave->SetProp(PR_DELAY, TPropValue::Int(123));
    ByteWriter out;
    s.wave->SaveToStream(out);
    TWaveScene t;
    ByteReader in(out.Bytes());
    t.wave->LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    for (int id : {PR_AMP, PR_WAVELEN, PR_DELAY}) EXPECT_EQ(t.wave->GetProp(id).AsInt(), s.wave->GetProp(id).AsInt());
}

}  // namespace
}  // namespace mobu
