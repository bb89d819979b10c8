// The abstract value of a script variable: a scalar or a multi-dimensional array of one kind
// of element (integer, real, flag or string), stored flat and row-major.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "expr/param_types.h"
#include "core/real80.h"

namespace mobu {

class ByteReader;
class ByteWriter;

class TCustomParam {
public:
    virtual ~TCustomParam() = default;

    // Dimension sizes; empty for a scalar.
    std::vector<int32_t> Dims;

    virtual int32_t Count() const { return 1; }
    // Keeps the first elements; new ones are zero, 0.0, FALSE or "".
    virtual void SetCount(int32_t) {}
    virtual uint8_t VarType() const { return PT_INT; }

    // Scalar reads read element 0 (the neutral value when there is none); scalar writes
    // first drop the dimensions, so an array becomes a scalar holding only that value.
    virtual bool GetFlag() const { return false; }
    virtual Real GetFloat() const { return 0; }
    virtual int32_t GetInteger() const { return 0; }
    virtual std::string GetString() const { return std::string(); }
    virtual void SetFlag(bool) {}
    virtual void SetFloat(Real) {}
    virtual void SetInteger(int32_t) {}
    virtual void SetString(std::string_view) {}

    // Indexed access; an index outside 0 ... Count - 1 fails with "[%d]:配列の添字が不正です".
    virtual int32_t GetIntegerAt(int32_t) const { return 0; }
    virtual void SetIntegerAt(int32_t, int32_t) {}
    virtual Real GetFloatAt(int32_t) const { return 0; }
    virtual void SetFloatAt(int32_t, Real) {}
    virtual bool GetFlagAt(int32_t) const { return false; }
    virtual void SetFlagAt(int32_t, bool) {}
    virtual std::string GetStringAt(int32_t) const { return std::string(); }
    virtual void SetStringAt(int32_t, std::string_view) {}

    virtual int32_t DimCount() const;
    virtual int32_t DimSize(int32_t k) const;
    // Copies Dims and, for the same class, every element.
    virtual void AssignAll(const TCustomParam& other);
    // Every size must be > 0 and the product within kMaxArrayElements, else
    // "配列の要素数[%s]が不正です"; the element count becomes the product.
    virtual void SetDims(const std::vector<int32_t>& sizes);

    virtual void FillInteger(int32_t) {}
    virtual void FillFloat(Real) {}
    virtual void FillFlag(bool) {}
    virtual void FillString(std::string_view) {}

    // Same value class required ("CopyMem:変数の型があいません"); takes the other's element
    // count, its size of every dimension, and its elements.
    virtual void CopyFrom(const TCustomParam& other);

    // The value record (dimension block, then the subclass's elements).
    virtual void SaveToStream(ByteWriter& out) const;
    virtual void LoadFromStream(ByteReader& in);

    virtual void DropDims();

    // First element that matches as text, or -1.
    virtual int32_t IndexOfText(std::string_view text, bool case_sensitive, bool partial) const;

    // The value that holds the elements: itself, or for forwarding values (aliases, some
    // system variables) the value they forward to; none when they forward to nothing.
    virtual const TCustomParam* Concrete() const { return this; }
    TCustomParam* Concrete() { return const_cast<TCustomParam*>(std::as_const(*this).Concrete()); }

    // The type of a plain value (TParamInt, TParamFloat, TParamFlag, TParamStr), whose
    // elements hot paths may reach without a virtual call; PT_NONE for every other class.
    uint8_t PlainKind() const { return plain_kind_; }

protected:
    uint8_t plain_kind_ = PT_NONE;

    // Reads a dimension block, checking every size and the product.
    static std::vector<int32_t> ReadDims(ByteReader& in);
};

// Checks sizes for SetDims and returns their product; fails with "配列の要素数[%s]が不正です".
int32_t CheckedElementCount(const std::vector<int32_t>& sizes);

// "[%d]:配列の添字が不正です" for the index.
[[noreturn]] void FailBadSubscript(int32_t index);

}  // namespace mobu
