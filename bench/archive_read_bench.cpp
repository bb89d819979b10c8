// Reading every entry of a 200 MB archive of mixed compressed and stored entries through
// the virtual file manager, against a plain zlib inflate loop over the same bytes and a
// plain read (and memcpy) for the stored ones, in the same run. The archive is generated
// at start in a private folder under /tmp and removed at exit. Prints the ratios at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "archive/big_file_stream.h"
#include "core/byte_writer.h"
#include "archive/ks_random.h"
#include "archive/vr_file_manager.h"
#include "platform/real_files.h"

namespace {

using namespace mobu;

struct BenchEntry {
    std::string name;
    int64_t offset = 0;
    int64_t stored_size = 0;
    int64_t raw_size = 0;
    bool stored = false;
};

struct BenchArchive {
    std::string folder;
    std::string path;
    std::vector<BenchEntry> entries;
    std::string stored_copy;  // the stored entries' bytes in memory, for the memcpy peer
    int64_t compressed_raw_bytes = 0;
    int64_t stored_bytes = 0;
};

BenchArchive& Archive()
{
    static BenchArchive archive;
    return archive;
}

std::string TextLike(size_t size, uint32_t seed)
{
    static const char* words[] = {"the ", "player ", "reads ", "every ", "entry ", "of ", "a ", "game ", "archive ",
                                  "message ", "box ", "\x82\xa0\x82\xa2", "\x93\xfa\x96\x7b", "scene ", "\r\n", "42 "};
    std::string out;
    out.reserve(size + 16);
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        out += words[(seed >> 16) % 16];
        if ((seed & 0xFF) < 8) out += std::to_string(seed);
    }
    out.resize(size);
    return out;
}

std::string Noise(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    for (size_t i = 0; i + 4 <= size; i += 4) {
        seed = seed * 1664525u + 1013904223u;
        std::memcpy(&out[i], &seed, 4);
    }
    return out;
}

// Writes a version-102 archive of about 200 MB: 16 stored media-like entries of 6 MB and
// compressed text entries of 64 KiB to 4 MiB until the file reaches 200 MB.
void Generate()
{
    BenchArchive& archive = Archive();
    archive.folder = MakePrivateTempFolder();
    archive.path = archive.folder + "game.dat";
    std::vector<std::string> payloads;
    int64_t total = 0;
    uint32_t seed = 1;
    for (int i = 0; total < 200'000'000; ++i) {
        BenchEntry entry;
        std::string raw;
        if (i % 20 == 0 && archive.stored_bytes < 100'000'000) {
            entry.name = "movie\\clip" + std::to_string(i) + ".mpg";
            raw = Noise(6 << 20, seed++);
            entry.stored = true;
            payloads.push_back(raw);
            archive.stored_copy += raw;
            archive.stored_bytes += static_cast<int64_t>(raw.size());
        } else {
            entry.name = "script\\page" + std::to_string(i) + ".txt";
            raw = TextLike((64 << 10) << (i % 7), seed++);
            uLongf size = compressBound(static_cast<uLong>(raw.size()));
            std::string packed(size, '\0');
            compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                      static_cast<uLong>(raw.size()), Z_BEST_SPEED);
            packed.resize(size);
            payloads.push_back(std::move(packed));
            archive.compressed_raw_bytes += static_cast<int64_t>(raw.size());
        }
        entry.raw_size = static_cast<int64_t>(raw.size());
        entry.stored_size = static_cast<int64_t>(payloads.back().size());
        total += entry.stored_size;
        archive.entries.push_back(entry);
    }
    // Index: scrambled names and offsets, then the flag rows.
    size_t n = archive.entries.size();
    ByteWriter index;
    index.Raw("vf", 2);
    index.I32(102);
    index.I32(static_cast<int32_t>(n));
    TKsRandom name_key(kArchiveKey);
    for (const auto& entry : archive.entries) {
        std::string name = entry.name;
        for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ (static_cast<uint32_t>(name_key.NextValue()) & 0xFF));
        index.String(name);
    }
    int64_t offset = static_cast<int64_t>(index.Size() + (n + 1) * 8 + n * 10);
    TKsRandom offset_key(kArchiveKey);
    for (auto& entry : archive.entries) {
        entry.offset = offset;
        index.I64(offset ^ static_cast<int64_t>(offset_key.NextValue()));
        offset += entry.stored_size;
    }
    index.I64(offset ^ static_cast<int64_t>(offset_key.NextValue()));
    for (const auto& entry : archive.entries) index.U8(entry.stored ? 1 : 0);
    for (size_t i = 0; i < n; ++i) index.I32(0);
    for (size_t i = 0; i < n; ++i) index.U32(0);
    for (size_t i = 0; i < n; ++i) index.U8(0);
    TKsBigFileStream out(archive.path, TKsBigFileStream::Mode::Create);
    out.WriteBytes(index.Bytes());
    for (const auto& payload : payloads) out.WriteBytes(payload);
    std::printf("archive: %zu entries, %.1f MB on disk (%.1f MB stored, %.1f MB inflated from zlib)\n", n,
                static_cast<double>(out.Size()) / 1e6, static_cast<double>(archive.stored_bytes) / 1e6,
                static_cast<double>(archive.compressed_raw_bytes) / 1e6);
}

enum Kind { kCompressed = 1, kStored = 2, kAll = 3 };

bool Selected(const BenchEntry& entry, int kind) { return (kind & (entry.stored ? kStored : kCompressed)) != 0; }

void OurReadFile(benchmark::State& state)
{
    int kind = static_cast<int>(state.range(0));
    ResetVrFileManager();
    VrFileManager().AddArchive("");
    VrFileManager().AddArchive(Archive().path);
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& entry : Archive().entries) {
            if (!Selected(entry, kind)) continue;
            std::string data = VrFileManager().ReadFile(entry.name);
            benchmark::DoNotOptimize(data.data());
            bytes += static_cast<int64_t>(data.size());
        }
    }
    state.SetBytesProcessed(bytes);
    ResetVrFileManager();
}

// The peer: pread the entry's bytes, then inflate them with a plain zlib loop (1 MiB
// output blocks into a string) or, for stored entries, keep them as read.
void PlainZlib(benchmark::State& state)
{
    int kind = static_cast<int>(state.range(0));
    int file = ::open(Archive().path.c_str(), O_RDONLY);
    std::vector<unsigned char> input;
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& entry : Archive().entries) {
            if (!Selected(entry, kind)) continue;
            if (entry.stored) {
                std::string data(static_cast<size_t>(entry.stored_size), '\0');
                ssize_t got = ::pread(file, data.data(), data.size(), entry.offset);
                benchmark::DoNotOptimize(got);
                bytes += static_cast<int64_t>(data.size());
                continue;
            }
            input.resize(static_cast<size_t>(entry.stored_size));
            ssize_t got = ::pread(file, input.data(), input.size(), entry.offset);
            benchmark::DoNotOptimize(got);
            z_stream stream{};
            inflateInit(&stream);
            stream.next_in = input.data();
            stream.avail_in = static_cast<uInt>(input.size());
            std::string out;
            int result = Z_OK;
            while (result == Z_OK) {
                size_t used = out.size();
                out.resize(used + (1 << 20));
                stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
                stream.avail_out = 1 << 20;
                result = inflate(&stream, Z_NO_FLUSH);
                out.resize(out.size() - stream.avail_out);
            }
            inflateEnd(&stream);
            benchmark::DoNotOptimize(out.data());
            bytes += static_cast<int64_t>(out.size());
        }
    }
    state.SetBytesProcessed(bytes);
    ::close(file);
}

// The ceiling for stored entries: memcpy of the same bytes already in memory.
void MemcpyStored(benchmark::State& state)
{
    int64_t bytes = 0;
    for (auto _ : state) {
        size_t at = 0;
        for (const auto& entry : Archive().entries) {
            if (!entry.stored) continue;
            std::string data(static_cast<size_t>(entry.stored_size), '\0');
            std::memcpy(data.data(), Archive().stored_copy.data() + at, data.size());
            at += data.size();
            benchmark::DoNotOptimize(data.data());
            bytes += static_cast<int64_t>(data.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

BENCHMARK(OurReadFile)->Arg(kAll)->Arg(kCompressed)->Arg(kStored)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(PlainZlib)->Arg(kAll)->Arg(kCompressed)->Arg(kStored)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(MemcpyStored)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps each run's time per iteration to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/min_time"));
            real[name] = run.GetAdjustedRealTime();
            cpu[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> real, cpu;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Generate();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* ours, const char* peer) {
        if (!reporter.cpu.count(ours) || !reporter.cpu.count(peer)) return;
        std::printf("%-14s / %-14s  cpu %.3f  real %.3f\n", ours, peer, reporter.cpu[ours] / reporter.cpu[peer],
                    reporter.real[ours] / reporter.real[peer]);
    };
    std::printf("\nratios (time ours / time peer, same run):\n");
    ratio("OurReadFile/3", "PlainZlib/3");
    ratio("OurReadFile/1", "PlainZlib/1");
    ratio("OurReadFile/2", "PlainZlib/2");
    ratio("OurReadFile/2", "MemcpyStored");
    std::filesystem::remove_all(Archive().folder);
    benchmark::Shutdown();
    return 0;
}
