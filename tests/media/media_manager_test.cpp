#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/mobu_error.h"
#include "core/script_log.h"
#include "media/media_files.h"
#include "media/media_manager.h"
#include "media/mixer_sound_item.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

class TFakeItem : public TDMediaItem {
public:
    TFakeItem(bool playing, bool paused, bool ended) : playing_(playing), paused_(paused), ended_(ended) {}
    bool IsPlaying() override { return playing_ && !paused_; }
    bool IsPaused() override { return paused_; }
    bool IsEnd() override { return ended_; }
    void Play() override
    {
        playing_ = true;
        paused_ = false;
        ++plays;
    }
    void Pause() override
    {
        paused_ = true;
        ++pauses;
    }
    void SetMuted(bool m) override { muted = m; }
    int plays = 0;
    int pauses = 0;
    bool muted = false;

private:
    bool playing_, paused_, ended_;
};

class TFakeManager : public TMediaManager {
public:
    TFakeManager() : TMediaManager("fake") {}
    TDMediaItem* Add(const std::string&, bool) override { return nullptr; }
    TFakeItem* Put(bool playing, bool paused, bool ended)
    {
        return static_cast<TFakeItem*>(Keep(std::make_unique<TFakeItem>(playing, paused, ended), "x"));
    }
};

TEST(MediaManager, DeactivationSuspendsExactlyThePlayingItemsOnceAndResumesThem)
{
    TFakeManager manager;
    TFakeItem* playing = manager.Put(true, false, false);
    TFakeItem* paused = manager.Put(true, true, false);
    TFakeItem* stopped = manager.Put(false, false, false);
    TFakeItem* ended = manager.Put(true, false, true);
    manager.SetActive(false);
    manager.SetActive(false);  // twice: suspends once
    EXPECT_EQ(playing->pauses, 1);
    EXPECT_TRUE(playing->Suspended);
    for (TFakeItem* other : {paused, stopped, ended}) {
        EXPECT_EQ(other->pauses, 0);
        EXPECT_FALSE(other->Suspended);
    }
    EXPECT_FALSE(manager.Active());
    manager.SetActive(true);
    EXPECT_EQ(playing->plays, 1);
    EXPECT_FALSE(playing->Suspended);
    for (TFakeItem* other : {paused, stopped, ended}) EXPECT_EQ(other->plays, 0);
    manager.SetActive(true);
    EXPECT_EQ(playing->plays, 1);
}

TEST(MediaManager, SoundOffMutesEveryItemAndLaterOnes)
{
    TFakeManager manager;
    TFakeItem* first = manager.Put(true, false, false);
    manager.SetSoundOn(false);
    EXPECT_TRUE(first->muted);
    TFakeItem* second = manager.Put(false, false, false);
    EXPECT_TRUE(second->muted);
    manager.SetSoundOn(true);
    EXPECT_FALSE(first->muted);
    EXPECT_FALSE(second->muted);
}

TEST(MediaManager, RemoveAndClearFreeTheItems)
{
    TFakeManager manager;
    TFakeItem* a = manager.Put(false, false, false);
    manager.Put(false, false, false);
    manager.Remove(a);
    EXPECT_EQ(manager.Count(), 1);
    manager.Remove(a);  // already gone: nothing
    EXPECT_EQ(manager.Items(5), nullptr);
    manager.Clear();
    EXPECT_EQ(manager.Count(), 0);
}

TEST(MediaManager, OggManagerOpensByContentThroughTheFileRule)
{
    EXPECT_TRUE(IsAbsoluteMediaName("/tmp/a.ogg"));
    EXPECT_TRUE(IsAbsoluteMediaName("\\a.ogg"));
    EXPECT_TRUE(IsAbsoluteMediaName("C:\\a.ogg"));
    EXPECT_FALSE(IsAbsoluteMediaName("bgm\\a.ogg"));
    EXPECT_EQ(MediaExtension("BGM\\Title.OGG"), ".ogg");
    EXPECT_EQ(MediaExtension("a.b\\c"), "");

    TAudioMixer mixer(44100, 2);
    for (bool direct_sound : {true, false}) {
        TOggManager manager(mixer, direct_sound);
        TDMediaItem* ogg = manager.Add(media_test::FixturePath("stereo_44k.ogg"));
        TDMediaItem* wave = manager.Add(media_test::FixturePath("s16_22k_mono.wav"));
        EXPECT_EQ(dynamic_cast<TOggItem*>(ogg) != nullptr, direct_sound);
        EXPECT_EQ(dynamic_cast<TOggWaveItem*>(ogg) != nullptr, !direct_sound);
        EXPECT_EQ(ogg->GetLength(), 300);
        EXPECT_EQ(wave->GetLength(), 50);
        EXPECT_THROW(manager.Add(media_test::FixturePath("stereo_44k.s16")), EMobuError);
        EXPECT_THROW(manager.Add("/no/such/file.ogg"), EMobuError);
        EXPECT_EQ(manager.Count(), 2);
    }
    EXPECT_EQ(mixer.VoiceCount(), 0u);
}

class TLines : public TScriptLogSink {
public:
    void WriteLine(const std::string& line, bool) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

TEST(MediaManager, UnavailableKindsPlayNothingVisibly)
{
    TLines log;
    AddScriptLogSink(&log);
    ForgetLoggedFailures();
    TUnavailableManager midi("midi");
    EXPECT_EQ(midi.Add("bgm\\field.mid"), nullptr);
    RemoveScriptLogSink(&log);
    EXPECT_EQ(midi.Count(), 0);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("midi: not available yet"), std::string::npos);
}

}  // namespace
}  // namespace mobu
