// Animated cursor files: RIFF "ACON" with an "anih" header (frame and step counts, the
// default rate in jiffies, flags), optional "rate" and "seq " tables of one 32-bit value per
// step, and "LIST" "fram" holding one "icon" chunk (an icon or cursor file) per frame.
// Counts, chunk sizes and tables are checked against the file; a rate of 0 counts as one
// jiffy; steps naming a frame that does not exist are skipped.
#include <algorithm>
#include <cstring>

#include "core/byte_reader.h"
#include "graphics/cursor_shape.h"

namespace mobu {

namespace {

constexpr uint32_t kIconFlag = 1;  // frames are icon or cursor files (not raw bitmaps)
constexpr size_t kHeaderSize = 36;

bool Is(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

struct TChunk {
    const uint8_t* Id;
    const uint8_t* Data;
    size_t Size;
};

// The chunks of one RIFF list body; a chunk running past the list refuses the file. The
// last chunk may lack its pad byte.
std::vector<TChunk> Chunks(ByteReader& in, const uint8_t* body, size_t size)
{
    std::vector<TChunk> chunks;
    size_t at = 0;
    while (size - at >= 8) {
        uint32_t length = static_cast<uint32_t>(body[at + 4]) | static_cast<uint32_t>(body[at + 5]) << 8 |
                          static_cast<uint32_t>(body[at + 6]) << 16 | static_cast<uint32_t>(body[at + 7]) << 24;
        if (length > size - at - 8) in.Fail();
        chunks.push_back(TChunk{body + at, body + at + 8, length});
        at += 8 + length;
        at += (length & 1) && at < size ? 1 : 0;
    }
    return chunks;
}

std::vector<uint32_t> Table(ByteReader& in, const TChunk& chunk, size_t steps)
{
    if (chunk.Size / 4 < steps) in.Fail();
    ByteReader table(chunk.Data, chunk.Size, in.FailureMessage());
    std::vector<uint32_t> values(steps);
    for (uint32_t& v : values) v = table.U32();
    return values;
}

}  // namespace

TCursorShape ReadAniFile(const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    if (size < 12 || !Is(data, "RIFF") || !Is(data + 8, "ACON")) in.Fail();
    in.Skip(4);
    uint32_t riff_size = in.U32();
    if (riff_size < 4 || riff_size > size - 8) in.Fail();
    std::vector<TChunk> chunks = Chunks(in, data + 12, riff_size - 4);

    const TChunk* header = nullptr;
    const TChunk* rate = nullptr;
    const TChunk* seq = nullptr;
    std::vector<TChunk> icons;
    for (const TChunk& chunk : chunks) {
        if (Is(chunk.Id, "anih") && !header) header = &chunk;
        else if (Is(chunk.Id, "rate") && !rate) rate = &chunk;
        else if (Is(chunk.Id, "seq ") && !seq) seq = &chunk;
        else if (Is(chunk.Id, "LIST") && chunk.Size >= 4 && Is(chunk.Data, "fram") && icons.empty()) {
            for (const TChunk& sub : Chunks(in, chunk.Data + 4, chunk.Size - 4))
                if (Is(sub.Id, "icon")) icons.push_back(sub);
        }
    }
    if (!header || header->Size < kHeaderSize) in.Fail();
    ByteReader head(header->Data, header->Size, in.FailureMessage());
    if (head.U32() < kHeaderSize) in.Fail();
    uint32_t frame_count = head.U32();
    uint32_t step_count = head.U32();
    head.Skip(16);  // width, height, bit count, planes: the frames carry their own
    uint32_t default_rate = head.U32();
    uint32_t flags = head.U32();
    if ((flags & kIconFlag) == 0) in.Fail();
    if (frame_count == 0 || frame_count > kMaxCursorFrames || icons.size() < frame_count) in.Fail();
    if (step_count == 0) step_count = frame_count;
    // Each step has a 32-bit entry in whichever table is present, so the file bounds the count.
    if (step_count > size / 4 && (rate || seq)) in.Fail();
    if (!rate && !seq && step_count != frame_count) step_count = frame_count;

    TCursorShape shape;
    size_t pixels = 0;
    for (uint32_t i = 0; i < frame_count; ++i) {
        TCursorFrame frame = ReadCursorFrame(icons[i].Data, icons[i].Size);
        pixels += frame.Pixels.size();
        if (pixels > kMaxCursorPixels) in.Fail();
        shape.Frames.push_back(std::move(frame));
    }
    std::vector<uint32_t> rates = rate ? Table(in, *rate, step_count) : std::vector<uint32_t>(step_count, default_rate);
    std::vector<uint32_t> order;
    if (seq) {
        order = Table(in, *seq, step_count);
    } else {
        order.resize(step_count);
        for (uint32_t i = 0; i < step_count; ++i) order[i] = i;
    }
    for (uint32_t i = 0; i < step_count; ++i) {
        if (order[i] >= frame_count) continue;
        shape.Steps.push_back(TCursorStep{order[i], std::max<uint32_t>(rates[i], 1)});
    }
    // Nothing left to show in sequence: the frames in order at the default rate.
    if (shape.Steps.empty())
        for (uint32_t i = 0; i < frame_count; ++i) shape.Steps.push_back(TCursorStep{i, std::max<uint32_t>(default_rate, 1)});
    return shape;
}

}  // namespace mobu
