#include "media/riff_wave.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/byte_reader.h"
#include "core/mobu_error.h"
#include "media/media_messages.h"

namespace mobu {
namespace {

[[noreturn]] void Invalid() { throw EMobuError(media_messages::InvalidSoundData()); }

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// G.711 expansions to 16-bit values.
int16_t AlawSample(uint8_t a)
{
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    int segment = (a & 0x70) >> 4;
    if (segment == 0) t += 8;
    else if (segment == 1) t += 0x108;
    else t = (t + 0x108) << (segment - 1);
    return static_cast<int16_t>((a & 0x80) ? t : -t);
}

int16_t MulawSample(uint8_t u)
{
    u = static_cast<uint8_t>(~u);
    int t = ((u & 0x0F) << 3) + 0x84;
    t <<= (u & 0x70) >> 4;
    return static_cast<int16_t>((u & 0x80) ? (0x84 - t) : (t - 0x84));
}

class TRiffWaveSource : public TPcmSource {
public:
    TRiffWaveSource(std::string bytes, TRiffWaveFormat format)
        : bytes_(std::move(bytes)), format_(format)
    {
    }
    int Rate() const override { return format_.Rate; }
    int Channels() const override { return format_.Channels; }
    int64_t LengthFrames() const override { return static_cast<int64_t>(format_.DataSize / format_.BlockAlign); }
    size_t Read(float* out, size_t frames) override
    {
        int64_t left = LengthFrames() - position_;
        size_t count = static_cast<size_t>(std::clamp<int64_t>(left, 0, static_cast<int64_t>(frames)));
        DecodeWaveSamples(bytes_, format_, position_, count, out);
        position_ += static_cast<int64_t>(count);
        return count;
    }
    void Seek(int64_t frame) override { position_ = std::clamp<int64_t>(frame, 0, LengthFrames()); }
    const char* CodecName() const override
    {
        switch (format_.FormatTag) {
        case kWaveFormatAlaw: return "pcm_alaw";
        case kWaveFormatMulaw: return "pcm_mulaw";
        case kWaveFormatFloat: return format_.BitsPerSample == 32 ? "pcm_f32le" : "pcm_f64le";
        default:
            return format_.BitsPerSample == 8 ? "pcm_u8" : format_.BitsPerSample == 16 ? "pcm_s16le"
                   : format_.BitsPerSample == 24 ? "pcm_s24le" : "pcm_s32le";
        }
    }

private:
    std::string bytes_;
    TRiffWaveFormat format_;
    int64_t position_ = 0;
};

}  // namespace

TRiffWaveFormat ReadRiffWaveFormat(const std::string& bytes)
{
    ByteReader reader(bytes.data(), bytes.size(), media_messages::InvalidSoundData());
    if (bytes.size() < 12 || !IsId(reader.Data(), "RIFF") || !IsId(reader.Data() + 8, "WAVE")) Invalid();
    reader.Seek(12);
    TRiffWaveFormat format;
    bool have_format = false;
    bool have_data = false;
    while (reader.Remaining() >= 8) {
        const uint8_t* id = reader.Data() + reader.Position();
        reader.Skip(4);
        uint64_t size = reader.U32();
        size_t start = reader.Position();
        if (IsId(id, "data")) {
            if (!have_format) Invalid();
            // Recorders leave 0 or 0xFFFFFFFF when they could not finish the file: what
            // is there plays.
            uint64_t present = reader.Remaining();
            if (size == 0 || size > present) size = present;
            format.DataOffset = start;
            format.DataSize = static_cast<size_t>(size) / static_cast<size_t>(format.BlockAlign) *
                              static_cast<size_t>(format.BlockAlign);
            have_data = true;
            break;
        }
        if (size > reader.Remaining()) Invalid();
        if (IsId(id, "fmt ")) {
            if (size < 16) Invalid();
            ByteReader chunk(reader.Data() + start, static_cast<size_t>(size), media_messages::InvalidSoundData());
            format.FormatTag = chunk.U16();
            format.Channels = chunk.U16();
            uint32_t rate = chunk.U32();
            chunk.U32();  // average bytes per second: derived, not trusted
            format.BlockAlign = chunk.U16();
            format.BitsPerSample = chunk.U16();
            if (format.FormatTag == kWaveFormatExtensible) {
                if (size < 40) Invalid();
                chunk.U16();  // extra size
                chunk.U16();  // valid bits
                chunk.U32();  // channel mask
                format.FormatTag = chunk.U16();  // the sub-format GUID begins with the tag
            }
            if (rate == 0 || rate > static_cast<uint32_t>(kMaxSoundRate)) Invalid();
            format.Rate = static_cast<int>(rate);
            if (format.Channels < 1 || format.Channels > kMaxSoundChannels || format.BlockAlign == 0) Invalid();
            if (format.FormatTag == kWaveFormatPcm || format.FormatTag == kWaveFormatFloat) {
                int bits = format.BitsPerSample;
                bool pcm_ok = format.FormatTag == kWaveFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
                bool float_ok = format.FormatTag == kWaveFormatFloat && (bits == 32 || bits == 64);
                if (!pcm_ok && !float_ok) Invalid();
                if (format.BlockAlign != format.Channels * bits / 8) Invalid();
            } else if (format.FormatTag == kWaveFormatAlaw || format.FormatTag == kWaveFormatMulaw) {
                if (format.BitsPerSample != 8 || format.BlockAlign != format.Channels) Invalid();
            }
            have_format = true;
        }
        reader.Seek(start + static_cast<size_t>(size));
        if ((size & 1) != 0 && reader.Remaining() > 0) reader.Skip(1);
    }
    if (!have_format) Invalid();
    if (!have_data) format.DataOffset = bytes.size();
    return format;
}

bool WaveFormatDecodable(const TRiffWaveFormat& format)
{
    return format.FormatTag == kWaveFormatPcm || format.FormatTag == kWaveFormatFloat ||
           format.FormatTag == kWaveFormatAlaw || format.FormatTag == kWaveFormatMulaw;
}

void DecodeWaveSamples(const std::string& bytes, const TRiffWaveFormat& format, int64_t first,
                       size_t frames, float* out)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + format.DataOffset +
                    static_cast<size_t>(first) * static_cast<size_t>(format.BlockAlign);
    size_t samples = frames * static_cast<size_t>(format.Channels);
    int bits = format.BitsPerSample;
    for (size_t i = 0; i < samples; ++i) {
        float value = 0.0f;
        switch (format.FormatTag) {
        case kWaveFormatAlaw: value = AlawSample(p[i]) / 32768.0f; break;
        case kWaveFormatMulaw: value = MulawSample(p[i]) / 32768.0f; break;
        case kWaveFormatFloat:
            if (bits == 32) {
                float f;
                std::memcpy(&f, p + i * 4, 4);
                value = f;
            } else {
                double d;
                std::memcpy(&d, p + i * 8, 8);
                value = static_cast<float>(d);
            }
            // A float sample that is not a number plays as silence and an infinite one as full
            // scale, so the mixer and the files it writes only ever see finite samples.
            if (std::isnan(value)) value = 0.0f;
            if (std::isinf(value)) value = value > 0 ? 1.0f : -1.0f;
            break;
        default:
            if (bits == 8) {
                value = (static_cast<int>(p[i]) - 128) / 128.0f;
            } else if (bits == 16) {
                value = static_cast<int16_t>(p[i * 2] | (p[i * 2 + 1] << 8)) / 32768.0f;
            } else if (bits == 24) {
                const uint8_t* s = p + i * 3;
                int32_t v = static_cast<int32_t>((uint32_t(s[0]) << 8) | (uint32_t(s[1]) << 16) | (uint32_t(s[2]) << 24)) >> 8;
                value = static_cast<float>(v / 8388608.0);
            } else {
                const uint8_t* s = p + i * 4;
                int32_t v = static_cast<int32_t>(uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16) | (uint32_t(s[3]) << 24));
                value = static_cast<float>(v / 2147483648.0);
            }
            break;
        }
        out[i] = value;
    }
}

std::unique_ptr<TPcmSource> OpenRiffWaveSource(std::string bytes)
{
    TRiffWaveFormat format = ReadRiffWaveFormat(bytes);
    if (!WaveFormatDecodable(format)) {
        throw EMobuError(media_messages::NotAvailableYet("wave format tag " + std::to_string(format.FormatTag)));
    }
    return std::make_unique<TRiffWaveSource>(std::move(bytes), format);
}

}  // namespace mobu
