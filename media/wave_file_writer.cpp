#include "media/wave_file_writer.h"

#include <cmath>
#include <vector>


namespace mobu {
namespace {

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

TWaveFileWriter::~TWaveFileWriter() { Close(); }

uint32_t TWaveFileWriter::ChannelMask(int channels)
{
    // FL FR FC LFE BL BR SL SR as SDL orders them for each count.
    switch (channels) {
    case 1: return 0x4;      // FC
    case 2: return 0x3;      // FL FR
    case 3: return 0x0B;     // FL FR LFE
    case 4: return 0x33;     // FL FR BL BR
    case 5: return 0x3B;     // FL FR LFE BL BR
    case 6: return 0x3F;     // FL FR FC LFE BL BR
    case 7: return 0x70F;    // FL FR FC LFE BC SL SR
    default: return 0x63F;   // FL FR FC LFE BL BR SL SR
    }
}

std::string TWaveFileWriter::Header(int rate, int channels, uint64_t frames)
{
    const bool extensible = channels > 2;
    const uint32_t block = static_cast<uint32_t>(channels) * 2;
    uint64_t data = frames * block;
    if (data > 0xFFFFFFFFull - 80) data = (0xFFFFFFFFull - 80) / block * block;  // the largest a RIFF size holds
    const uint32_t fmt_size = extensible ? 40 : 16;
    std::string out = "RIFF";
    Put32(out, static_cast<uint32_t>(4 + 8 + fmt_size + 8 + data));
    out += "WAVEfmt ";
    Put32(out, fmt_size);
    Put16(out, extensible ? 0xFFFE : 1);
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate) * block);
    Put16(out, block);
    Put16(out, 16);
    if (extensible) {
        Put16(out, 22);
        Put16(out, 16);
        Put32(out, ChannelMask(channels));
        // KSDATAFORMAT_SUBTYPE_PCM
        static const unsigned char kPcmGuid[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                   0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        out.append(reinterpret_cast<const char*>(kPcmGuid), 16);
    }
    out += "data";
    Put32(out, static_cast<uint32_t>(data));
    return out;
}

bool TWaveFileWriter::Open(const std::string& path, int rate, int channels)
{
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return false;
    rate_ = rate;
    channels_ = channels;
    frames_ = 0;
    return WriteHeader();
}

bool TWaveFileWriter::WriteHeader()
{
    std::string header = Header(rate_, channels_, frames_);
    long end = std::ftell(file_);
    if (std::fseek(file_, 0, SEEK_SET) != 0) return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), file_) == header.size();
    if (end > static_cast<long>(header.size())) std::fseek(file_, end, SEEK_SET);
    else std::fseek(file_, 0, SEEK_END);
    return ok && std::fflush(file_) == 0;
}

bool TWaveFileWriter::Append(const float* in, size_t frames)
{
    if (file_ == nullptr) return false;
    size_t samples = frames * static_cast<size_t>(channels_);
    std::vector<unsigned char> bytes(samples * 2);
    for (size_t i = 0; i < samples; ++i) {
        float scaled = std::nearbyint(in[i] * 32768.0f);
        int v = scaled >= 32767.0f ? 32767 : scaled <= -32768.0f ? -32768 : std::isnan(scaled) ? 0 : static_cast<int>(scaled);
        bytes[i * 2] = static_cast<unsigned char>(v & 0xFF);
        bytes[i * 2 + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return false;
    frames_ += frames;
    return WriteHeader();
}

bool TWaveFileWriter::Close()
{
    if (file_ == nullptr) return true;
    bool ok = WriteHeader();
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

}  // namespace mobu
