// Items are added, sought, played and removed from the main thread while another thread
// mixes without pause, as the sound device does: nothing freed is used (run it under the
// address and thread sanitizers), and every voice is gone at the end.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "media/media_manager.h"
#include "media/mixer_sound_item.h"
#include "platform/text_encoding.h"
#include "tests/media/media_fixtures.h"

namespace mobu {
namespace {

TEST(MixerStress, SixtyFourItemsComeAndGoWhileTheDeviceMixes)
{
    TAudioMixer mixer(48000, 2);
    std::atomic<bool> running{true};
    std::atomic<long> blocks{0};
    std::thread device([&] {
        std::vector<float> buffer(960 * 2);
        while (running) {
            mixer.Mix(buffer.data(), 960);
            ++blocks;
        }
    });
    while (blocks == 0) std::this_thread::yield();  // the device runs before the first item comes
    {
        TOggManager music(mixer, true);
        TWaveManager effects(mixer);
        const std::string names[] = {"stereo_44k.ogg", "chained.ogg", "s16_22k_mono.wav", "wmav2.wma",
                                     "msadpcm_22k_mono.wav", "f32_44k_stereo.wav"};
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 64; ++i) {
                TMediaManager& manager = i % 2 ? static_cast<TMediaManager&>(music) : effects;
                TDMediaItem* item = manager.Add(Utf8ToCp932(media_test::FixturePath(names[i % 6])));
                item->SetAutoRepeat(i % 3 == 0);
                item->SetVolume(-(i * 97) % 10000);
                item->SetPan((i * 613) % 20001 - 10000);
                item->Play();
                item->SetPosition((i * 37) % 300);
            }
            for (int i = 0; i < 64; ++i) {
                TMediaManager& manager = i % 2 ? static_cast<TMediaManager&>(music) : effects;
                if (manager.Count() == 0) continue;
                TDMediaItem* item = manager.Items((i * 7) % manager.Count());
                item->SetPosition((i * 53) % 400);
                if (i % 4 == 0) manager.Remove(item);
            }
            music.SetActive(false);
            effects.SetSoundOn(false);
            music.SetActive(true);
            effects.SetSoundOn(true);
            music.Clear();
            effects.Clear();
        }
    }
    running = false;
    device.join();
    EXPECT_EQ(mixer.VoiceCount(), 0u);
}

}  // namespace
}  // namespace mobu
