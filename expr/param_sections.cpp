// The stored sections of the variable table: game variables, status variables and the
// PushVar blocks.
#include <vector>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/param_collection.h"
#include "expr/param_messages.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/system_variables.h"

namespace mobu {

namespace {

// Smallest stored entry: type, empty-name count, dimension count, element count, flags, owner.
constexpr size_t kMinEntrySize = 1 + 4 + 4 + 4 + 1 + 1 + 4 + 1;
// Smallest push record: type, name count, dimension count, element count.
constexpr size_t kMinPushRecordSize = 4 + 4 + 4 + 4;

// Variables a section or a push block may hold: never system variables, temporaries of the
// evaluator or aliases.
bool IsStorable(const TParamCollectionItem& item)
{
    return !item.IsSystem() && !item.IsTemporary() && item.VarType() != PT_NONE;
}

uint8_t CheckedTypeCode(int32_t stored)
{
    const uint8_t code = static_cast<uint8_t>(stored & 0x7F);
    if (code > PT_STR) throw EMobuError(MsgBrokenVariableData());
    return code;
}

// Reads one value record of the type into a throwaway value (checking it) and returns the
// bytes it spans.
void SkipValueRecord(ByteReader& in, uint8_t code)
{
    std::unique_ptr<TCustomParam> scratch = NewParamOfType(code);
    scratch->LoadFromStream(in);
}

// Reads one push block: its count and records, keeping exactly those bytes. A record
// PushVars could not have written (no value type, a name no variable can have) refuses the
// section, so that a later PopVars never meets it.
std::string ReadPushBlock(ByteReader& in)
{
    const size_t start = in.Position();
    const size_t count = in.Count(kMinPushRecordSize);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t code = CheckedTypeCode(in.I32());
        if (code == PT_NONE || !IsValidVariableName(in.String())) throw EMobuError(MsgBrokenVariableData());
        SkipValueRecord(in, code);
    }
    return std::string(reinterpret_cast<const char*>(in.Data() + start), in.Position() - start);
}

}  // namespace

void TParamCollection::WriteEntry(ByteWriter& out, const TParamCollectionItem& item) const
{
    out.U8(item.VarType());
    out.String(item.Name());
    item.Value()->SaveToStream(out);
    out.Flag(item.IsStatus);
    out.U8(item.Reserved);
    out.I32(item.OwnerDepth);
    out.Flag(item.IsLocal);
}

TParamCollectionItem* TParamCollection::ReadEntry(ByteReader& in)
{
    const uint8_t code = CheckedTypeCode(in.U8());
    std::string name = in.String();
    if (name.empty()) {
        // A nameless entry is read with the alias layout and dropped.
        TParamVar scratch;
        scratch.LoadFromStream(in);
        in.Skip(1 + 1 + 4 + 1);
        return nullptr;
    }
    TParamCollectionItem* item = Add(code);
    try {
        item->SetName(name);
        item->Value()->LoadFromStream(in);
        item->IsStatus = in.Flag();
        item->Reserved = in.U8();
        item->OwnerDepth = in.I32();
        item->IsLocal = in.Flag();
    } catch (...) {
        Delete(item);
        throw;
    }
    return item;
}

void TParamCollection::SaveGameVars(ByteWriter& out) const
{
    std::vector<const TParamCollectionItem*> saved;
    for (const auto& item : items_) {
        if (IsStorable(*item) && !item->IsStatus) saved.push_back(item.get());
    }
    out.I32(static_cast<int32_t>(saved.size()));
    for (size_t i = saved.size(); i-- > 0;) WriteEntry(out, *saved[i]);

    out.I32(Items(SV_TEXTDELAY)->Value()->GetInteger());
    out.String(Items(SV_CURSOR)->Value()->GetString());
    out.String(Items(SV_SELSTR)->Value()->GetString());
    out.I32(Items(SV_SELINDEX)->Value()->GetInteger());
    TParamCollectionItem* temp = TempTarget();
    out.String(temp ? temp->Name() : std::string());
    out.I32(static_cast<int32_t>(push_blocks_.size()));
    for (const std::string& block : push_blocks_) out.Raw(block);
}

void TParamCollection::LoadGameVars(ByteReader& in, int32_t version)
{
    DeleteGameVariables();
    const size_t count = in.Count(kMinEntrySize);
    for (size_t i = 0; i < count; ++i) ReadEntry(in);

    Items(SV_TEXTDELAY)->Value()->SetInteger(in.I32());
    Items(SV_CURSOR)->Value()->SetString(in.String());
    if (version > 102) {
        std::string selected = in.String();
        const int32_t selected_index = in.I32();
        Items(SV_SELSTR)->Value()->SetString(selected);
        Items(SV_SELINDEX)->Value()->SetInteger(selected_index);
    }
    if (version >= 113 && version < 135) {
        std::array<int32_t, 6> settings;
        for (int32_t& setting : settings) setting = in.I32();
        if (OnLegacyHistorySettings) OnLegacyHistorySettings(settings);
    }
    // The "@Temp" target of the previous game never carries over.
    TempTargetName = version > 120 ? in.String() : std::string();
    push_blocks_.clear();
    if (version >= 139) {
        const size_t blocks = in.Count(4);
        std::vector<std::string> loaded;
        loaded.reserve(blocks);
        for (size_t i = 0; i < blocks; ++i) loaded.push_back(ReadPushBlock(in));
        push_blocks_ = std::move(loaded);
    }
}

void TParamCollection::SaveStatusVars(ByteWriter& out) const
{
    std::vector<const TParamCollectionItem*> saved;
    for (const auto& item : items_) {
        if (IsStorable(*item) && item->IsStatus) saved.push_back(item.get());
    }
    out.I32(static_cast<int32_t>(saved.size()));
    for (size_t i = saved.size(); i-- > 0;) WriteEntry(out, *saved[i]);
}

void TParamCollection::LoadStatusVars(ByteReader& in, int32_t)
{
    const size_t count = in.Count(kMinEntrySize);
    for (size_t i = 0; i < count; ++i) ReadEntry(in);
}

void TParamCollection::PushVars(const std::vector<std::string>& names)
{
    ByteWriter block;
    block.I32(0);
    int32_t count = 0;
    for (const std::string& name : names) {
        TParamCollectionItem* item = Find(name);
        if (!item || !IsStorable(*item)) continue;
        block.I32(item->VarType());
        block.String(item->Name());
        item->Value()->SaveToStream(block);
        ++count;
    }
    block.PatchI32(0, count);
    push_blocks_.push_back(block.Take());
}

void TParamCollection::PopVars()
{
    if (push_blocks_.empty()) return;
    const std::string block = std::move(push_blocks_.back());
    push_blocks_.pop_back();
    ByteReader in(block, MsgBrokenVariableData());
    const size_t count = in.Count(kMinPushRecordSize);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t code = CheckedTypeCode(in.I32());
        const std::string name = in.String();
        TParamCollectionItem* item = Find(name);
        if ((item && !IsStorable(*item)) || name.compare(0, 4, kTemporaryPrefix) == 0) {
            SkipValueRecord(in, code);  // never restores into system variables or temporaries
            continue;
        }
        while (item && item->VarType() != code) {
            Delete(item);
            item = Find(name);
            if (item && !IsStorable(*item)) break;
        }
        if (item && !IsStorable(*item)) {
            SkipValueRecord(in, code);
            continue;
        }
        if (!item) item = AddVariable(name, code, TVarScope::Global);
        item->Value()->LoadFromStream(in);
    }
}

}  // namespace mobu
