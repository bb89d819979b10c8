// mobupack expr "TEXT": compiles one expression (UTF-8 text), runs it against a fresh
// variable table and prints its operations, one per line, then "= " and the result.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

// The shortest decimal form that reads back as the same 80-bit real.
std::string RealText(Real value)
{
    char buffer[64];
    for (int digits = 1; digits <= 21; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*Lg", digits, value);
        if (std::strtold(buffer, nullptr) == value) break;
    }
    std::string text = buffer;
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";  // a real always reads as one
    return text;
}

std::string Quoted(std::string_view cp932) { return "\"" + Cp932ToUtf8(cp932) + "\""; }

std::string OperandText(const TOperand& operand)
{
    switch (operand.Tag) {
    case otInteger: return std::to_string(operand.Integer);
    case otReal: return RealText(operand.Float);
    case otFlag: return operand.Flag ? "TRUE" : "FALSE";
    case otString: return Quoted(operand.Text);
    default: return Cp932ToUtf8(operand.Text);
    }
}

std::string OperationText(const TOpeData& op)
{
    std::string line = OpcodeName(op.Opcode) + " " + Cp932ToUtf8(op.Dest) + " = ";
    if (op.Opcode == ocFunc) {
        line += op.FuncId < kSysFuncCount ? kSysFuncTable[op.FuncId].name : "?" + std::to_string(op.FuncId);
        line += "(";
    }
    for (size_t i = 0; i < op.Operands.size(); ++i) line += (i ? ", " : "") + OperandText(op.Operands[i]);
    if (op.Opcode == ocFunc) line += ")";
    return line;
}

std::string ElementText(const TCustomParam& value, int32_t index)
{
    switch (value.VarType()) {
    case PT_INT: return std::to_string(value.GetIntegerAt(index));
    case PT_FLOAT: return RealText(value.GetFloatAt(index));
    case PT_BOOL: return value.GetFlagAt(index) ? "TRUE" : "FALSE";
    default: return Quoted(value.GetStringAt(index));
    }
}

std::string ValueText(const TCustomParam& value)
{
    if (value.Dims.empty()) return ElementText(value, 0);
    std::string text = "[";
    for (int32_t i = 0; i < value.Count(); ++i) text += (i ? ", " : "") + ElementText(value, i);
    return text + "]";
}

int RunExpr(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: mobupack expr \"TEXT\"\n");
        return 2;
    }
    TBuildMobuParser compiler;
    std::string stream;
    try {
        compiler.Compile(Utf8ToCp932(arguments[0]));
        stream = compiler.ToStream();
    } catch (const EMobuError& error) {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
        return 1;
    }
    TMobuParser parser;
    parser.LoadFromBytes(stream);
    for (const TOpeData& op : parser.Operations()) std::printf("%s\n", OperationText(op).c_str());

    TParamCollection table;
    TSysFuncMan functions(table);
    parser.Execute(functions);
    if (!parser.LastError().empty()) std::fprintf(stderr, "stopped: %s\n", Cp932ToUtf8(parser.LastError()).c_str());
    if (const TCustomParam* result = parser.Result()) {
        std::printf("= %s\n", ValueText(*result).c_str());
    } else {
        std::printf("= (none)\n");
    }
    return 0;
}

const CommandRegistration registration({
    "expr",
    "expr \"TEXT\"",
    "compile and run one expression (UTF-8) against fresh variables; print its operations and \"= result\"",
    RunExpr,
});

}  // namespace
}  // namespace mobu::mobupack
