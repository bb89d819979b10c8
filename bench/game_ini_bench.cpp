// Saving game.ini: reading it, editing two keys and the atomic replacement, against the peer
// that writes the same bytes by hand (exclusive temporary file, write, fsync, rename, fsync
// of the folder). Both run side by side on the same file.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/game_ini.h"

namespace {

namespace fs = std::filesystem;

const std::string& Folder()
{
    static const std::string folder = [] {
        fs::path path = fs::temp_directory_path() / ("mobu_game_ini_bench_" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path.string();
    }();
    return folder;
}

// A game.ini as players keep them: the two sections and a few comments.
std::string SampleFile()
{
    std::string text = "; settings\r\n[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\n\r\n[Video]\r\nUseWMP=0\r\n";
    for (int i = 0; i < 20; ++i) text += "; line " + std::to_string(i) + " of notes kept by the user\r\n";
    return text;
}

void BM_EditAndReplace(benchmark::State& state)
{
    using namespace mobu;
    std::string path = Folder() + "/mobu.ini";
    std::ofstream(path, std::ios::binary) << SampleFile();
    int flip = 0;
    for (auto _ : state) {
        TIniText ini = ReadGameIniText(path);
        ini.Set("Sound", "DirectSound", flip ? "1" : "0");
        ini.Set("Sound", "DelayTime", flip ? "500" : "300");
        flip ^= 1;
        std::string reason;
        if (!WriteGameIni(path, ini, reason)) state.SkipWithError(reason.c_str());
    }
}

void BM_PlainWriteFsyncRename(benchmark::State& state)
{
    std::string path = Folder() + "/plain.ini";
    std::string bytes[2] = {SampleFile(), SampleFile()};
    bytes[1].replace(bytes[1].find("DirectSound=1"), 13, "DirectSound=0");
    int flip = 0;
    for (auto _ : state) {
        std::string temporary = path + ".tmp";
        int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        const std::string& data = bytes[flip];
        flip ^= 1;
        bool ok = descriptor >= 0 && ::write(descriptor, data.data(), data.size()) == static_cast<ssize_t>(data.size()) &&
                  ::fsync(descriptor) == 0;
        if (descriptor >= 0) ::close(descriptor);
        ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
        int folder = ::open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        if (!ok) state.SkipWithError("plain write failed");
    }
}

BENCHMARK(BM_EditAndReplace)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainWriteFsyncRename)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
