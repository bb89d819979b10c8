#include "expr/param_collection.h"

#include <algorithm>

#include "core/mobu_error.h"
#include "expr/jconvert.h"
#include "expr/param_messages.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/system_variables.h"

namespace mobu {

uint8_t VariableNameHash(std::string_view lowered_name)
{
    const size_t n = lowered_name.size();
    uint32_t h = static_cast<uint32_t>(n * 16);
    if (n >= 2) h += static_cast<uint8_t>(lowered_name[n - 2]) + static_cast<uint8_t>(lowered_name[0]);
    return static_cast<uint8_t>(h & 0xFF);
}

bool IsValidVariableName(std::string_view name)
{
    return !name.empty() && name.find(' ') == std::string_view::npos && !(name[0] >= '0' && name[0] <= '9');
}

// ---- items ----

TParamCollectionItem::~TParamCollectionItem() = default;

void TParamCollectionItem::SetName(std::string_view name)
{
    if (linked_ && name == name_) return;
    if (!IsValidVariableName(name)) throw EMobuError(FormatMessage(MsgBadVariableName(), std::string(name)));
    if (linked_) owner_->Unlink(this);
    name_.assign(name);
    lowered_ = JLowerCase(name_);
    owner_->Link(this);
}

TVarScope TParamCollectionItem::Scope() const
{
    if (IsStatus) return TVarScope::Status;
    if (IsLocal) return TVarScope::Local;
    if (OwnerDepth >= 0) return TVarScope::AutoDestroy;
    return TVarScope::Global;
}

// ---- the table ----

TParamCollection::TParamCollection()
{
    basic_system_variables_ = std::make_unique<TBasicSystemVariables>(*this);
    system_variables_ = basic_system_variables_.get();
    const auto& table = SystemVariableTable();
    for (int index = 0; index < kSystemVariableCount; ++index) {
        auto item = std::unique_ptr<TParamCollectionItem>(
            new TParamCollectionItem(this, std::make_unique<TParamSystem>(*this, index), next_serial_++));
        item->is_system_ = true;
        item->cached_index_ = index;
        TParamCollectionItem* raw = item.get();
        items_.push_back(std::move(item));
        by_serial_[raw->serial_] = raw;
        raw->SetName(table[static_cast<size_t>(index)].name);
    }
}

TParamCollection::~TParamCollection() = default;

void TParamCollection::SetSystemVariables(TSystemVariables* source)
{
    system_variables_ = source ? source : basic_system_variables_.get();
}

void TParamCollection::Link(TParamCollectionItem* item)
{
    item->hash_index_ = VariableNameHash(item->lowered_);
    TParamCollectionItem*& head = buckets_[item->hash_index_];
    item->prev_ = nullptr;
    item->next_ = head;
    if (head) head->prev_ = item;
    head = item;
    item->linked_ = true;
    by_name_[item->lowered_].push_back(item);
}

void TParamCollection::Unlink(TParamCollectionItem* item)
{
    if (!item->linked_) return;
    // The name leaves the item (a rename or a deletion): lookups made before may differ now.
    ++generation_;
    if (item->prev_) {
        item->prev_->next_ = item->next_;
    } else {
        buckets_[item->hash_index_] = item->next_;
    }
    if (item->next_) item->next_->prev_ = item->prev_;
    item->prev_ = item->next_ = nullptr;
    item->linked_ = false;
    auto group = by_name_.find(item->lowered_);
    if (group != by_name_.end()) {
        auto& members = group->second;
        members.erase(std::find(members.begin(), members.end(), item));
        if (members.empty()) by_name_.erase(group);
    }
}

TParamCollectionItem* TParamCollection::Add(uint8_t type_code)
{
    std::unique_ptr<TCustomParam> value = NewParamOfType(type_code);
    if (!value) throw EMobuError(MsgInternalError());
    if (auto alias = dynamic_cast<TParamVar*>(value.get())) alias->SetTable(this);
    auto item = std::unique_ptr<TParamCollectionItem>(new TParamCollectionItem(this, std::move(value), next_serial_++));
    item->cached_index_ = static_cast<int32_t>(items_.size());
    TParamCollectionItem* raw = item.get();
    items_.push_back(std::move(item));
    by_serial_[raw->serial_] = raw;
    return raw;
}

TParamCollectionItem* TParamCollection::AddVariable(std::string_view name, uint8_t type_code, TVarScope scope)
{
    TParamCollectionItem* item = Add(type_code);
    try {
        item->SetName(name);
    } catch (...) {
        Delete(item);
        throw;
    }
    switch (scope) {
    case TVarScope::Global: break;
    case TVarScope::AutoDestroy: item->OwnerDepth = CurrentDepth; break;
    case TVarScope::Local:
        item->OwnerDepth = CurrentDepth;
        item->IsLocal = true;
        break;
    case TVarScope::Status: item->IsStatus = true; break;
    }
    return item;
}

namespace {

// Calls `use` with the lower-cased name, without a heap allocation for ordinary names.
template <typename F>
auto WithLoweredName(std::string_view name, F use)
{
    char buffer[128];
    if (name.size() > sizeof buffer) return use(std::string_view(JLowerCase(name)));
    name.copy(buffer, name.size());
    for (size_t index = 0; index < name.size(); index += CharByteLength(name, index)) {
        if (buffer[index] >= 'A' && buffer[index] <= 'Z') buffer[index] = static_cast<char>(buffer[index] + ('a' - 'A'));
    }
    return use(std::string_view(buffer, name.size()));
}

}  // namespace

// Both lookups read the items of one name in the order of the bucket chain (newest linked
// first); the chain order and the per-name groups are kept in step by Link and Unlink.
TParamCollectionItem* TParamCollection::Find(std::string_view name) const
{
    auto group = WithLoweredName(name, [this](std::string_view lowered) { return by_name_.find(lowered); });
    if (group == by_name_.end()) return nullptr;
    const auto& members = group->second;
    TParamCollectionItem* oldest_global = nullptr;
    for (size_t i = members.size(); i-- > 0;) {
        TParamCollectionItem* item = members[i];
        if (item->IsLocal) {
            if (item->OwnerDepth == CurrentDepth) return item;
        } else {
            oldest_global = item;
        }
    }
    return oldest_global;
}

TParamCollectionItem* TParamCollection::FindScoped(std::string_view name, bool local) const
{
    auto group = WithLoweredName(name, [this](std::string_view lowered) { return by_name_.find(lowered); });
    if (group == by_name_.end()) return nullptr;
    const auto& members = group->second;
    TParamCollectionItem* oldest_global = nullptr;
    for (size_t i = members.size(); i-- > 0;) {
        TParamCollectionItem* item = members[i];
        if (local) {
            if (item->IsLocal && item->OwnerDepth == CurrentDepth) return item;
        } else if (!item->IsLocal) {
            oldest_global = item;
        }
    }
    return oldest_global;
}

// Walks the bucket chain itself: the lookup as the chain defines it, kept to check that the
// per-name groups agree with it.
TParamCollectionItem* TParamCollection::FindInChain(std::string_view name) const
{
    const std::string lowered = JLowerCase(name);
    TParamCollectionItem* remembered = nullptr;
    for (TParamCollectionItem* item = buckets_[VariableNameHash(lowered)]; item; item = item->next_) {
        if (item->lowered_ != lowered) continue;
        if (item->IsLocal) {
            if (item->OwnerDepth == CurrentDepth) return item;
        } else {
            remembered = item;
        }
    }
    return remembered;
}

TParamCollectionItem* TParamCollection::FindBySerial(uint64_t serial) const
{
    auto found = by_serial_.find(serial);
    return found == by_serial_.end() ? nullptr : found->second;
}

TParamCollectionItem* TParamCollection::Declare(std::string_view name, uint8_t type_code, TVarScope scope,
                                                const std::function<const TCustomParam*()>& initial_value)
{
    if (name.empty()) throw EMobuError(MsgNoVariableName());
    TParamCollectionItem* item = FindScoped(name, scope == TVarScope::Local);
    if (!item) {
        item = AddVariable(name, type_code, scope);
    } else if (item->IsStatus) {
        return item;  // a status variable keeps its value
    }
    if (!initial_value) return item;
    const TCustomParam* value = initial_value();
    if (!value) return item;
    TCustomParam* target = item->Value();
    switch (type_code & 0x7F) {
    case PT_INT: target->SetInteger(value->GetInteger()); break;
    case PT_FLOAT: target->SetFloat(value->GetFloat()); break;
    case PT_BOOL: target->SetFlag(value->GetFlag()); break;
    case PT_STR: target->SetString(value->GetString()); break;
    default: break;
    }
    return item;
}

void TParamCollection::DeleteAt(size_t index)
{
    TParamCollectionItem* item = items_[index].get();
    Unlink(item);
    by_serial_.erase(item->serial_);
    std::unique_ptr<TParamCollectionItem> doomed = std::move(items_[index]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    for (size_t i = index; i < items_.size(); ++i) items_[i]->cached_index_ = static_cast<int32_t>(i);
    ++generation_;
}

void TParamCollection::Delete(TParamCollectionItem* item)
{
    if (!item || item->owner_ != this || item->is_system_) return;
    const size_t index = static_cast<size_t>(item->cached_index_);
    if (index < items_.size() && items_[index].get() == item) DeleteAt(index);
}

void TParamCollection::DeleteOwned(int32_t depth)
{
    for (size_t i = items_.size(); i-- > 0;) {
        if (items_[i]->OwnerDepth == depth && !items_[i]->is_system_) DeleteAt(i);
    }
}

void TParamCollection::RemoveOwnerDepth(int32_t depth)
{
    DeleteOwned(depth);
    bool moved = false;
    for (const auto& item : items_) {
        if (item->OwnerDepth > depth) {
            --item->OwnerDepth;
            moved = moved || item->IsLocal;
        }
    }
    // A local moved to another depth can change what a name finds at a depth.
    if (moved) ++generation_;
}

void TParamCollection::DeleteGameVariables()
{
    for (size_t i = items_.size(); i-- > 0;) {
        if (!items_[i]->is_system_ && !items_[i]->IsStatus) DeleteAt(i);
    }
}

void TParamCollection::ResetVars()
{
    DeleteGameVariables();
    Items(SV_TEXTDELAY)->Value()->SetInteger(50);
    Items(SV_CURSOR)->Value()->SetString("");
}

TParamCollectionItem* TParamCollection::TempTarget() const
{
    if (TempTargetName.empty()) return nullptr;
    TParamCollectionItem* item = Find(TempTargetName);
    return item && !item->is_system_ ? item : nullptr;
}

std::unique_ptr<TCustomParam> TParamCollection::MakeCopy(std::string_view name) const
{
    TParamCollectionItem* item = Find(name);
    if (!item) return nullptr;
    const TCustomParam& source = *item->Value();
    const uint8_t type = source.VarType();
    if (type < PT_INT || type > PT_STR) throw EMobuError(FormatMessage(MsgBadVariable(), std::string(name)));
    std::unique_ptr<TCustomParam> copy = NewParamOfType(type);
    const TCustomParam* concrete = source.Concrete();
    if (concrete && concrete->VarType() == type && dynamic_cast<const TParamSystem*>(concrete) == nullptr &&
        dynamic_cast<const TParamVar*>(&source) == nullptr) {
        copy->AssignAll(*concrete);
        return copy;
    }
    // A system variable or an alias: copy through the element operations.
    if (source.Count() > 1) {
        std::vector<int32_t> sizes;
        for (int32_t k = 0; k < source.DimCount(); ++k) sizes.push_back(source.DimSize(k));
        copy->SetDims(sizes);
        const int32_t count = std::min(copy->Count(), source.Count());
        for (int32_t i = 0; i < count; ++i) {
            switch (type) {
            case PT_INT: copy->SetIntegerAt(i, source.GetIntegerAt(i)); break;
            case PT_FLOAT: copy->SetFloatAt(i, source.GetFloatAt(i)); break;
            case PT_BOOL: copy->SetFlagAt(i, source.GetFlagAt(i)); break;
            default: copy->SetStringAt(i, source.GetStringAt(i)); break;
            }
        }
    } else {
        switch (type) {
        case PT_INT: copy->SetInteger(source.GetInteger()); break;
        case PT_FLOAT: copy->SetFloat(source.GetFloat()); break;
        case PT_BOOL: copy->SetFlag(source.GetFlag()); break;
        default: copy->SetString(source.GetString()); break;
        }
    }
    return copy;
}

void TParamCollection::CopyConvertValue(TCustomParam& destination, const TCustomParam& source)
{
    // A scalar reports one dimension of size one, like an array of one element: read that
    // way it would turn the destination into an array. A scalar source leaves a scalar.
    const TCustomParam* concrete = source.Concrete();
    if (concrete && concrete->Dims.empty()) {
        destination.DropDims();
    } else {
        std::vector<int32_t> sizes;
        for (int32_t k = 0; k < source.DimCount(); ++k) sizes.push_back(source.DimSize(k));
        destination.SetDims(sizes);
    }
    const int32_t count = source.Count();
    const uint8_t type = destination.VarType();
    for (int32_t i = 0; i < count; ++i) {
        switch (type) {
        case PT_INT: destination.SetIntegerAt(i, source.GetIntegerAt(i)); break;
        case PT_FLOAT: destination.SetFloatAt(i, source.GetFloatAt(i)); break;
        case PT_BOOL: destination.SetFlagAt(i, source.GetFlagAt(i)); break;
        case PT_STR: destination.SetStringAt(i, source.GetStringAt(i)); break;
        default: break;
        }
    }
}

void TParamCollection::CopyConvert(TParamCollectionItem* item, const TCustomParam& source)
{
    if (item && item->Value()) CopyConvertValue(*item->Value(), source);
}

void TParamCollection::BindElement(TParamVar& alias, std::string_view array_name, const std::vector<int32_t>& subscripts)
{
    auto written_form = [&] {
        std::string text(array_name);
        text += '[';
        for (size_t k = 0; k < subscripts.size(); ++k) {
            if (k) text += ',';
            text += std::to_string(subscripts[k]);
        }
        text += "]\r\n";
        return text;
    };
    TParamCollectionItem* target = Find(array_name);
    if (!target) throw EMobuError(FormatMessage(MsgNoSuchVariable(), std::string(array_name)));
    alias.SetTable(this);
    alias.Bind(target, 0);
    TCustomParam* value = alias.TargetValue();
    if (!value) throw EMobuError(FormatMessage(MsgNoSuchVariable(), std::string(array_name)));
    if (static_cast<int64_t>(subscripts.size()) != value->DimCount()) {
        throw EMobuError(written_form() + MsgBadSubscriptCount());
    }
    // From the last subscript backwards; kept within a range no real array reaches, so the
    // sum cannot overflow whatever the subscripts are.
    constexpr int64_t kLimit = int64_t{1} << 40;
    int64_t offset = 0;
    int64_t stride = 1;
    for (size_t k = subscripts.size(); k-- > 0;) {
        const __int128 term = static_cast<__int128>(subscripts[k]) * stride;
        offset = static_cast<int64_t>(std::clamp<__int128>(offset + term, -kLimit, kLimit));
        const int64_t size = value->DimSize(static_cast<int32_t>(k));
        stride = size > 0 && stride > kLimit / size ? kLimit : stride * std::max<int64_t>(size, 0);
    }
    if (offset >= value->Count()) throw EMobuError(written_form() + MsgOffsetBeyondCount());
    alias.Offset = static_cast<int32_t>(std::max<int64_t>(offset, INT32_MIN));
}

}  // namespace mobu
