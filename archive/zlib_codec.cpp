#include "archive/zlib_codec.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/mobu_error.h"

namespace mobu {
namespace {

constexpr size_t kBlock = 1 << 20;

class Inflater {
public:
    Inflater(std::string& out, size_t cap, const std::string& failure) : out_(out), cap_(cap), failure_(failure)
    {
        stream_ = {};
        if (inflateInit(&stream_) != Z_OK) throw EMobuError(failure_);
        start_ = out_.size();
    }
    ~Inflater() { inflateEnd(&stream_); }

    // Feeds one block of input; returns true once the stream has ended.
    bool Feed(const char* data, size_t size)
    {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = static_cast<uInt>(size);
        while (true) {
            size_t produced = out_.size() - start_ - spare_;
            if (spare_ == 0) {
                size_t room = cap_ - produced;
                if (room == 0) {
                    // The cap is reached: the stream may still end here without more output.
                    unsigned char probe;
                    stream_.next_out = &probe;
                    stream_.avail_out = 1;
                    int result = inflate(&stream_, Z_NO_FLUSH);
                    if (result == Z_STREAM_END && stream_.avail_out == 1) return Finish();
                    throw EMobuError(failure_);
                }
                size_t grow = std::min(room, std::max<size_t>(kBlock, produced));
                out_.resize(out_.size() + grow);
                spare_ = grow;
            }
            stream_.next_out = reinterpret_cast<Bytef*>(out_.data() + (out_.size() - spare_));
            stream_.avail_out = static_cast<uInt>(std::min<size_t>(spare_, 0x40000000));
            uInt before = stream_.avail_out;
            int result = inflate(&stream_, Z_NO_FLUSH);
            spare_ -= before - stream_.avail_out;
            if (result == Z_STREAM_END) return Finish();
            if (result == Z_BUF_ERROR && stream_.avail_in == 0) return false;  // needs more input
            if (result != Z_OK) throw EMobuError(failure_);
            if (stream_.avail_in == 0 && stream_.avail_out != 0) return false;
        }
    }
    bool Finish()
    {
        out_.resize(out_.size() - spare_);
        spare_ = 0;
        ended_ = true;
        return true;
    }
    // Called after the last input: the stream must have ended.
    void Done()
    {
        if (!ended_) throw EMobuError(failure_);
    }

private:
    std::string& out_;
    size_t cap_;
    const std::string& failure_;
    z_stream stream_;
    size_t start_ = 0;
    size_t spare_ = 0;  // unused bytes at the end of out_
    bool ended_ = false;
};

// One decompressor per thread, kept for the thread's life (it holds only tables).
libdeflate_decompressor* Decompressor()
{
    thread_local std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> decompressor(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    return decompressor.get();
}

}  // namespace

size_t InflateCapFor(int64_t stored_size)
{
    if (stored_size <= 0) return 0;
    uint64_t bound = static_cast<uint64_t>(stored_size) * kMaxDeflateRatio + 64;
    return static_cast<size_t>(std::min<uint64_t>(bound, kMaxInflatedSize));
}

std::string DeflateFastest(std::string_view raw)
{
    uLongf bound = compressBound(static_cast<uLong>(raw.size()));
    std::string out(bound, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK) {
        throw EMobuError("deflate failed");
    }
    out.resize(bound);
    return out;
}

void InflateFromStream(TKsBigStream& source, int64_t offset, int64_t size, std::string& out, size_t cap,
                       const std::string& failure_message)
{
    Inflater inflater(out, cap, failure_message);
    if (size > 0) out.reserve(out.size() + static_cast<size_t>(std::min<int64_t>(size * 4, static_cast<int64_t>(cap))));
    std::vector<char> block(static_cast<size_t>(std::clamp<int64_t>(size, 1, kBlock)));
    source.Seek(offset);
    int64_t left = size;
    bool ended = false;
    while (left > 0 && !ended) {
        size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(block.size())));
        size_t got = source.Read(block.data(), want);
        if (got != want) throw EMobuError(failure_message);
        left -= static_cast<int64_t>(got);
        ended = inflater.Feed(block.data(), got);
    }
    inflater.Done();
}

void InflateBytes(std::string_view compressed, std::string& out, size_t cap, const std::string& failure_message)
{
    Inflater inflater(out, cap, failure_message);
    bool ended = false;
    for (size_t done = 0; done < compressed.size() && !ended;) {
        size_t take = std::min(kBlock, compressed.size() - done);
        ended = inflater.Feed(compressed.data() + done, take);
        done += take;
    }
    inflater.Done();
}

void InflateWhole(std::string_view compressed, std::string& out, size_t first_guess, size_t cap,
                  const std::string& failure_message)
{
    libdeflate_decompressor* decompressor = Decompressor();
    if (decompressor == nullptr) throw EMobuError(failure_message);
    const size_t start = out.size();
    size_t room = std::min(std::max<size_t>(first_guess, 1), cap);
    while (true) {
        out.resize(start);  // a retry does not copy the failed attempt's bytes
        out.resize(start + room);
        size_t produced = 0;
        const libdeflate_result result = libdeflate_zlib_decompress(
            decompressor, compressed.data(), compressed.size(), out.data() + start, room, &produced);
        if (result == LIBDEFLATE_SUCCESS) {
            out.resize(start + produced);
            // A guess far above the result would keep its memory as long as the string lives.
            if (out.capacity() - out.size() > out.size() / 2 + 4096) out.shrink_to_fit();
            return;
        }
        if (result != LIBDEFLATE_INSUFFICIENT_SPACE || room >= cap) {
            out.resize(start);
            throw EMobuError(failure_message);
        }
        room = room > cap / 2 ? cap : room * 2;
    }
}

uint32_t Crc32(std::string_view bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    size_t done = 0;
    while (done < bytes.size()) {
        uInt take = static_cast<uInt>(std::min<size_t>(bytes.size() - done, 0x40000000));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + done), take);
        done += take;
    }
    return static_cast<uint32_t>(crc);
}

}  // namespace mobu
