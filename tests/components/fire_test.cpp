#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "components/fire_heat.h"
#include "components/fire_tables.h"
#include "components/mobu_base_list.h"
#include "components/mobu_fire.h"
#include "core/globals.h"
#include "graphics/dibx.h"

namespace mobu {
namespace {

std::string DataPath(const std::string& name)
{
    return std::string(MOBU_SOURCE_DIR) + "/tests/data/effects/" + name;
}

std::vector<int> Numbers(const std::string& line)
{
    std::istringstream in(line);
    std::vector<int> values;
    for (int v; in >> v;) values.push_back(v);
    return values;
}

int32_t PowerOf(const std::string& word) { return word == "unset" ? kFirePowerUnset : std::stoi(word); }

TEST(FireTables, KeyColoursAndTheFiveExceptions)
{
    const TFireColourTable& t = FireColours32();
    const std::pair<int, uint32_t> listed[] = {
        {0, 0x000000},   {32, 0x662703},  {112, 0xD56107}, {160, 0xF39D0D}, {192, 0xFFC037}, {255, 0xFFE6AF},
        {113, 0xD66207}, {115, 0xD76507}, {118, 0xD96808}, {119, 0xD96A08}, {123, 0xDC6E08},
        // Between keys each channel is a + (c - a) * (k - i0) div (i1 - i0).
        {16, 0x331301},  {1, 0x030100},   {72, 0x9D4405},  {114, 0xD66307}, {224, 0xFFD373},
    };
    for (const auto& [index, colour] : listed) EXPECT_EQ(t[static_cast<size_t>(index)], colour) << index;
}

TEST(FireTables, SixteenAndFifteenBitForms)
{
    EXPECT_EQ(FireColours16()[3], 0x0800u);
    EXPECT_EQ(FireColours16()[120], 0xDB41u);
    EXPECT_EQ(FireColours16()[255], 0xFF35u);
    EXPECT_EQ(FireColours16()[0], 0u);
    // 0xFF35: red 31, green 57 -> 28, blue 21.
    EXPECT_EQ(FireColours15()[255], 0x7F95u);
    EXPECT_EQ(FireColours15()[3], 0x0400u);
    for (size_t i = 0; i < 256; ++i) EXPECT_LT(FireColours15()[i], 0x8000u);
}

TEST(FireTables, DecayTablesMatchExactArithmetic)
{
    std::ifstream in(DataPath("fire_decay.txt"));
    ASSERT_TRUE(in) << DataPath("fire_decay.txt");
    std::string header, values;
    int tables = 0;
    while (std::getline(in, header) && std::getline(in, values)) {
        const int32_t power = PowerOf(header.substr(6));
        const std::vector<int> expected = Numbers(values);
        ASSERT_EQ(expected.size(), 1024u);
        const TFireDecayTable table = MakeFireDecayTable(power);
        for (size_t n = 0; n < 1024; ++n) ASSERT_EQ(table[n], expected[n]) << header << " n " << n;
        ++tables;
    }
    EXPECT_EQ(tables, 6);
}

TEST(FireTables, PowerIsClampedIntoItsRange)
{
    EXPECT_EQ(MakeFireDecayTable(1000), MakeFireDecayTable(255));
    EXPECT_EQ(MakeFireDecayTable(544), MakeFireDecayTable(255));
    EXPECT_EQ(MakeFireDecayTable(-40), MakeFireDecayTable(0));
}

// Runs every generated case with the file's jitter handed over through the random source.
TEST(FireHeat, StepsMatchThePlainModel)
{
    std::ifstream in(DataPath("fire_steps.txt"));
    ASSERT_TRUE(in);
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        ASSERT_EQ(line.rfind("case ", 0), 0u) << line;
        std::istringstream words(line.substr(5));
        int32_t w = 0, h = 0, steps = 0;
        std::string power;
        words >> w >> h >> steps >> power;
        std::getline(in, line);
        const std::vector<int> jitter = Numbers(line);
        size_t next = 0;
        TFireHeat heat;
        ASSERT_TRUE(heat.Setup(w, h, [&](int32_t n) {
            EXPECT_EQ(n, 9);
            return next < jitter.size() ? jitter[next++] : 0;
        }));
        EXPECT_EQ(next, jitter.size());
        if (PowerOf(power) != kFirePowerUnset) heat.SetDecay(MakeFireDecayTable(PowerOf(power)));
        for (int32_t s = 0; s < steps; ++s) {
            std::getline(in, line);
            heat.Step();
            const std::vector<int> expected = Numbers(line);
            ASSERT_EQ(heat.Cells().size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i)
                ASSERT_EQ(heat.Cells()[i], expected[i]) << w << "x" << h << " step " << s << " cell " << i;
        }
        ++cases;
    }
    EXPECT_EQ(cases, 9);
}

TEST(FireHeat, SetupFillsAndRefusesHugeSizes)
{
    TFireHeat heat;
    ASSERT_TRUE(heat.Setup(4, 3, [](int32_t) { return 8; }));
    EXPECT_EQ(heat.Cells(), std::vector<uint8_t>(12, 16));
    EXPECT_EQ(heat.RowOffset(), 0);
    EXPECT_EQ(heat.ColumnOffset(), 0);
    EXPECT_FALSE(heat.Setup(4097, 4096, [](int32_t) { return 0; }));
    EXPECT_EQ(heat.Width(), 4);  // the old size stays
    // No cells, but a side past the cap: refused as well (its row or column table alone
    // would take gigabytes).
    EXPECT_FALSE(heat.Setup(0x10FFFFFF, 0, [](int32_t) { return 0; }));
    EXPECT_FALSE(heat.Setup(0, 0x10FFFFFF, [](int32_t) { return 0; }));
    EXPECT_EQ(heat.Width(), 4);
    ASSERT_TRUE(heat.Setup(-3, 7, [](int32_t) { return 0; }));
    EXPECT_EQ(heat.Width(), 0);
    heat.Step();  // nothing to do, nothing touched
    EXPECT_TRUE(heat.Cells().empty());
}

struct TFireScene {
    TMobuBaseList list;
    TMobuFire* fire;

    TFireScene()
    {
        FrameDeltaMs = 0;
        list.SetSize(32, 32);
        list.GetBase(0)->Color = 0;
        fire = static_cast<TMobuFire*>(list.CreateComponent(LT_FIRE));
    }
    ~TFireScene() { FrameDeltaMs = 0; }
    void Frame(int32_t ms)
    {
        FrameDeltaMs = ms;
        list.UpdatePass();
        list.DrawPass();
    }
};

TEST(FireComponent, PropertiesClampAndSizeFollowsZoom)
{
    TFireScene s;
    TMobuFire& f = *s.fire;
    f.SetProp(PR_POWER, TPropValue::Int(1000));
    EXPECT_EQ(f.GetProp(PR_POWER).AsInt(), 255);
    f.SetProp(PR_POWER, TPropValue::Int(-1));
    EXPECT_EQ(f.GetProp(PR_POWER).AsInt(), 0);
    f.SetProp(PR_ORIGWIDTH, TPropValue::Int(20));
    f.SetProp(PR_ORIGHEIGHT, TPropValue::Int(10));
    EXPECT_EQ(f.Width, 20);
    EXPECT_EQ(f.Height, 10);
    f.SetProp(PR_ZOOMX, TPropValue::Int(512));
    f.SetProp(PR_ZOOMY, TPropValue::Int(128));
    EXPECT_EQ(f.Width, 40);
    EXPECT_EQ(f.Height, 5);
    f.SetProp(PR_ZOOMX, TPropValue::Int(0));
    f.SetProp(PR_ZOOMY, TPropValue::Int(-9));
    EXPECT_EQ(f.GetProp(PR_ZOOMX).AsInt(), 1);
    EXPECT_EQ(f.GetProp(PR_ZOOMY).AsInt(), 1);
    f.SetProp(PR_ORIGWIDTH, TPropValue::Int(1 << 20));
    f.SetProp(PR_ORIGHEIGHT, TPropValue::Int(1 << 20));
    EXPECT_EQ(f.GetProp(PR_ORIGHEIGHT).AsInt(), 10);  // refused: the old size stays
    f.SetProp(PR_ORIGHEIGHT, TPropValue::Int(-4));
    EXPECT_EQ(f.GetProp(PR_ORIGHEIGHT).AsInt(), 0);
}

TEST(FireComponent, StepsEveryFullFortyMilliseconds)
{
    TFireScene s;
    s.fire->SetProp(PR_ORIGWIDTH, TPropValue::Int(8));
    s.fire->SetProp(PR_ORIGHEIGHT, TPropValue::Int(8));
    s.Frame(39);
    EXPECT_EQ(s.fire->Heat().Cells()[63], 16);  // no step yet
    s.Frame(1);
    EXPECT_EQ(s.fire->Heat().Cells()[63], 254);
    EXPECT_EQ(s.fire->Heat().RowOffset(), 1);
    s.Frame(120);  // three more steps
    EXPECT_EQ(s.fire->Heat().RowOffset(), 4);
    s.fire->SetProp(PR_ANIPAUSED, TPropValue::Flag(true));
    s.Frame(400);
    EXPECT_EQ(s.fire->Heat().RowOffset(), 4);
}

// Each channel of a 0x00RRGGBB colour added to black at amount 255.
uint32_t Scaled(uint32_t c)
{
    return ((c >> 16 & 0xFF) * 255 >> 8) << 16 | ((c >> 8 & 0xFF) * 255 >> 8) << 8 | (c & 0xFF) * 255 >> 8;
}

TEST(FireComponent, DrawsTheTableAddedInsideItsArea)
{
    TFireScene s;
    s.fire->SetBounds(4, 6, 0, 0);
    s.fire->SetProp(PR_ORIGWIDTH, TPropValue::Int(10));
    s.fire->SetProp(PR_ORIGHEIGHT, TPropValue::Int(12));
    for (int i = 0; i < 5; ++i) s.Frame(40);
    TDIBX& frame = s.list.FrameSurface();
    const std::vector<uint8_t>& cells = s.fire->Heat().Cells();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inside = x >= 4 && x < 14 && y >= 6 && y < 18;
            const uint32_t expected =
                inside ? Scaled(FireColours32()[cells[static_cast<size_t>((y - 6) * 10 + x - 4)]]) : 0;
            ASSERT_EQ(frame.GetPixel(x, y) & 0xFFFFFF, expected) << x << "," << y;
        }
    EXPECT_EQ(frame.GetPixel(5, 17) & 0xFFFFFF, Scaled(FireColours32()[254]));
    // Zoomed twice: each cell covers two by two pixels.
    s.fire->SetProp(PR_ZOOMX, TPropValue::Int(512));
    s.fire->SetProp(PR_ZOOMY, TPropValue::Int(512));
    s.Frame(0);
    EXPECT_EQ(frame.GetPixel(4 + 19, 6 + 23) & 0xFFFFFF, Scaled(FireColours32()[254]));
    EXPECT_EQ(frame.GetPixel(4 + 20, 6 + 23) & 0xFFFFFF, 0u);
}

TEST(FireComponent, DrawsThroughTheSixteenAndFifteenBitTables)
{
    for (int bits : {16, 15}) {
        TFireScene s;
        s.fire->SetProp(PR_ORIGWIDTH, TPropValue::Int(4));
        s.fire->SetProp(PR_ORIGHEIGHT, TPropValue::Int(4));
        s.Frame(40);  // the side columns keep the bottom rows' 254
        TDIBX target;
        target.SetSize(6, 6, bits);
        target.Clear(0);
        s.fire->Draw(target);
        const uint32_t entry = (bits == 16 ? FireColours16() : FireColours15())[254];
        const uint32_t pixel = target.GetPixel(0, 1);
        // Adding at 255/256 to black gives each channel of the entry or one less.
        const int green_bits = bits == 16 ? 6 : 5;
        const int shifts[3] = {0, 5, 5 + green_bits};
        const uint32_t masks[3] = {0x1F, (1u << green_bits) - 1, 0x1F};
        for (int c = 0; c < 3; ++c) {
            const uint32_t want = entry >> shifts[c] & masks[c], got = pixel >> shifts[c] & masks[c];
            EXPECT_TRUE(got == want || got + 1 == want) << bits << " channel " << c << ": " << got << " vs " << want;
        }
        EXPECT_EQ(target.GetPixel(5, 5), 0u) << bits;
    }
}

TEST(FireComponent, SavedFormRoundTripsAndHonoursTheGate)
{
    TFireScene s;
    s.fire->SetProp(PR_POWER, TPropValue::Int(77));
    s.fire->SetProp(PR_ORIGWIDTH, TPropValue::Int(6));
    s.fire->SetProp(PR_ORIGHEIGHT, TPropValue::Int(5));
    s.fire->SetProp(PR_ZOOMX, TPropValue::Int(300));
    s.fire->SetProp(PR_ZOOMY, TPropValue::Int(200));
    s.fire->SetProp(PR_PAUSED, TPropValue::Flag(true));
    ByteWriter out;
    s.fire->SaveToStream(out);
    TFireScene t;
    ByteReader in(out.Bytes());
    t.fire->LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    for (int id : {PR_POWER, PR_ORIGWIDTH, PR_ORIGHEIGHT, PR_ZOOMX, PR_ZOOMY, PR_PAUSED})
        EXPECT_EQ(t.fire->GetProp(id).AsInt(), s.fire->GetProp(id).AsInt()) << id;
}

}  // namespace
}  // namespace mobu
