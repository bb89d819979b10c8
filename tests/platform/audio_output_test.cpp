// The SDL sound output through SDL's "disk" driver, which writes what the device would play
// to a file: the feed's samples arrive unchanged in the device's float format. Without any
// device the null output still asks its feed for sound.
#include <gtest/gtest.h>
#include <unistd.h>


#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/audio_output.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class TConstantFeed : public TAudioFeed {
public:
    explicit TConstantFeed(int channels) : channels_(channels) {}
    void Render(float* out, size_t frames) override
    {
        for (size_t i = 0; i < frames * static_cast<size_t>(channels_); ++i) out[i] = 0.25f;
        rendered += static_cast<long>(frames);
    }
    std::atomic<long> rendered{0};

private:
    int channels_;
};

// Waits for `done` at most 20 s (a busy machine); the checks that follow decide.
template <typename F>
void WaitFor(F done)
{
    for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST(AudioOutput, DiskDriverReceivesTheFeedInFloat)
{
    fs::path file = fs::temp_directory_path() / ("mobu_audio_disk_" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    {
        std::unique_ptr<TAudioOutput> output = OpenAudioOutput();
        ASSERT_TRUE(output->HasDevice());
        EXPECT_GE(output->Rate(), 8000);
        EXPECT_GE(output->Channels(), 1);
        TConstantFeed feed(output->Channels());
        output->Start(&feed);
        WaitFor([&] { return feed.rendered.load() >= 4096; });
        output->Stop();
        EXPECT_GE(feed.rendered.load(), 4096);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(file);
    ASSERT_GE(bytes.size(), 4096u * sizeof(float));
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    // A paused device plays silence before Start and after Stop; in between, the feed.
    size_t first = 0, last = samples.size();
    while (first < last && samples[first] == 0.0f) ++first;
    while (last > first && samples[last - 1] == 0.0f) --last;
    ASSERT_GE(last - first, 4096u);
    for (size_t i = first; i < last; ++i) ASSERT_EQ(samples[i], 0.25f) << i;
}

TEST(AudioOutput, NullOutputKeepsAskingForSound)
{
    std::unique_ptr<TAudioOutput> output = MakeNullAudioOutput(8000, 2);
    EXPECT_FALSE(output->HasDevice());
    TConstantFeed feed(2);
    output->Start(&feed);
    WaitFor([&] { return feed.rendered.load() >= 320; });
    output->Stop();
    EXPECT_GE(feed.rendered.load(), 320);
    long stopped = feed.rendered.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(feed.rendered.load(), stopped);
}

}  // namespace
}  // namespace mobu
