#include "expr/param_var.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/param_collection.h"

namespace mobu {

void TParamVar::Bind(TParamCollectionItem* target, int32_t offset)
{
    // An alias never points at another alias: it takes that alias's target, so chains and
    // cycles of aliases cannot form.
    for (int hops = 0; target && hops < 64; ++hops) {
        auto alias = dynamic_cast<TParamVar*>(target->Value());
        if (!alias) break;
        target = alias == this ? nullptr : alias->Target();
    }
    if (target && dynamic_cast<TParamVar*>(target->Value())) target = nullptr;
    target_ = target;
    target_serial_ = target ? target->Serial() : 0;
    checked_generation_ = table_ ? table_->Generation() : 0;
    Offset = offset;
}

TParamCollectionItem* TParamVar::Target() const
{
    if (!target_) return nullptr;
    if (table_ && checked_generation_ != table_->Generation()) {
        // Items were deleted since the last check: make sure the target is still there.
        target_ = table_->FindBySerial(target_serial_);
        checked_generation_ = table_->Generation();
    }
    return target_;
}

TCustomParam* TParamVar::TargetValue() const
{
    TParamCollectionItem* target = Target();
    if (!target) return nullptr;
    TCustomParam* value = target->Value();
    return value == this ? nullptr : value;
}

int32_t TParamVar::Count() const
{
    TCustomParam* value = TargetValue();
    return value ? value->Count() : TCustomParam::Count();
}
void TParamVar::SetCount(int32_t n)
{
    if (TCustomParam* value = TargetValue()) value->SetCount(n);
}
uint8_t TParamVar::VarType() const
{
    TCustomParam* value = TargetValue();
    return value ? value->VarType() : PT_NONE;
}

bool TParamVar::GetFlag() const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetFlagAt(Offset) : false;
}
Real TParamVar::GetFloat() const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetFloatAt(Offset) : 0;
}
int32_t TParamVar::GetInteger() const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetIntegerAt(Offset) : 0;
}
std::string TParamVar::GetString() const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetStringAt(Offset) : std::string();
}
void TParamVar::SetFlag(bool v)
{
    if (TCustomParam* value = TargetValue()) value->SetFlagAt(Offset, v);
}
void TParamVar::SetFloat(Real v)
{
    if (TCustomParam* value = TargetValue()) value->SetFloatAt(Offset, v);
}
void TParamVar::SetInteger(int32_t v)
{
    if (TCustomParam* value = TargetValue()) value->SetIntegerAt(Offset, v);
}
void TParamVar::SetString(std::string_view v)
{
    if (TCustomParam* value = TargetValue()) value->SetStringAt(Offset, v);
}

int32_t TParamVar::GetIntegerAt(int32_t i) const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetIntegerAt(i) : 0;
}
void TParamVar::SetIntegerAt(int32_t i, int32_t v)
{
    if (TCustomParam* value = TargetValue()) value->SetIntegerAt(i, v);
}
Real TParamVar::GetFloatAt(int32_t i) const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetFloatAt(i) : 0;
}
void TParamVar::SetFloatAt(int32_t i, Real v)
{
    if (TCustomParam* value = TargetValue()) value->SetFloatAt(i, v);
}
bool TParamVar::GetFlagAt(int32_t i) const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetFlagAt(i) : false;
}
void TParamVar::SetFlagAt(int32_t i, bool v)
{
    if (TCustomParam* value = TargetValue()) value->SetFlagAt(i, v);
}
std::string TParamVar::GetStringAt(int32_t i) const
{
    TCustomParam* value = TargetValue();
    return value ? value->GetStringAt(i) : std::string();
}
void TParamVar::SetStringAt(int32_t i, std::string_view v)
{
    if (TCustomParam* value = TargetValue()) value->SetStringAt(i, v);
}

int32_t TParamVar::DimCount() const
{
    TCustomParam* value = TargetValue();
    return value ? value->DimCount() : TCustomParam::DimCount();
}
int32_t TParamVar::DimSize(int32_t k) const
{
    TCustomParam* value = TargetValue();
    return value ? value->DimSize(k) : TCustomParam::DimSize(k);
}
void TParamVar::SetDims(const std::vector<int32_t>& sizes)
{
    if (TCustomParam* value = TargetValue()) value->SetDims(sizes);
}
void TParamVar::FillInteger(int32_t v)
{
    if (TCustomParam* value = TargetValue()) value->FillInteger(v);
}
void TParamVar::FillFloat(Real v)
{
    if (TCustomParam* value = TargetValue()) value->FillFloat(v);
}
void TParamVar::FillFlag(bool v)
{
    if (TCustomParam* value = TargetValue()) value->FillFlag(v);
}
void TParamVar::FillString(std::string_view v)
{
    if (TCustomParam* value = TargetValue()) value->FillString(v);
}
void TParamVar::CopyFrom(const TCustomParam& other)
{
    if (TCustomParam* value = TargetValue()) value->CopyFrom(other);
}
void TParamVar::DropDims()
{
    if (TCustomParam* value = TargetValue()) value->DropDims();
}
int32_t TParamVar::IndexOfText(std::string_view text, bool case_sensitive, bool partial) const
{
    TCustomParam* value = TargetValue();
    return value ? value->IndexOfText(text, case_sensitive, partial) : -1;
}
const TCustomParam* TParamVar::Concrete() const
{
    TCustomParam* value = TargetValue();
    return value ? value->Concrete() : nullptr;
}

void TParamVar::SaveToStream(ByteWriter& out) const
{
    TCustomParam::SaveToStream(out);
    out.String(RefName);
    TParamCollectionItem* target = Target();
    out.String(target ? target->Name() : std::string());
    out.U8(Reserved);
    out.I32(Offset);
}

void TParamVar::LoadFromStream(ByteReader& in)
{
    std::vector<int32_t> dims = ReadDims(in);
    std::string ref_name = in.String();
    std::string target_name = in.String();
    const uint8_t reserved = in.U8();
    const int32_t offset = in.I32();
    Dims = std::move(dims);
    RefName = std::move(ref_name);
    Reserved = reserved;
    TParamCollectionItem* target = nullptr;
    if (!target_name.empty() && table_) target = table_->Find(target_name);
    Bind(target, offset);
}

}  // namespace mobu
