#include "expr/dbs/db_manager.h"

#include <algorithm>

#include "core/cp932_chars.h"

namespace mobu {
namespace {
TDBManager* global_manager = nullptr;
}

TDBManager* GlobalDBManager() { return global_manager; }
void SetGlobalDBManager(TDBManager* manager) { global_manager = manager; }

int TDBManager::IndexOf(std::string_view name) const
{
    for (size_t i = 0; i < tables_.size(); ++i) {
        if (JSameText(tables_[i]->Name(), name)) return static_cast<int>(i);
    }
    return -1;
}

TDBTable* TDBManager::Find(std::string_view name) const
{
    const int index = IndexOf(name);
    return index < 0 ? nullptr : tables_[static_cast<size_t>(index)].get();
}

bool TDBManager::CreateTable(std::string_view name, bool status, bool keep)
{
    if (name.empty()) return false;
    if (TDBTable* existing = Find(name)) {
        active_ = existing;
        if (!keep) existing->ClearAll();
        return true;
    }
    tables_.push_back(std::make_unique<TDBTable>(std::string(name), status));
    active_ = tables_.back().get();
    return true;
}

void TDBManager::Remove(size_t index)
{
    if (active_ == tables_[index].get()) active_ = nullptr;
    tables_.erase(tables_.begin() + static_cast<ptrdiff_t>(index));
}

bool TDBManager::DeleteTable(std::string_view name)
{
    const int index = IndexOf(name);
    if (index < 0) return false;
    Remove(static_cast<size_t>(index));
    return true;
}

bool TDBManager::SetActive(std::string_view name)
{
    TDBTable* table = Find(name);
    if (!table) return false;
    active_ = table;
    return true;
}

bool TDBManager::CopyRecordsTo(const TDBCustomTable& source, TDBCustomTable& destination, const std::vector<int32_t>& records)
{
    return InsertRecordsFrom(destination, source, records);
}

bool TDBManager::InsertRecordsFrom(TDBCustomTable& destination, const TDBCustomTable& source, const std::vector<int32_t>& records)
{
    if (!destination.Fields().SameAs(source.Fields())) return false;
    // Copies first: the source may be the destination itself, which grows while copying.
    const size_t width = source.Fields().RecordWidth();
    size_t count = 0;
    std::vector<uint8_t> copies;
    for (int32_t r : records) {
        if (r < 0 || r >= source.RecordCount()) continue;
        const uint8_t* block = source.Record(r);
        copies.insert(copies.end(), block, block + width);
        ++count;
    }
    for (size_t i = 0; i < count; ++i) {
        if (!destination.AppendCopy(copies.data() + i * width)) return false;
    }
    return true;
}

void TDBManager::SaveTables(ByteWriter& out, bool status)
{
    out.I32(kSectionVersion);
    const size_t count_at = out.Size();
    out.I32(0);
    int32_t count = 0;
    for (const auto& table : tables_) {
        if (table->Status() != status) continue;
        table->SaveToStream(out);
        ++count;
    }
    out.PatchI32(count_at, count);
    if (!status) out.String(active_ ? active_->Name() : std::string());
}

void TDBManager::LoadTables(ByteReader& in, bool status)
{
    // The whole section is read before any table changes, so a damaged one changes nothing.
    if (in.I32() != kSectionVersion) in.Fail();
    // A table record takes at least 18 bytes.
    const size_t count = in.Count(18);
    std::vector<std::unique_ptr<TDBTable>> read;
    for (size_t i = 0; i < count; ++i) {
        auto table = std::make_unique<TDBTable>(std::string(), status);
        table->LoadFromStream(in);
        for (const auto& earlier : read) {
            if (JSameText(earlier->Name(), table->Name())) in.Fail();
        }
        // A table stays in the section it was found in.
        table->SetStatus(status);
        read.push_back(std::move(table));
    }
    std::string active_name;
    if (!status) active_name = in.String();

    for (size_t i = tables_.size(); i-- > 0;) {
        if (tables_[i]->Status() == status) Remove(i);
    }
    for (auto& table : read) {
        active_ = table.get();
        tables_.push_back(std::move(table));
    }
    if (!status) active_ = active_name.empty() ? nullptr : Find(active_name);
}

void TDBManager::ResetGameTables()
{
    for (size_t i = tables_.size(); i-- > 0;) {
        if (!tables_[i]->Status()) Remove(i);
    }
    active_ = nullptr;
}

void TDBManager::Clear()
{
    tables_.clear();
    active_ = nullptr;
}

}  // namespace mobu
