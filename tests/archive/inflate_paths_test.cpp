// The two inflaters (zlib block by block, libdeflate in one call) and an archive entry read
// through each case of good and damaged zlib streams, against zlib's own uncompress2 as the
// oracle: the same streams are accepted with the same bytes, the same ones refused.
#include <gtest/gtest.h>
#include <zlib.h>

#include <optional>
#include <string>
#include <vector>

#include "archive/vr_file_collection.h"
#include "archive/zlib_codec.h"
#include "core/mobu_error.h"
#include "tests/archive/fixture_writer.h"

namespace mobu {
namespace {

using testing::FixtureWriter;
using testing::ZlibCompress;

// Varied text with long and short repeats.
std::string Text(size_t size)
{
    std::string out;
    uint32_t seed = 7;
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        out += "scene " + std::to_string(seed % 977) + (seed & 0x100 ? " \x82\xa0\x82\xa2\r\n" : " box ");
    }
    out.resize(size);
    return out;
}

// A zlib stream made with a preset dictionary: the player has none to give.
std::string WithDictionary(const std::string& raw)
{
    z_stream stream{};
    deflateInit(&stream, 6);
    const char dictionary[] = "scene box";
    deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary), sizeof dictionary - 1);
    std::string out(deflateBound(&stream, static_cast<uLong>(raw.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// zlib's verdict: the inflated bytes when the input starts with one whole valid stream
// whose output fits `cap`, else nothing.
std::optional<std::string> Oracle(const std::string& compressed, size_t cap)
{
    std::string out(std::min<size_t>(cap, 32 << 20) + 1, '\0');
    uLongf out_size = static_cast<uLongf>(out.size());
    uLong in_size = static_cast<uLong>(compressed.size());
    if (uncompress2(reinterpret_cast<Bytef*>(out.data()), &out_size, reinterpret_cast<const Bytef*>(compressed.data()),
                    &in_size) != Z_OK ||
        out_size > cap)
        return std::nullopt;
    out.resize(out_size);
    return out;
}

// A version-0 archive (no header, every entry compressed) whose one entry holds `stream`
// as its stored bytes, whatever they are.
std::string ArchiveHolding(const std::string& stream)
{
    std::string bytes;
    FixtureWriter::Put32(bytes, 1);
    FixtureWriter::Put32(bytes, 5);
    bytes += "e.txt";
    const uint32_t start = static_cast<uint32_t>(bytes.size() + 8);
    FixtureWriter::Put32(bytes, start);
    FixtureWriter::Put32(bytes, start + static_cast<uint32_t>(stream.size()));
    return bytes + stream;
}

struct TInflateCase {
    const char* name;
    std::string compressed;
    size_t cap;  // 0: the cap of an archive entry of that stored size
    bool accepted;
};

std::vector<TInflateCase> Cases()
{
    const std::string raw = Text(300000);
    const std::string good = ZlibCompress(raw);
    const std::string zeros = ZlibCompress(std::string(16 << 20, '\0'), 9);
    std::string bad_adler = good;
    bad_adler.back() ^= 0x01;
    std::string bad_header = good;
    bad_header[1] ^= 0x01;
    std::string bad_middle = good;
    bad_middle[good.size() / 2] ^= 0x20;
    return {
        {"whole stream, entry cap", good, 0, true},
        {"whole stream, cap exactly its size", good, raw.size(), true},
        {"whole stream, cap one byte short", good, raw.size() - 1, false},
        {"empty payload, cap 0", ZlibCompress(""), 0, true},
        {"trailing garbage after the stream", good + "trailing garbage", 0, true},
        {"truncated by 1 byte (Adler-32 cut)", good.substr(0, good.size() - 1), 0, false},
        {"truncated by 4 bytes (no Adler-32)", good.substr(0, good.size() - 4), 0, false},
        {"truncated by 6 bytes", good.substr(0, good.size() - 6), 0, false},
        {"truncated to half", good.substr(0, good.size() / 2), 0, false},
        {"header only", good.substr(0, 2), 0, false},
        {"one byte", good.substr(0, 1), 0, false},
        {"wrong Adler-32", bad_adler, 0, false},
        {"wrong header check", bad_header, 0, false},
        {"damaged in the middle", bad_middle, 0, false},
        {"preset dictionary", WithDictionary(raw), 0, false},
        {"not zlib at all", "not zlib at all", 1 << 22, false},
        {"bomb: 16 MiB of zeros under a 1 MiB cap", zeros, 1 << 20, false},
        {"16 MiB of zeros under their entry cap", zeros, 0, true},
    };
}

TEST(InflatePaths, EveryPathAgreesWithZlibOnGoodAndDamagedStreams)
{
    for (const TInflateCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const bool entry_cap = c.cap == 0;
        const size_t cap = entry_cap ? InflateCapFor(static_cast<int64_t>(c.compressed.size())) : c.cap;
        const std::optional<std::string> expected = Oracle(c.compressed, cap);
        ASSERT_EQ(expected.has_value(), c.accepted);

        // Each path appends to what the output already holds.
        auto check = [&](const char* path, auto&& inflate) {
            SCOPED_TRACE(path);
            std::string out = "kept";
            if (expected) {
                ASSERT_NO_THROW(inflate(out));
                EXPECT_TRUE(out == "kept" + *expected) << "sizes " << out.size() << " / " << expected->size() + 4;
            } else {
                EXPECT_THROW(inflate(out), EMobuError);
            }
        };
        check("zlib", [&](std::string& out) { InflateBytes(c.compressed, out, cap, "bad"); });
        check("libdeflate, exact buffer", [&](std::string& out) { InflateWhole(c.compressed, out, cap, cap, "bad"); });
        check("libdeflate, growing buffer", [&](std::string& out) { InflateWhole(c.compressed, out, 1, cap, "bad"); });
        if (entry_cap) {
            TVrFileCollection archive;
            archive.OpenFromMemory(ArchiveHolding(c.compressed), "game.dat");
            check("archive entry", [&](std::string& out) {
                std::string bytes;
                archive.ReadEntry(*archive.Find("e.txt"), bytes);
                out += bytes;
            });
        }
    }
}

TEST(InflatePaths, EntriesOfVeryDifferentRatiosReadWhole)
{
    // The first output buffer of an entry follows the ratio of the entry read before it:
    // too small after a sparse entry, far too large after a dense one.
    std::vector<testing::FixtureEntry> entries = {
        {"dense.txt", Text(100000), false, 0},
        {"zeros.bin", std::string(3 << 20, '\0'), false, 0},
        {"noise.bin", std::string(), false, 0},
        {"zeros2.bin", std::string(1 << 20, '\0'), false, 0},
        {"tiny.txt", "x", false, 0},
        {"dense2.txt", Text(200000), false, 0},
    };
    uint32_t seed = 3;
    for (int i = 0; i < 50000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        entries[2].raw.push_back(static_cast<char>(seed >> 24));
    }
    TVrFileCollection archive;
    archive.OpenFromMemory(FixtureWriter(102).Build(entries), "game.dat");
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& entry : entries) {
            SCOPED_TRACE(entry.name);
            const std::string bytes = archive.Extract(entry.name);
            EXPECT_TRUE(bytes == entry.raw) << bytes.size() << " / " << entry.raw.size();
            EXPECT_LE(bytes.capacity(), bytes.size() + bytes.size() / 2 + 4096 + 32);
        }
    }
}

}  // namespace
}  // namespace mobu
