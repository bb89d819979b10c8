// A compiled expression ready to run: the operations read from a compiled page (or from the
// compiler's stream), run any number of times against the variable table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/byte_reader.h"
#include "archive/byte_writer.h"
#include "expr/real80.h"

namespace mobu {

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

private:
    std::vector<TOpeData> operations_;
};

}  // namespace mobu
