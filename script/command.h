// TCommand: one command of a script page. Every command is a step machine: the call
// manager enters it once, executes it once per step until it moves the program counter,
// and can save and restore its unfinished state. The record a command reads after the
// common header is described by the command table; the fields are kept here in table
// order, and each class gives them their meaning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "script/command_table.h"

namespace mobu {

class TCallMan;
class TComList;
class TCustomParam;
class TMobuParser;
class TPage;

// One stored field of a record (only the member of its kind is used).
struct TRecordField {
    bool present = false;  // false for a field the page's version does not store
    std::unique_ptr<TMobuParser> expr;
    std::vector<std::unique_ptr<TMobuParser>> list;
    std::string text;      // String and Text fields
    int32_t number = 0;    // Int32 and Byte fields

    TRecordField();
    TRecordField(TRecordField&&) noexcept;
    TRecordField& operator=(TRecordField&&) noexcept;
    ~TRecordField();
};

class TCommand {
public:
    TCommand(TComList* owner, uint8_t id);
    virtual ~TCommand();
    TCommand(const TCommand&) = delete;
    TCommand& operator=(const TCommand&) = delete;

    uint8_t ContinueFlag = 0;
    uint8_t Disabled = 0;
    int32_t LineNo = 0;
    int32_t Depth = 0;

    uint8_t CommandId() const { return id_; }
    const TCommandInfo& Info() const { return *CommandInfoOf(id_); }
    TComList* Owner() const { return owner_; }
    TPage* Page() const;
    // Index of this command in its page.
    int32_t Index() const;

    virtual bool ContinuesFrame() const { return ContinueFlag != 0; }
    virtual bool IsDisabled() const { return Disabled != 0; }
    virtual void SetDisabled(bool value) { Disabled = value ? 1 : 0; }
    virtual bool HoldsEvents() const { return false; }
    virtual bool IsLabel(const std::string&) const { return false; }
    // Reads the common header and the fields of the command table (version gates by the
    // page's version; property blocks by the page's masks).
    virtual void LoadRecord(ByteReader& in);
    virtual void Enter(TCallMan&) {}
    virtual void Exec(TCallMan& calls, TPage*& page, int32_t& pc);
    virtual void SaveState(ByteWriter&) const {}
    virtual void LoadState(ByteReader&) {}
    virtual void Abort() {}
    virtual bool Yields() const { return false; }

    // The fields of the record, in table order.
    const std::vector<TRecordField>& Fields() const { return fields_; }
    // The property expressions of a component-creating command (165 slots; null where the
    // page's mask has no bit), empty for other commands.
    const std::vector<std::unique_ptr<TMobuParser>>& PropertyExprs() const { return properties_; }

    // The expression, text and number of a field by its index in the record.
    TMobuParser* Expr(size_t field) const;
    const std::string& Text(size_t field) const { return fields_[field].text; }
    int32_t Number(size_t field) const { return fields_[field].number; }

private:
    void ReadField(ByteReader& in, const TFieldInfo& info, TRecordField& field);

    TComList* owner_;
    uint8_t id_;
    std::vector<TRecordField> fields_;
    std::vector<std::unique_ptr<TMobuParser>> properties_;
};

// Expression readers: each runs the expression (when there is one and a function manager
// to run it) and reads its result; `present` (when given) says whether it yielded a value.
const TCustomParam* Evaluate(TCallMan& calls, TMobuParser* expr);
bool EvalFlag(TCallMan& calls, TMobuParser* expr, bool fallback, bool* present = nullptr);
int32_t EvalInteger(TCallMan& calls, TMobuParser* expr, int32_t fallback, bool* present = nullptr);
std::string EvalString(TCallMan& calls, TMobuParser* expr, const std::string& fallback = {}, bool* present = nullptr);
// "True" as control flow reads it: the expression yields a value whose flag reading is TRUE.
inline bool IsTrue(TCallMan& calls, TMobuParser* expr) { return EvalFlag(calls, expr, false); }

// Command state blobs begin with "mobu" and three version digits; a blob without the tag
// is version 0 and is read from its start. Non-digit version characters mean a damaged
// blob.
inline constexpr int32_t kStateVersion = 100;
void WriteStateTag(ByteWriter& out);
int32_t ReadStateTag(ByteReader& in);

// Creates the command class of the id; null for an id outside 0-60.
std::unique_ptr<TCommand> CreateCommand(TComList* owner, uint8_t id);

}  // namespace mobu
