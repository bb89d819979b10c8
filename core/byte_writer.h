// Little-endian writing of stored formats into a growing byte string.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/real80.h"

namespace mobu {

class ByteWriter {
public:
    const std::string& Bytes() const { return out_; }
    std::string Take() { return std::move(out_); }
    size_t Size() const { return out_.size(); }

    void U8(uint8_t value) { out_.push_back(static_cast<char>(value)); }
    void Flag(bool value) { U8(value ? 1 : 0); }
    void U16(uint16_t value) { Little(value); }
    void U32(uint32_t value) { Little(value); }
    void I32(int32_t value) { Little(static_cast<uint32_t>(value)); }
    void U64(uint64_t value) { Little(value); }
    void I64(int64_t value) { Little(static_cast<uint64_t>(value)); }
    void F64(double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        U64(bits);
    }
    void Real80(Real value)
    {
        uint8_t bytes[kRealStoredSize];
        RealToBytes(value, bytes);
        Raw(bytes, sizeof bytes);
    }
    void Raw(const void* data, size_t size) { out_.append(static_cast<const char*>(data), size); }
    void Raw(std::string_view bytes) { out_.append(bytes); }

    // int32 byte count, then the bytes.
    void String(std::string_view text)
    {
        I32(static_cast<int32_t>(text.size()));
        Raw(text);
    }
    void StringArray(const std::vector<std::string>& items)
    {
        I32(static_cast<int32_t>(items.size()));
        for (const auto& item : items) String(item);
    }

    // Overwrites an int32 written earlier (for tables whose values are known only later).
    void PatchI32(size_t offset, int32_t value)
    {
        for (int i = 0; i < 4; ++i) out_[offset + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    }

private:
    template <typename T>
    void Little(T value)
    {
        for (size_t i = 0; i < sizeof(T); ++i) out_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }

    std::string out_;
};

}  // namespace mobu
