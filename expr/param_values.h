// The four value classes of script variables: TParamInt, TParamFloat, TParamFlag and
// TParamStr. Each keeps its elements flat in one vector and converts between the four kinds
// of values when read or written as another kind.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "expr/custom_param.h"

namespace mobu {

// The element kinds and their conversions (defined in param_values.cpp).
template <typename T>
struct TElementKind;

template <typename T>
class TParamValues : public TCustomParam {
public:
    using Element = T;
    using Kind = TElementKind<T>;

    TParamValues() : Elements(1) {}

    std::vector<T> Elements;

    int32_t Count() const override { return static_cast<int32_t>(Elements.size()); }
    void SetCount(int32_t n) override { Elements.resize(n > 0 ? static_cast<size_t>(n) : 0); }
    uint8_t VarType() const override;

    bool GetFlag() const override;
    Real GetFloat() const override;
    int32_t GetInteger() const override;
    std::string GetString() const override;
    void SetFlag(bool value) override;
    void SetFloat(Real value) override;
    void SetInteger(int32_t value) override;
    void SetString(std::string_view value) override;

    int32_t GetIntegerAt(int32_t i) const override;
    void SetIntegerAt(int32_t i, int32_t value) override;
    Real GetFloatAt(int32_t i) const override;
    void SetFloatAt(int32_t i, Real value) override;
    bool GetFlagAt(int32_t i) const override;
    void SetFlagAt(int32_t i, bool value) override;
    std::string GetStringAt(int32_t i) const override;
    void SetStringAt(int32_t i, std::string_view value) override;

    void AssignAll(const TCustomParam& other) override;
    void FillInteger(int32_t value) override;
    void FillFloat(Real value) override;
    void FillFlag(bool value) override;
    void FillString(std::string_view value) override;
    void CopyFrom(const TCustomParam& other) override;
    void SaveToStream(ByteWriter& out) const override;
    void LoadFromStream(ByteReader& in) override;

private:
    const T& At(int32_t i) const
    {
        if (i < 0 || i >= Count()) FailBadSubscript(i);
        return Elements[static_cast<size_t>(i)];
    }
    T& At(int32_t i)
    {
        if (i < 0 || i >= Count()) FailBadSubscript(i);
        return Elements[static_cast<size_t>(i)];
    }
    // Element 0 for a scalar write, after dropping the dimensions.
    T& ScalarSlot()
    {
        DropDims();
        if (Elements.empty()) Elements.resize(1);
        return Elements[0];
    }
};

// Flags are kept as one byte each, 0 or 1, as stored.
struct TFlagByte {
    uint8_t value = 0;
};

extern template class TParamValues<int32_t>;
extern template class TParamValues<Real>;
extern template class TParamValues<TFlagByte>;
extern template class TParamValues<std::string>;

class TParamInt final : public TParamValues<int32_t> {
public:
    TParamInt() { plain_kind_ = PT_INT; }
};
class TParamFloat final : public TParamValues<Real> {
public:
    TParamFloat() { plain_kind_ = PT_FLOAT; }
};
class TParamFlag final : public TParamValues<TFlagByte> {
public:
    TParamFlag() { plain_kind_ = PT_BOOL; }
};
class TParamStr final : public TParamValues<std::string> {
public:
    TParamStr() { plain_kind_ = PT_STR; }
};

// Element 0 of a plain scalar of the class (what a scalar write of it stores into), or none
// when the value is of another class or has dimensions or no element.
template <typename TPlain>
typename TPlain::Element* PlainScalarSlot(TCustomParam& value, uint8_t kind)
{
    if (value.PlainKind() != kind || !value.Dims.empty()) return nullptr;
    auto& elements = static_cast<TPlain&>(value).Elements;
    return elements.empty() ? nullptr : &elements[0];
}

// A fresh value of the type code (low 7 bits used): one element 0, 0.0, FALSE or "", or an
// unbound alias for code 0. None for a code outside 0-4.
std::unique_ptr<TCustomParam> NewParamOfType(uint8_t type_code);

}  // namespace mobu
