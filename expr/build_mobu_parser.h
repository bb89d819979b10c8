// The expression compiler: turns expression text into a flat list of operations with named
// destinations (temporaries "____N", element aliases "____d_N", the result "____arg"), and
// writes that list in the compiled-expression stream format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_writer.h"

namespace mobu {

// One operation as the compiler builds it. For ocFunc, Operands[0] is the function name and
// the arguments follow.
struct TBuildOpeData {
    uint8_t Opcode = 0;
    std::string Dest;
    std::vector<std::string> Operands;

    bool operator==(const TBuildOpeData&) const = default;
};

class TBuildMobuParser {
public:
    // Longest expression text the compiler accepts, in bytes (room for long quoted values).
    static constexpr size_t kMaxTextSize = 4 * 1024 * 1024;

    // `first_temporary` is the number of the first temporary. Text compiled while another
    // expression runs (Calc) starts past the running expression's numbers, so the nested run
    // never writes into the temporaries of the run that called it.
    explicit TBuildMobuParser(int first_temporary = 0) : first_temporary_(first_temporary) {}

    // Compiles the text (code page 932); replaces any previous list. Fails with
    // "構文エラー" or "配列の添え字が不正です".
    void Compile(std::string_view text);

    const std::vector<TBuildOpeData>& Operations() const { return operations_; }

    // Writes the compiled-expression stream: classifies operand texts into constants and
    // variable references and resolves function names (fails for an unknown name or a wrong
    // argument count).
    void SaveToStream(ByteWriter& out) const;
    std::string ToStream() const;

private:
    void CompileNested(std::u32string text);
    std::string NewTemporary();
    std::string NewAlias();
    std::string CompileArgument(const std::u32string& argument);
    void FoldCopies();

    std::vector<TBuildOpeData> operations_;
    int first_temporary_;
    int counter_ = 0;
};

// The operand of a compiled-expression stream that the text denotes, as the compiler writes
// it: tag 0 variable reference, 1 integer, 2 real, 3 flag, 4 string.
void WriteOperandText(ByteWriter& out, std::string_view text);

}  // namespace mobu
