// A compiled expression ready to run: the operations read from a compiled page (or from the
// compiler's stream), run any number of times against the variable table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "core/real80.h"
#include "expr/opcodes.h"

namespace mobu {

class TCustomParam;
class TSysFuncMan;

// Operand tags of the compiled stream.
enum TOperandTag : uint8_t {
    otVariable = 0,
    otInteger = 1,
    otReal = 2,
    otFlag = 3,
    otString = 4,
};

// One operand: a constant, or a reference to a variable by name (Text holds the name).
struct TOperand {
    uint8_t Tag = otVariable;
    int32_t Integer = 0;
    Real Float = 0;
    bool Flag = false;
    std::string Text;

    bool operator==(const TOperand&) const = default;
};

// One operation as it runs. For ocFunc, FuncId is the built-in function and Operands are the
// arguments.
struct TOpeData {
    uint8_t Opcode = 0;
    std::string Dest;
    uint8_t FuncId = 0;
    std::vector<TOperand> Operands;

    bool operator==(const TOpeData&) const = default;
};

class TMobuParser {
public:
    TMobuParser();
    ~TMobuParser();
    TMobuParser(const TMobuParser&) = delete;
    TMobuParser& operator=(const TMobuParser&) = delete;

    // Discards the operations and reads the compiled-expression stream. Counts are checked
    // against the bytes left and an operand tag outside 0-4 refuses the data, with the
    // reader's failure message; after a failure the expression is empty.
    void LoadFromStream(ByteReader& in);
    void LoadFromBytes(std::string_view bytes);
    void SaveToStream(ByteWriter& out) const;
    std::string ToStream() const;

    // Replaces the operations with copies of the other's.
    void Assign(const TMobuParser& other);

    const std::vector<TOpeData>& Operations() const { return operations_; }
    bool Empty() const { return operations_.empty(); }

    // Runs the operations in order against the manager's variable table. A failure ends the
    // run at once without a message (LastError keeps it); destinations already written keep
    // their values; every temporary the run created is deleted afterwards.
    void Execute(TSysFuncMan& functions);
    // Runs against the process-wide function manager (does nothing without one).
    void Execute();

    // The value of "____arg" after the last run, when the last operation assigns it; none
    // otherwise.
    const TCustomParam* Result() const { return result_.get(); }
    std::unique_ptr<TCustomParam> TakeResult();
    // The message of the failure that ended the last run, empty when it ran to the end.
    const std::string& LastError() const { return last_error_; }

private:
    struct TRunState;
    void Prepare();
    // Runs one operation: binds its operands, makes its temporary destination when it has
    // none yet, and evaluates it by its opcode family (expr/operation_families.h).
    void RunOperation(size_t index, TSysFuncMan& functions, TRunState& run);
    void BindOperands(size_t index, bool call, TRunState& run);
    static uint8_t TemporaryType(const TOpeData& op, TOpFamily family, const std::vector<const TCustomParam*>& operands,
                                 const TCustomParam& a, const TCustomParam& b, const TSysFuncMan& functions);
    TCustomParam* MakeTemporary(size_t index, uint8_t type, TRunState& run);
    void BindElementAlias(size_t index, TCustomParam& destination, TRunState& run);

    std::vector<TOpeData> operations_;
    // The run form of every operand: constants as value objects, references as element
    // aliases bound to their variable during one operation.
    std::vector<std::vector<std::unique_ptr<TCustomParam>>> values_;
    std::unique_ptr<TCustomParam> result_;
    std::string last_error_;
    // Whether any operation calls a function: only then can anything outside the run look
    // its temporaries up by name, so only then may they have to be items of the variable
    // table (not when every function called only reads its arguments as values).
    bool calls_functions_ = false;
    std::vector<uint8_t> called_functions_;
    // Values of the run's own temporaries, one slot per operation, kept between runs so a
    // later run refills them instead of allocating new ones.
    std::vector<std::unique_ptr<TCustomParam>> temporaries_;
    // Scratch storage of a run, used by the outermost run only (a run started from inside a
    // run of the same expression uses its own).
    bool running_ = false;
    std::vector<const TCustomParam*> operand_scratch_;
    std::vector<TCustomParam*> private_scratch_;
    // For each name slot (operands, then the destination, of every operation): whether it
    // names a temporary and which operations write a temporary of that name.
    // A run without function calls makes a temporary only at the first operation writing
    // its name, so the run's own temporary of a name is that operation's (-1: none writes it).
    std::vector<uint8_t> slot_temporary_;
    std::vector<int32_t> slot_first_maker_;
    // The family of every operation's opcode.
    std::vector<TOpFamily> families_;
    // Whether the last operation assigns "____arg", and the first operation that writes it.
    bool ends_with_result_ = false;
    int32_t result_first_maker_ = -1;
    std::vector<TCustomParam*> argument_scratch_;
    std::string text_scratch_;

    // Name lookups of runs without function calls, reused while the table has neither gained,
    // lost nor renamed an item and the call depth is the same (then every lookup gives the
    // same answer). One slot per operand and one per destination.
    struct TLookupKey {
        const void* table = nullptr;
        int32_t count = -1;
        uint64_t generation = 0;
        int32_t depth = 0;
        bool operator==(const TLookupKey&) const = default;
    };
    TLookupKey lookup_key_;
    std::vector<size_t> slot_base_;
    std::vector<TCustomParam*> lookups_;
    std::vector<uint8_t> looked_up_;
};

// Compile-and-run: trims the text; empty text gives false; otherwise compiles it (temporaries
// numbered from `first_temporary`), writes and reloads the compiled stream and runs it.
// True when compiling and loading succeeded, whatever the run did; a compile error gives
// false. The run's result is handed over through `result` when given.
bool CompileAndRun(TSysFuncMan& functions, std::string_view text, std::unique_ptr<TCustomParam>* result = nullptr,
                   int first_temporary = 0);

}  // namespace mobu
