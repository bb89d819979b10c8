// TDBManager: the table database of the program, the ordered tables and the active one. It
// answers the save container's table sections (TSaveTables).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/dbs/db_table.h"
#include "expr/save_tables.h"

namespace mobu {

class TDBManager : public TSaveTables {
public:
    // Version of both table sections.
    static constexpr int32_t kSectionVersion = 100;

    size_t Count() const { return tables_.size(); }
    TDBTable& Table(size_t index) const { return *tables_[index]; }

    // Index of the table of that name (without regard to case), or -1.
    int IndexOf(std::string_view name) const;
    TDBTable* Find(std::string_view name) const;

    // A new table of that status, made active; an existing one is made active and keeps its
    // status, cleared when `keep` is false. False for an empty name.
    bool CreateTable(std::string_view name, bool status, bool keep);
    // Removes the table; the active table stays active when it is another one.
    bool DeleteTable(std::string_view name);
    bool SetActive(std::string_view name);
    TDBTable* Active() const { return active_; }

    // Appends copies of the source's records at those indices to the destination.
    static bool CopyRecordsTo(const TDBCustomTable& source, TDBCustomTable& destination, const std::vector<int32_t>& records);
    static bool InsertRecordsFrom(TDBCustomTable& destination, const TDBCustomTable& source, const std::vector<int32_t>& records);

    void SaveTables(ByteWriter& out, bool status) override;
    void LoadTables(ByteReader& in, bool status) override;

    // Removes every game table; no table is active afterwards.
    void ResetGameTables();
    // Removes every table.
    void Clear();

private:
    void Remove(size_t index);

    std::vector<std::unique_ptr<TDBTable>> tables_;
    TDBTable* active_ = nullptr;
};

// The program's table database (none until the program makes one).
TDBManager* GlobalDBManager();
void SetGlobalDBManager(TDBManager* manager);

}  // namespace mobu
