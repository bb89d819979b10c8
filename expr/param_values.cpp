#include "expr/param_values.h"

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/param_conversion.h"
#include "expr/param_messages.h"
#include "expr/param_var.h"

namespace mobu {

template <>
struct TElementKind<int32_t> {
    static constexpr uint8_t kType = PT_INT;
    static constexpr size_t kMinStoredSize = 4;
    static int32_t ToInteger(int32_t v) { return v; }
    static Real ToFloat(int32_t v) { return v; }
    static bool ToFlag(int32_t v) { return v != 0; }
    static std::string ToString(int32_t v) { return IntegerToText(v); }
    static int32_t FromInteger(int32_t v) { return v; }
    static int32_t FromFloat(Real v) { return RealToInteger(v); }
    static int32_t FromFlag(bool v) { return v ? 1 : 0; }
    static int32_t FromString(std::string_view v) { return TextToInteger(v); }
    static void Write(ByteWriter& out, int32_t v) { out.I32(v); }
    static int32_t Read(ByteReader& in) { return in.I32(); }
};

template <>
struct TElementKind<Real> {
    static constexpr uint8_t kType = PT_FLOAT;
    static constexpr size_t kMinStoredSize = kRealStoredSize;
    static int32_t ToInteger(Real v) { return RealToInteger(v); }
    static Real ToFloat(Real v) { return v; }
    static bool ToFlag(Real v) { return v != 0; }
    static std::string ToString(Real v) { return RealToText(v); }
    static Real FromInteger(int32_t v) { return v; }
    static Real FromFloat(Real v) { return v; }
    static Real FromFlag(bool v) { return v ? 1 : 0; }
    static Real FromString(std::string_view v) { return TextToReal(v); }
    static void Write(ByteWriter& out, Real v) { out.Real80(v); }
    static Real Read(ByteReader& in) { return in.Real80(); }
};

template <>
struct TElementKind<TFlagByte> {
    static constexpr uint8_t kType = PT_BOOL;
    static constexpr size_t kMinStoredSize = 1;
    static int32_t ToInteger(TFlagByte v) { return v.value ? 1 : 0; }
    static Real ToFloat(TFlagByte v) { return v.value ? 1 : 0; }
    static bool ToFlag(TFlagByte v) { return v.value != 0; }
    static std::string ToString(TFlagByte v) { return FlagToText(v.value != 0); }
    static TFlagByte FromInteger(int32_t v) { return TFlagByte{v != 0}; }
    static TFlagByte FromFloat(Real v) { return TFlagByte{v != 0}; }
    static TFlagByte FromFlag(bool v) { return TFlagByte{v}; }
    static TFlagByte FromString(std::string_view v) { return TFlagByte{TextToFlag(v)}; }
    static void Write(ByteWriter& out, TFlagByte v) { out.U8(v.value); }
    // Any non-zero stored byte is TRUE; kept as 1 so the flag always writes back as 0 or 1.
    static TFlagByte Read(ByteReader& in) { return TFlagByte{in.U8() != 0}; }
};

template <>
struct TElementKind<std::string> {
    static constexpr uint8_t kType = PT_STR;
    static constexpr size_t kMinStoredSize = 4;
    static int32_t ToInteger(const std::string& v) { return TextToInteger(v); }
    static Real ToFloat(const std::string& v) { return TextToReal(v); }
    static bool ToFlag(const std::string& v) { return TextToFlag(v); }
    static std::string ToString(const std::string& v) { return v; }
    static std::string FromInteger(int32_t v) { return IntegerToText(v); }
    static std::string FromFloat(Real v) { return RealToText(v); }
    static std::string FromFlag(bool v) { return FlagToText(v); }
    static std::string FromString(std::string_view v) { return std::string(v); }
    static void Write(ByteWriter& out, const std::string& v) { out.String(v); }
    static std::string Read(ByteReader& in) { return in.String(); }
};

template <typename T>
uint8_t TParamValues<T>::VarType() const
{
    return Kind::kType;
}

template <typename T>
bool TParamValues<T>::GetFlag() const
{
    return Elements.empty() ? false : Kind::ToFlag(Elements[0]);
}
template <typename T>
Real TParamValues<T>::GetFloat() const
{
    return Elements.empty() ? 0 : Kind::ToFloat(Elements[0]);
}
template <typename T>
int32_t TParamValues<T>::GetInteger() const
{
    return Elements.empty() ? 0 : Kind::ToInteger(Elements[0]);
}
template <typename T>
std::string TParamValues<T>::GetString() const
{
    return Elements.empty() ? std::string() : Kind::ToString(Elements[0]);
}

// The conversion happens before the dimensions are dropped, so a failing conversion (a real
// outside the integer range) leaves the value as it was.
template <typename T>
void TParamValues<T>::SetFlag(bool value)
{
    T converted = Kind::FromFlag(value);
    ScalarSlot() = std::move(converted);
}
template <typename T>
void TParamValues<T>::SetFloat(Real value)
{
    T converted = Kind::FromFloat(value);
    ScalarSlot() = std::move(converted);
}
template <typename T>
void TParamValues<T>::SetInteger(int32_t value)
{
    T converted = Kind::FromInteger(value);
    ScalarSlot() = std::move(converted);
}
template <typename T>
void TParamValues<T>::SetString(std::string_view value)
{
    T converted = Kind::FromString(value);
    ScalarSlot() = std::move(converted);
}

template <typename T>
int32_t TParamValues<T>::GetIntegerAt(int32_t i) const
{
    return Kind::ToInteger(At(i));
}
template <typename T>
void TParamValues<T>::SetIntegerAt(int32_t i, int32_t value)
{
    At(i) = Kind::FromInteger(value);
}
template <typename T>
Real TParamValues<T>::GetFloatAt(int32_t i) const
{
    return Kind::ToFloat(At(i));
}
template <typename T>
void TParamValues<T>::SetFloatAt(int32_t i, Real value)
{
    T& slot = At(i);
    slot = Kind::FromFloat(value);
}
template <typename T>
bool TParamValues<T>::GetFlagAt(int32_t i) const
{
    return Kind::ToFlag(At(i));
}
template <typename T>
void TParamValues<T>::SetFlagAt(int32_t i, bool value)
{
    At(i) = Kind::FromFlag(value);
}
template <typename T>
std::string TParamValues<T>::GetStringAt(int32_t i) const
{
    return Kind::ToString(At(i));
}
template <typename T>
void TParamValues<T>::SetStringAt(int32_t i, std::string_view value)
{
    T& slot = At(i);
    slot = Kind::FromString(value);
}

template <typename T>
void TParamValues<T>::AssignAll(const TCustomParam& other)
{
    Dims = other.Dims;
    if (auto same = dynamic_cast<const TParamValues<T>*>(&other)) {
        if (same != this) Elements = same->Elements;
    }
}

template <typename T>
void TParamValues<T>::FillInteger(int32_t value)
{
    if constexpr (std::is_same_v<T, int32_t>) std::fill(Elements.begin(), Elements.end(), value);
}
template <typename T>
void TParamValues<T>::FillFloat(Real value)
{
    if constexpr (std::is_same_v<T, Real>) std::fill(Elements.begin(), Elements.end(), value);
}
template <typename T>
void TParamValues<T>::FillFlag(bool value)
{
    if constexpr (std::is_same_v<T, TFlagByte>) std::fill(Elements.begin(), Elements.end(), TFlagByte{value});
}
template <typename T>
void TParamValues<T>::FillString(std::string_view value)
{
    if constexpr (std::is_same_v<T, std::string>) std::fill(Elements.begin(), Elements.end(), std::string(value));
}

template <typename T>
void TParamValues<T>::CopyFrom(const TCustomParam& other)
{
    auto source = dynamic_cast<const TParamValues<T>*>(other.Concrete());
    if (!source) throw EMobuError(MsgCopyTypeMismatch());
    if (source == this) {
        if (Dims.empty()) Dims = {1};
        return;
    }
    std::vector<int32_t> dims;
    for (int32_t k = 0; k < source->DimCount(); ++k) dims.push_back(source->DimSize(k));
    Elements = source->Elements;
    Dims = std::move(dims);
}

template <typename T>
void TParamValues<T>::SaveToStream(ByteWriter& out) const
{
    TCustomParam::SaveToStream(out);
    out.I32(static_cast<int32_t>(Elements.size()));
    for (const T& element : Elements) Kind::Write(out, element);
}

template <typename T>
void TParamValues<T>::LoadFromStream(ByteReader& in)
{
    std::vector<int32_t> dims = ReadDims(in);
    const size_t count = in.Count(Kind::kMinStoredSize);
    if (static_cast<int64_t>(count) > kMaxArrayElements) {
        throw EMobuError(FormatMessage(MsgBadElementCount(), std::to_string(count)));
    }
    std::vector<T> elements;
    elements.reserve(count);
    for (size_t i = 0; i < count; ++i) elements.push_back(Kind::Read(in));
    Dims = std::move(dims);
    Elements = std::move(elements);
}

template class TParamValues<int32_t>;
template class TParamValues<Real>;
template class TParamValues<TFlagByte>;
template class TParamValues<std::string>;

std::unique_ptr<TCustomParam> NewParamOfType(uint8_t type_code)
{
    switch (type_code & 0x7F) {
    case PT_NONE: return std::make_unique<TParamVar>();
    case PT_INT: return std::make_unique<TParamInt>();
    case PT_FLOAT: return std::make_unique<TParamFloat>();
    case PT_BOOL: return std::make_unique<TParamFlag>();
    case PT_STR: return std::make_unique<TParamStr>();
    default: return nullptr;
    }
}

}  // namespace mobu
