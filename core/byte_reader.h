// Bounds-checked little-endian reading of stored formats from a byte buffer. Every read
// that would pass the end throws EMobuError with the message the format's reader chose, so
// a damaged or hostile file is refused instead of read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/mobu_error.h"
#include "core/real80.h"

namespace mobu {

class ByteReader {
public:
    ByteReader(const void* data, size_t size, std::string failure_message = DefaultFailureMessage())
        : data_(static_cast<const uint8_t*>(data)), size_(size), failure_(std::move(failure_message))
    {
    }
    explicit ByteReader(std::string_view bytes, std::string failure_message = DefaultFailureMessage())
        : ByteReader(bytes.data(), bytes.size(), std::move(failure_message))
    {
    }
    // The reader keeps a pointer into the bytes: a temporary string would be gone before
    // the first read, so that is refused at compile time.
    explicit ByteReader(std::string&& bytes, std::string failure_message = DefaultFailureMessage()) = delete;

    size_t Size() const { return size_; }
    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    bool AtEnd() const { return position_ == size_; }
    const uint8_t* Data() const { return data_; }

    void Seek(size_t position)
    {
        if (position > size_) Fail();
        position_ = position;
    }
    void Skip(size_t count)
    {
        Need(count);
        position_ += count;
    }

    uint8_t U8()
    {
        Need(1);
        return data_[position_++];
    }
    bool Flag() { return U8() != 0; }
    uint16_t U16() { return Little<uint16_t>(); }
    int16_t I16() { return static_cast<int16_t>(Little<uint16_t>()); }
    uint32_t U32() { return Little<uint32_t>(); }
    int32_t I32() { return static_cast<int32_t>(Little<uint32_t>()); }
    uint64_t U64() { return Little<uint64_t>(); }
    int64_t I64() { return static_cast<int64_t>(Little<uint64_t>()); }
    double F64()
    {
        uint64_t bits = U64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    Real Real80()
    {
        Need(kRealStoredSize);
        Real value = RealFromBytes(data_ + position_);
        position_ += kRealStoredSize;
        return value;
    }

    // Raw bytes.
    std::string Bytes(size_t count)
    {
        Need(count);
        std::string out(reinterpret_cast<const char*>(data_ + position_), count);
        position_ += count;
        return out;
    }
    void Read(void* target, size_t count)
    {
        Need(count);
        std::memcpy(target, data_ + position_, count);
        position_ += count;
    }

    // A stored string: int32 byte count, then the bytes. A negative count or one larger
    // than what is left refuses the data.
    std::string String()
    {
        int32_t length = I32();
        if (length < 0) Fail();
        return Bytes(static_cast<size_t>(length));
    }

    // A stored count of items each at least `min_item_size` bytes long: checked against
    // what is left, so a hostile count cannot make the reader reserve or loop for nothing.
    size_t Count(size_t min_item_size = 1)
    {
        int32_t count = I32();
        if (count < 0) Fail();
        if (min_item_size > 0 && static_cast<size_t>(count) > Remaining() / min_item_size) Fail();
        return static_cast<size_t>(count);
    }

    // A string array: int32 count followed by the strings.
    std::vector<std::string> StringArray()
    {
        size_t count = Count(4);
        std::vector<std::string> out;
        out.reserve(count);
        for (size_t i = 0; i < count; ++i) out.push_back(String());
        return out;
    }

    [[noreturn]] void Fail() const { throw EMobuError(failure_); }
    const std::string& FailureMessage() const { return failure_; }

    // "データが壊れています" in code page 932: used where a format has no message of its own.
    static std::string DefaultFailureMessage()
    {
        return "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
    }

private:
    void Need(size_t count) const
    {
        if (count > size_ - position_) Fail();
    }
    template <typename T>
    T Little()
    {
        Need(sizeof(T));
        T value = 0;
        for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(data_[position_ + i]) << (8 * i);
        position_ += sizeof(T);
        return value;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    std::string failure_;
};

}  // namespace mobu
