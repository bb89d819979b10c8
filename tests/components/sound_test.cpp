// The sound component over the real media layer (no device: the test pulls the mixer's
// blocks itself, 15 ms a frame): the manager chosen by extension, the volume mapping, the
// fades sampled per frame against their formula, the "\x01SCRAP_" rename, pause, position
// and length, play end against PR_AUTOSCRAP, the Sound command, and the saved form's load
// rules.
#include <gtest/gtest.h>

#include <vector>

#include "archive/vr_file_manager.h"
#include "core/globals.h"
#include "components/base_list_call_components.h"
#include "components/mobu_base_list.h"
#include "components/mobu_sound.h"
#include "media/media_item.h"
#include "media/media_layer.h"
#include "tests/components/media_scene.h"
#include "tests/script/script_harness.h"

namespace mobu {
namespace {

class SoundTest : public testing_media::MediaScene {
protected:
    void SetUp() override { StartMedia(64, 48); }
    TMobuSound* NewSound(const std::string& name, const std::string& source)
    {
        auto* sound = static_cast<TMobuSound*>(list.CreateComponent(LT_SOUND));
        sound->SetName(name);
        sound->SetProp(PR_SOURCE, TPropValue::Text(source));
        return sound;
    }
    // One frame: 15 ms of audio mixed, the clock advanced, the update pass run.
    void Frame()
    {
        std::vector<float> block(661 * 2);
        MediaLayer()->Render(block.data(), 661);
        AdvanceGameClock(FrameDeltaMs);
        list.UpdatePass();
    }
};

struct TMappingCase {
    const char* source;
    int32_t volume;
    int expected;  // item volume in hundredths of a decibel
    const char* manager;
};

class SoundMapping : public SoundTest, public ::testing::WithParamInterface<TMappingCase> {};

TEST_P(SoundMapping, ManagerAndVolume)
{
    const TMappingCase& c = GetParam();
    TMobuSound* sound = NewSound("s", c.source);
    sound->SetProp(PR_VOLUME, TPropValue::Int(c.volume));
    sound->SetPlayMode(LP_PLAY);
    ASSERT_NE(sound->Item(), nullptr) << c.source;
    EXPECT_EQ(sound->Item()->GetVolume(), c.expected) << c.source;
    EXPECT_TRUE(sound->GetProp(PR_PLAYING).AsFlag());
    int found = 0;
    for (TMediaManager* manager : MediaLayer()->Managers()) {
        if (manager->Count() == 1) {
            ++found;
            EXPECT_EQ(manager->Kind(), c.manager) << c.source;
        }
    }
    EXPECT_EQ(found, 1);
}

const TMappingCase kMappingCases[] = {
    {"chained.ogg", 1000, 0, "ogg"},
    {"CHAINED.OGG", 500, -2500, "ogg"},
    {"s16_22k_mono.wav", 1, -4995, "ogg"},
    {"s16_22k_mono.wav", 0, -10000, "ogg"},
    {"s16_22k_mono.wav", -5, -10000, "ogg"},
    {"s16_22k_mono.wav", 1500, 0, "ogg"},
    {"song1.mid", 700, -3000, "midi"},
    {"song1.mid", 999, -10, "midi"},
    {"wmav1.wma", 800, -1000, "wmp"},
};
INSTANTIATE_TEST_SUITE_P(Cases, SoundMapping, ::testing::ValuesIn(kMappingCases));

// The fade-in: silent and started at its first tick, then start + (end - start) x elapsed /
// duration on the frame clock, then the mapped volume.
TEST_F(SoundTest, FadeInFollowsItsFormulaPerFrame)
{
    TMobuSound* sound = NewSound("bgm", "chained.ogg");
    sound->SetProp(PR_VOLUME, TPropValue::Int(800));  // -1000
    sound->SetProp(PR_REPEAT, TPropValue::Flag(true));
    sound->SetProp(PR_DELAY, TPropValue::Int(100));
    sound->SetPlayMode(LP_PLAYFADE);
    EXPECT_EQ(sound->PlayState(), LP_PLAYFADE);
    Frame();  // first tick at 15 ms
    EXPECT_EQ(sound->Item()->GetVolume(), -10000);
    EXPECT_TRUE(sound->Item()->IsPlaying());
    for (int32_t elapsed = 15; elapsed < 100; elapsed += 15) {
        Frame();
        EXPECT_EQ(sound->Item()->GetVolume(), -10000 + 9000 * elapsed / 100) << elapsed;
    }
    Frame();
    EXPECT_EQ(sound->Item()->GetVolume(), -1000);
    EXPECT_EQ(sound->Mixer(), nullptr);
}

TEST_F(SoundTest, FadeTimeZeroPlaysAtOnce)
{
    TMobuSound* sound = NewSound("bgm", "chained.ogg");
    sound->SetPlayMode(LP_PLAYFADE);
    EXPECT_EQ(sound->PlayState(), LP_PLAY);
    EXPECT_EQ(sound->Mixer(), nullptr);
    EXPECT_EQ(sound->Item()->GetVolume(), 0);
}

// Fading out, the sound renames itself so that a new one takes its name in the same frame;
// it is removed (and its item released) when the fade ends.
TEST_F(SoundTest, StopFadeRenamesAndRemovesAtTheEnd)
{
    TMobuSound* old_sound = NewSound("bgm", "chained.ogg");
    old_sound->SetProp(PR_REPEAT, TPropValue::Flag(true));
    old_sound->SetPlayMode(LP_PLAY);
    old_sound->SetProp(PR_DELAY, TPropValue::Int(60));
    old_sound->SetPlayMode(LP_STOPFADE);
    EXPECT_EQ(old_sound->Name(), std::string("\x01" "SCRAP_bgm"));
    EXPECT_EQ(list.FindComponent("bgm"), nullptr);
    TMobuSound* new_sound = NewSound("bgm", "stereo_44k.ogg");
    new_sound->SetPlayMode(LP_PLAY);
    EXPECT_EQ(new_sound->Name(), "bgm");
    EXPECT_TRUE(list.IsRegistered(old_sound));
    EXPECT_EQ(MediaLayer()->Ogg().Count(), 2);
    Frame();  // fade starts from the current volume (0)
    Frame();
    EXPECT_EQ(old_sound->Item()->GetVolume(), -10000 * 15 / 60);
    for (int i = 0; i < 4; ++i) Frame();
    EXPECT_FALSE(list.IsRegistered(old_sound));
    EXPECT_EQ(MediaLayer()->Ogg().Count(), 1);
    EXPECT_EQ(list.FindComponent("bgm"), new_sound);
}

TEST_F(SoundTest, StopRemovesAtOnceAndAMissingFileOnlyWithAutoScrap)
{
    TMobuSound* sound = NewSound("s", "chained.ogg");
    sound->SetPlayMode(LP_PLAY);
    sound->SetPlayMode(LP_STOP);
    EXPECT_TRUE(list.IsDoomed(sound));
    EXPECT_EQ(MediaLayer()->Ogg().Count(), 0);

    TMobuSound* missing = NewSound("m", "gone.ogg");
    missing->SetPlayMode(LP_PLAY);
    EXPECT_FALSE(list.IsDoomed(missing));
    EXPECT_EQ(missing->Item(), nullptr);
    TMobuSound* scrapped = NewSound("n", "gone.ogg");
    scrapped->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    scrapped->SetPlayMode(LP_PLAY);
    EXPECT_TRUE(list.IsDoomed(scrapped));
}

// At its end a sound posts play end once (no parameters), or is removed with PR_AUTOSCRAP.
TEST_F(SoundTest, PlayEndOrRemovalAtTheEnd)
{
    TMobuSound* ends = NewSound("fx", "s16_22k_mono.wav");
    ends->SetProp(PR_ONPLAYEND, TPropValue::Text("p.msb:end"));
    ends->SetPlayMode(LP_PLAY);
    TMobuSound* scraps = NewSound("click", "s16_22k_mono.wav");
    scraps->SetProp(PR_AUTOSCRAP, TPropValue::Flag(true));
    scraps->SetPlayMode(LP_PLAY);
    for (int i = 0; i < 8; ++i) Frame();  // 120 ms of a 50 ms sound
    EXPECT_FALSE(list.IsRegistered(scraps));
    ASSERT_TRUE(list.IsRegistered(ends));
    EXPECT_TRUE(ends->Finished);
    ASSERT_EQ(list.Events().Count(), 1);
    EXPECT_EQ(list.Events().At(0).Code, PR_ONPLAYEND);
    EXPECT_EQ(list.Events().At(0).Handler, "p.msb:end");
    EXPECT_TRUE(list.Events().At(0).Params.empty());
    list.Events().Clear();
    Frame();
    EXPECT_EQ(list.Events().Count(), 0) << "posted once";
    // PR_INDEX plays it again from the position.
    ends->SetProp(PR_INDEX, TPropValue::Int(10));
    EXPECT_FALSE(ends->Finished);
    EXPECT_TRUE(ends->Item()->IsPlaying());
}

TEST_F(SoundTest, PauseSilencesAndResumes)
{
    TMobuSound* sound = NewSound("s", "chained.ogg");
    sound->SetProp(PR_VOLUME, TPropValue::Int(900));
    sound->SetPlayMode(LP_PLAY);
    for (int id : {PR_PAUSED, PR_ANIPAUSED}) {
        sound->SetProp(id, TPropValue::Flag(true));
        EXPECT_TRUE(sound->Item()->IsPaused());
        EXPECT_EQ(sound->Item()->GetVolume(), -10000);
        sound->SetProp(id, TPropValue::Flag(false));
        EXPECT_FALSE(sound->Item()->IsPaused());
        EXPECT_EQ(sound->Item()->GetVolume(), -500);
    }
    // Both set, one cleared: still paused.
    sound->SetProp(PR_PAUSED, TPropValue::Flag(true));
    sound->SetProp(PR_ANIPAUSED, TPropValue::Flag(true));
    sound->SetProp(PR_PAUSED, TPropValue::Flag(false));
    EXPECT_TRUE(sound->Item()->IsPaused());
}

TEST_F(SoundTest, PositionLengthAndBalance)
{
    TMobuSound* sound = NewSound("s", "chained.ogg");
    // Not open: a temporary item tells the length and goes again.
    EXPECT_EQ(sound->GetProp(PR_COUNT).AsInt(), 500);
    EXPECT_EQ(MediaLayer()->Ogg().Count(), 0);
    sound->SetProp(PR_INDEX, TPropValue::Int(200));
    EXPECT_EQ(sound->GetProp(PR_INDEX).AsInt(), 200);
    sound->SetProp(PR_BALANCE, TPropValue::Int(-20000));
    EXPECT_EQ(sound->GetProp(PR_BALANCE).AsInt(), -10000);
    sound->SetPlayMode(LP_PLAY);
    EXPECT_EQ(sound->Item()->GetPosition(), 200);
    EXPECT_EQ(sound->Item()->GetPan(), -10000);
    EXPECT_EQ(sound->GetProp(PR_COUNT).AsInt(), 500);
    sound->SetProp(PR_BALANCE, TPropValue::Int(12345));
    EXPECT_EQ(sound->Item()->GetPan(), 10000);
}

// The Sound command starts what it creates; created paused, the sound is opened and waits.
TEST_F(SoundTest, SoundCommandStartsOrLoadsOnly)
{
    testing_support::TScriptHarness script;
    TBaseListCallComponents adapter{list};
    script.calls.SetComponents(&adapter);
    script.AddPage("main.msb",
                   "Sound PR_NAME: \"bgm\"; PR_SOURCE: \"chained.ogg\"; PR_VOLUME: 600; PR_DELAY: 300; "
                   "PR_REPEAT: TRUE; continue: yes\n"
                   "Sound PR_NAME: \"wait\"; PR_SOURCE: \"stereo_44k.ogg\"; PR_PAUSED: TRUE\n");
    script.calls.StartPage("main.msb");
    script.Frame();
    auto* bgm = dynamic_cast<TMobuSound*>(list.FindComponent("bgm"));
    auto* waiting = dynamic_cast<TMobuSound*>(list.FindComponent("wait"));
    ASSERT_TRUE(bgm && waiting);
    EXPECT_EQ(bgm->PlayState(), LP_PLAYFADE);
    ASSERT_NE(bgm->Mixer(), nullptr);
    EXPECT_TRUE(bgm->Item()->GetAutoRepeat());
    ASSERT_NE(waiting->Item(), nullptr);
    EXPECT_TRUE(waiting->Item()->IsPaused() || !waiting->Item()->IsPlaying());
    waiting->SetProp(PR_PAUSED, TPropValue::Flag(false));
    EXPECT_TRUE(waiting->Item()->IsPlaying());
}

// A script over the test's list: each frame mixes 15 ms, advances the clock, runs the
// interpreter and then the update pass.
struct TSoundScript {
    explicit TSoundScript(TMobuBaseList& list) : adapter(list), list_(list) { script.calls.SetComponents(&adapter); }
    void Start(const std::string& source)
    {
        script.table.AddVariable("done", PT_INT);
        script.AddPage("main.msb", source);
        script.calls.StartPage("main.msb");
    }
    void Frame()
    {
        std::vector<float> block(661 * 2);
        MediaLayer()->Render(block.data(), 661);
        AdvanceGameClock(15);
        script.calls.Run();
        list_.UpdatePass();
    }
    testing_support::TScriptHarness script;
    TBaseListCallComponents adapter;
    TMobuBaseList& list_;
};

// MovieStop with a fade and its wait flag: the sound fades out under its system name, a new
// sound of the old name starts in the same frame, and the command after the wait runs only
// once the faded sound is gone.
TEST_F(SoundTest, MovieStopFadesAndWaits)
{
    TSoundScript run(list);
    run.Start("Sound PR_NAME: \"bgm\"; PR_SOURCE: \"chained.ogg\"; PR_REPEAT: TRUE\n"
              "MovieStop component: \"bgm\"; fade: 60; wait: TRUE; continue: yes\n"
              "Sound PR_NAME: \"bgm\"; PR_SOURCE: \"stereo_44k.ogg\"; PR_REPEAT: TRUE\n"
              "Calc expr: done = 1\n");
    run.Frame();
    auto* first = dynamic_cast<TMobuSound*>(list.FindComponent("bgm"));
    ASSERT_NE(first, nullptr);
    run.Frame();  // MovieStop
    EXPECT_EQ(first->PlayState(), LP_STOPFADE);
    EXPECT_EQ(first->Name(), std::string("\x01" "SCRAP_bgm"));
    int frames = 0, removed_at = -1, done_at = -1;
    while (done_at < 0 && frames < 20) {
        run.Frame();
        ++frames;
        if (removed_at < 0 && !list.IsRegistered(first)) removed_at = frames;
        if (run.script.Int("done") == 1) done_at = frames;
    }
    ASSERT_GT(removed_at, 0);
    EXPECT_GE(removed_at, 4);  // 60 ms of fade at 15 ms a frame
    EXPECT_GT(done_at, 0);
    EXPECT_GE(done_at, removed_at) << "the script went on before the fade ended";
    auto* second = dynamic_cast<TMobuSound*>(list.FindComponent("bgm"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Source, "stereo_44k.ogg");
}

// Without a fade the sound goes at once and nothing is waited for; a component that does
// not play, or none, is left alone.
TEST_F(SoundTest, MovieStopWithoutFadeAndOnOtherComponents)
{
    TSoundScript run(list);
    list.CreateComponent(LT_TIMER)->SetName("t");
    run.Start("Sound PR_NAME: \"fx\"; PR_SOURCE: \"chained.ogg\"; continue: yes\n"
              "MovieStop component: \"fx\"; fade: 0; wait: TRUE; continue: yes\n"
              "MovieStop component: \"t\"; fade: 100; wait: TRUE; continue: yes\n"
              "MovieStop component: \"nobody\"; fade: 100; wait: TRUE; continue: yes\n"
              "Calc expr: done = 1\n");
    run.Frame();
    EXPECT_EQ(run.script.Int("done"), 1);
    EXPECT_EQ(list.FindComponent("fx"), nullptr);
    EXPECT_NE(list.FindComponent("t"), nullptr);
    EXPECT_EQ(MediaLayer()->Ogg().Count(), 0);
}

// MediaPlay unpauses a sound loaded paused, and starts one that played to its end.
TEST_F(SoundTest, MediaPlayStartsWhatIsPausedOrFinished)
{
    TSoundScript run(list);
    run.Start("Sound PR_NAME: \"s\"; PR_SOURCE: \"s16_22k_mono.wav\"; PR_PAUSED: TRUE\n"
              "MediaPlay component: \"s\"\n"
              "Wait time: 150\n"
              "MediaPlay component: \"s\"\n");
    run.Frame();
    auto* sound = dynamic_cast<TMobuSound*>(list.FindComponent("s"));
    ASSERT_TRUE(sound && sound->Item());
    EXPECT_FALSE(sound->Item()->IsPlaying() && !sound->Item()->IsPaused());
    run.Frame();
    EXPECT_FALSE(sound->SoundPaused);
    EXPECT_TRUE(sound->Item()->IsPlaying());
    for (int i = 0; i < 8; ++i) run.Frame();
    ASSERT_TRUE(sound->Finished);
    for (int i = 0; i < 4; ++i) run.Frame();
    EXPECT_FALSE(sound->Finished);
    EXPECT_TRUE(sound->Item()->IsPlaying());
}

// Load rules: a short effect saved while playing is stopped (removed); a long sound resumes
// at its position (or from the start with PR_REWINDONLOAD); PR_MUTEONLOAD loads it silent;
// a sound saved fading out plays.
TEST_F(SoundTest, SavedFormAndLoadRules)
{
    TMobuSound* effect = NewSound("fx", "s16_22k_mono.wav");
    effect->SetPlayMode(LP_PLAY);
    TMobuSound* music = NewSound("music", "song1.fluidsynth.wav");
    music->SetProp(PR_VOLUME, TPropValue::Int(400));
    music->SetProp(PR_REPEATPOS, TPropValue::Int(120));
    music->SetPlayMode(LP_PLAY);
    music->SetProp(PR_INDEX, TPropValue::Int(1500));
    TMobuSound* muted = NewSound("muted", "song1.fluidsynth.wav");
    muted->SetProp(PR_MUTEONLOAD, TPropValue::Flag(true));
    muted->SetProp(PR_REWINDONLOAD, TPropValue::Flag(true));
    muted->SetPlayMode(LP_PLAY);
    muted->SetProp(PR_INDEX, TPropValue::Int(1500));
    ByteWriter out;
    list.SaveToStream(out);

    list.Reset();
    MediaFinal();
    MediaInit(TMediaOptions{}, nullptr, 44100, 2);
    ByteReader in(out.Bytes());
    list.LoadFromStream(in, kComponentSaveVersion);
    EXPECT_TRUE(in.AtEnd());
    // The effect came back stopped: doomed (which takes its name) and without an item.
    EXPECT_EQ(list.FindComponent("fx"), nullptr);
    EXPECT_EQ(MediaLayer()->Ogg().Count(), 2);
    auto* loaded = dynamic_cast<TMobuSound*>(list.FindComponent("music"));
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->Item(), nullptr);
    EXPECT_EQ(loaded->PlayState(), LP_PLAY);
    EXPECT_EQ(loaded->Item()->GetPosition(), 1500);
    EXPECT_EQ(loaded->Item()->GetVolume(), 5 * 400 - 5000);
    EXPECT_EQ(loaded->RepeatPos, 120);
    auto* silent = dynamic_cast<TMobuSound*>(list.FindComponent("muted"));
    ASSERT_TRUE(silent && silent->Item());
    EXPECT_EQ(silent->Volume, 0);
    EXPECT_EQ(silent->Item()->GetVolume(), -10000);
    EXPECT_EQ(silent->Item()->GetPosition(), 0);
}

// Hand-built form of version 107 (no PR_REWINDONLOAD, PR_MUTEONLOAD, PR_REPEATPOS): a saved
// mode above 3 reads as stopped, a saved fade-out plays.
TEST_F(SoundTest, OldSavedForms)
{
    auto form = [](uint8_t mode) {
        ByteWriter out;
        out.String("old");
        out.I32(0);
        out.I32(0);  // priority offset
        out.String("chained.ogg");
        for (int i = 0; i < 5; ++i) out.U8(0);
        out.I32(1000);
        out.I32(0);
        out.I32(0);
        out.I32(100);
        out.U8(mode);
        out.String("");
        return out.Take();
    };
    const std::string playing = form(3);
    ByteReader in(playing);
    auto* sound = static_cast<TMobuSound*>(list.CreateComponent(LT_SOUND));
    sound->LoadFromStream(in, 107);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(sound->PlayState(), LP_PLAY);
    ASSERT_NE(sound->Item(), nullptr);
    EXPECT_EQ(sound->Item()->GetPosition(), 100);

    const std::string odd = form(9);
    ByteReader odd_in(odd);
    auto* stopped = static_cast<TMobuSound*>(list.CreateComponent(LT_SOUND));
    stopped->LoadFromStream(odd_in, 107);
    EXPECT_TRUE(list.IsDoomed(stopped));

    ByteReader cut(std::string_view(playing).substr(0, playing.size() - 2));
    auto* broken = static_cast<TMobuSound*>(list.CreateComponent(LT_SOUND));
    EXPECT_ANY_THROW(broken->LoadFromStream(cut, 107));
}

}  // namespace
}  // namespace mobu
