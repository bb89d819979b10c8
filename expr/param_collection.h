// TParamCollection: the process-wide variable table. An ordered list of named variables with
// 256 hash buckets over the names (compared without regard to ASCII letter case), the 51
// system variables as its first items, scopes (global, auto-destroy, local, status), the
// PushVar stack, and the stored sections of saved games and the status data.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "expr/custom_param.h"
#include "expr/param_types.h"

namespace mobu {

class ByteReader;
class ByteWriter;
class TParamCollection;
class TParamVar;
class TSystemVariables;

class TParamCollectionItem {
public:
    TParamCollectionItem(const TParamCollectionItem&) = delete;
    TParamCollectionItem& operator=(const TParamCollectionItem&) = delete;
    ~TParamCollectionItem();

    const std::string& Name() const { return name_; }
    // Non-empty, no blank, not beginning with a digit, else "\"%s\"：変数名が不正です".
    // Renaming re-links the item at the head of its new bucket; the same name does nothing.
    void SetName(std::string_view name);

    TCustomParam* Value() const { return value_.get(); }
    uint8_t VarType() const { return value_ ? value_->VarType() : PT_NONE; }

    uint8_t Reserved = 0;
    bool IsStatus = false;
    int32_t OwnerDepth = -1;  // -1: not owned by a call depth
    bool IsLocal = false;

    bool IsSystem() const { return is_system_; }
    bool IsTemporary() const { return name_.compare(0, 4, kTemporaryPrefix) == 0; }
    TVarScope Scope() const;

    // Bucket number, position in the table, bucket chain links (newest first).
    uint8_t HashIndex() const { return hash_index_; }
    int32_t CachedIndex() const { return cached_index_; }
    TParamCollectionItem* Prev() const { return prev_; }
    TParamCollectionItem* Next() const { return next_; }
    // A number never reused within the table: identifies this item for references.
    uint64_t Serial() const { return serial_; }

private:
    friend class TParamCollection;
    TParamCollectionItem(TParamCollection* owner, std::unique_ptr<TCustomParam> value, uint64_t serial)
        : owner_(owner), value_(std::move(value)), serial_(serial)
    {
    }

    TParamCollection* owner_;
    std::unique_ptr<TCustomParam> value_;
    std::string name_;
    std::string lowered_;
    bool linked_ = false;
    bool is_system_ = false;
    uint8_t hash_index_ = 0;
    int32_t cached_index_ = -1;
    TParamCollectionItem* prev_ = nullptr;
    TParamCollectionItem* next_ = nullptr;
    uint64_t serial_;
};

// Non-empty, no blank, not beginning with a digit.
bool IsValidVariableName(std::string_view name);

// Bucket of a name: on the lower-cased name s of length n, (n * 16) for n < 2, else
// (n * 16 + s[n-2] + s[0]), modulo 256.
uint8_t VariableNameHash(std::string_view lowered_name);

class TParamCollection {
public:
    // Creates the 51 system variables in index order.
    TParamCollection();
    ~TParamCollection();
    TParamCollection(const TParamCollection&) = delete;
    TParamCollection& operator=(const TParamCollection&) = delete;

    // Number of frames on the script call stack (kept up to date by the interpreter).
    int32_t CurrentDepth = 0;
    // Storage of the system variables "@SelStr", "@SelIndex", "@TextDelay" and "@Cursor",
    // and the name of the variable "@Temp" refers to ("" for none).
    std::string SelStr;
    int32_t SelIndex = 0;
    int32_t TextDelay = 50;
    std::string Cursor;
    std::string TempTargetName;

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    TParamCollectionItem* Items(int32_t index) const { return items_[static_cast<size_t>(index)].get(); }

    // New unnamed item with a fresh value of the type code (low 7 bits); a code outside 0-4
    // fails with "内部エラー".
    TParamCollectionItem* Add(uint8_t type_code);
    // Add, name and scope in one step (for variables the player itself defines).
    TParamCollectionItem* AddVariable(std::string_view name, uint8_t type_code, TVarScope scope = TVarScope::Global);

    // Lookup: a local item owned by CurrentDepth wins (the newest), else the oldest non-local
    // item of that name; locals of other depths are invisible.
    TParamCollectionItem* Find(std::string_view name) const;
    // local true: only a local item owned by CurrentDepth; false: only a non-local item.
    TParamCollectionItem* FindScoped(std::string_view name, bool local) const;
    // Find by walking the name's bucket chain (the same answer as Find, slower).
    TParamCollectionItem* FindInChain(std::string_view name) const;
    // The item with that serial number, if it still exists.
    TParamCollectionItem* FindBySerial(uint64_t serial) const;

    // The variable declaration. `initial_value` evaluates the initial-value expression and
    // returns its value, or none (it may be empty). Returns the declared item.
    TParamCollectionItem* Declare(std::string_view name, uint8_t type_code, TVarScope scope,
                                  const std::function<const TCustomParam*()>& initial_value = {});

    // Deletes every item owned by the depth (last to first).
    void DeleteOwned(int32_t depth);
    // DeleteStack: deletes the variables owned by the depth and lowers the owner depth of
    // variables owned by deeper frames by one (the frame itself is removed by the caller).
    void RemoveOwnerDepth(int32_t depth);
    // Removes and frees the item. System variables are never deleted.
    void Delete(TParamCollectionItem* item);
    // Deletes every item that is neither a system nor a status variable.
    void DeleteGameVariables();

    // A detached copy of the named variable's dimensions and elements; none when no
    // variable has that name; "%s:不正な変数です" for a type outside 1-4.
    std::unique_ptr<TCustomParam> MakeCopy(std::string_view name) const;
    // The item's value takes the source's dimensions and every element converted.
    static void CopyConvert(TParamCollectionItem* item, const TCustomParam& source);
    static void CopyConvertValue(TCustomParam& destination, const TCustomParam& source);
    // Points the alias at one element of the named array.
    void BindElement(TParamVar& alias, std::string_view array_name, const std::vector<int32_t>& subscripts);

    // Stored sections. `version` is the save-data version of the container.
    void SaveGameVars(ByteWriter& out) const;
    void LoadGameVars(ByteReader& in, int32_t version);
    void SaveStatusVars(ByteWriter& out) const;
    void LoadStatusVars(ByteReader& in, int32_t version);
    // Old saves (113 <= version < 135) carry six integer settings of the default message
    // history format here; the history installs a receiver for them.
    std::function<void(const std::array<int32_t, 6>&)> OnLegacyHistorySettings;

    // Script reset: deletes the game variables, "@TextDelay" := 50, "@Cursor" := "".
    void ResetVars();

    // PushVar / PopVar.
    void PushVars(const std::vector<std::string>& names);
    void PopVars();
    size_t PushBlockCount() const { return push_blocks_.size(); }
    const std::vector<std::string>& PushBlocks() const { return push_blocks_; }

    // The variable "@Temp" refers to, looked up by name each time (none when it is gone).
    TParamCollectionItem* TempTarget() const;

    // The program state behind the system variables. The table starts with a basic source
    // (its own storage, constants, neutral values); the built-in function manager installs
    // the full one. Not owned; null restores the basic source.
    void SetSystemVariables(TSystemVariables* source);
    TSystemVariables& SystemVariables() const { return *system_variables_; }

    // Bumped whenever an item is deleted or renamed: references check it to stay valid.
    uint64_t Generation() const { return generation_; }

private:
    friend class TParamCollectionItem;

    void Link(TParamCollectionItem* item);
    void Unlink(TParamCollectionItem* item);
    void DeleteAt(size_t index);
    TParamCollectionItem* ReadEntry(ByteReader& in);
    void WriteEntry(ByteWriter& out, const TParamCollectionItem& item) const;

    std::vector<std::unique_ptr<TParamCollectionItem>> items_;
    std::array<TParamCollectionItem*, 256> buckets_{};
    // The same links grouped by exact lower-cased name, oldest first: a lookup reads only the
    // items of its own name instead of walking a whole bucket chain (the bucket hash puts
    // names such as "flag1" ... "flag9999" into a handful of buckets).
    struct TNameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
    };
    std::unordered_map<std::string, std::vector<TParamCollectionItem*>, TNameHash, std::equal_to<>> by_name_;
    std::unordered_map<uint64_t, TParamCollectionItem*> by_serial_;
    std::vector<std::string> push_blocks_;
    std::unique_ptr<TSystemVariables> basic_system_variables_;
    TSystemVariables* system_variables_ = nullptr;
    uint64_t next_serial_ = 1;
    uint64_t generation_ = 1;
};

}  // namespace mobu
