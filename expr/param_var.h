// TParamVar: an element alias. It points at a variable of the table (non-owning) and at one
// of its elements; scalar reads and writes act on that element, everything else goes to
// the target's value. The target is re-checked whenever the table has deleted items since
// the alias was bound, so an alias never reaches a deleted variable: it then has no target.
#pragma once

#include <string>

#include "expr/custom_param.h"

namespace mobu {

class TParamCollection;
class TParamCollectionItem;

class TParamVar final : public TCustomParam {
public:
    std::string RefName;
    uint8_t Reserved = 0;
    int32_t Offset = 0;

    // The table the alias resolves names in (set by the table when it makes the alias).
    void SetTable(TParamCollection* table) { table_ = table; }
    TParamCollection* Table() const { return table_; }

    // Points the alias at a variable (none to unbind) and an element offset.
    void Bind(TParamCollectionItem* target, int32_t offset);
    void Unbind() { Bind(nullptr, 0); }
    // The target, or none when unbound or when the target has been deleted.
    TParamCollectionItem* Target() const;
    TCustomParam* TargetValue() const;

    int32_t Count() const override;
    void SetCount(int32_t n) override;
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

    int32_t DimCount() const override;
    int32_t DimSize(int32_t k) const override;
    void SetDims(const std::vector<int32_t>& sizes) override;
    void FillInteger(int32_t value) override;
    void FillFloat(Real value) override;
    void FillFlag(bool value) override;
    void FillString(std::string_view value) override;
    void CopyFrom(const TCustomParam& other) override;
    void DropDims() override;
    int32_t IndexOfText(std::string_view text, bool case_sensitive, bool partial) const override;
    const TCustomParam* Concrete() const override;

    // Dimension block, RefName, target name, Reserved, Offset. Loading looks the target up
    // by name in the table.
    void SaveToStream(ByteWriter& out) const override;
    void LoadFromStream(ByteReader& in) override;

private:
    TParamCollection* table_ = nullptr;
    mutable TParamCollectionItem* target_ = nullptr;
    uint64_t target_serial_ = 0;
    mutable uint64_t checked_generation_ = 0;
};

}  // namespace mobu
