// Replays a fuzz target's corpus (files or folders given on the command line) and a fixed
// set of pseudo-random inputs, for builds without libFuzzer. Any crash fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void run_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    std::vector<std::vector<uint8_t>> seeds;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path root(argv[i]);
        if (std::filesystem::is_directory(root)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
                if (entry.is_regular_file()) {
                    run_file(entry.path());
                    std::ifstream in(entry.path(), std::ios::binary);
                    seeds.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                    ++replayed;
                }
            }
        } else if (std::filesystem::is_regular_file(root)) {
            run_file(root);
            ++replayed;
        }
    }
    // Mutate each seed a little: flipped bytes and cut tails find the plain bounds mistakes.
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> input;
        if (!seeds.empty()) {
            input = seeds[random() % seeds.size()];
        } else {
            input.resize(random() % 256);
        }
        for (int flips = 1 + random() % 8; flips > 0 && !input.empty(); --flips) {
            input[random() % input.size()] = static_cast<uint8_t>(random());
        }
        if (!input.empty() && random() % 4 == 0) {
            input.resize(random() % input.size());
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("replayed %d corpus files and 2000 mutations\n", replayed);
    return 0;
}
