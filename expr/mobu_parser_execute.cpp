// Running compiled expressions: binding operands, making temporaries, and the evaluation
// rules of every opcode.
#include <cmath>

#include "app/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/script_arith.h"
#include "expr/sys_func_man.h"
#include "expr/sys_func_table.h"

namespace mobu {
namespace {

namespace arith = script_arith;

// Longest string a concatenation may build.
constexpr size_t kMaxStringSize = 64 * 1024 * 1024;

bool IsTemporaryName(std::string_view name) { return name.starts_with(kTemporaryPrefix); }

std::unique_ptr<TCustomParam> MakeOperandValue(const TOperand& operand)
{
    switch (operand.Tag) {
    case otInteger: {
        auto value = NewParamOfType(PT_INT);
        value->SetInteger(operand.Integer);
        return value;
    }
    case otReal: {
        auto value = NewParamOfType(PT_FLOAT);
        value->SetFloat(operand.Float);
        return value;
    }
    case otFlag: {
        auto value = NewParamOfType(PT_BOOL);
        value->SetFlag(operand.Flag);
        return value;
    }
    case otString: {
        auto value = NewParamOfType(PT_STR);
        value->SetString(operand.Text);
        return value;
    }
    default: {
        auto reference = std::make_unique<TParamVar>();
        reference->RefName = operand.Text;
        return reference;
    }
    }
}

// A real about to be stored: never NaN or infinity.
Real Finite(Real value)
{
    if (!std::isfinite(value)) throw EMobuError(expr_messages::ArithmeticError());
    return value;
}

[[noreturn]] void FailBadOperation(const TOpeData& op, const std::vector<std::unique_ptr<TCustomParam>>& values)
{
    std::string message = expr_messages::BadOperationHead() + op.Dest + expr_messages::BadOperationType() + OpcodeName(op.Opcode);
    for (const auto& value : values) {
        message += "\r\n";
        try {
            message += value->GetString();
        } catch (const EMobuError&) {
        }
    }
    throw EMobuError(message);
}

uint8_t ArithmeticType(const TCustomParam& a, const TCustomParam& b)
{
    return a.VarType() == PT_FLOAT || b.VarType() == PT_FLOAT ? PT_FLOAT : PT_INT;
}

// Reads through the conversions of the operand's own kind.
int Compare(const TCustomParam& a, const TCustomParam& b)
{
    switch (a.VarType()) {
    case PT_STR: {
        int order = a.GetString().compare(b.GetString());
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    case PT_FLOAT: {
        Real x = a.GetFloat(), y = b.GetFloat();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case PT_BOOL: {
        int x = a.GetFlag() ? 1 : 0, y = b.GetFlag() ? 1 : 0;
        return x - y;
    }
    default: {
        int32_t x = a.GetInteger(), y = b.GetInteger();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    }
}

}  // namespace

void TMobuParser::Prepare()
{
    values_.clear();
    values_.reserve(operations_.size());
    for (const TOpeData& op : operations_) {
        std::vector<std::unique_ptr<TCustomParam>> operands;
        operands.reserve(op.Operands.size());
        for (const TOperand& operand : op.Operands) operands.push_back(MakeOperandValue(operand));
        values_.push_back(std::move(operands));
    }
}

void TMobuParser::Execute()
{
    if (TSysFuncMan* functions = GlobalSysFuncMan()) {
        Execute(*functions);
    } else {
        result_.reset();
    }
}

void TMobuParser::Execute(TSysFuncMan& functions)
{
    result_.reset();
    last_error_.clear();
    TParamCollection& table = functions.Table();
    std::vector<uint64_t> created;
    try {
        for (size_t i = 0; i < operations_.size(); ++i) RunOperation(i, functions, created);
    } catch (const EMobuError& error) {
        last_error_ = error.what();
    } catch (const std::bad_alloc&) {
        last_error_ = expr_messages::SizeTooLarge();
    } catch (const std::length_error&) {
        last_error_ = expr_messages::SizeTooLarge();
    }
    // Unbind every reference, so none outlives the run pointing at a temporary.
    for (auto& operands : values_) {
        for (auto& value : operands) {
            if (auto* reference = dynamic_cast<TParamVar*>(value.get())) reference->Unbind();
        }
    }
    if (!operations_.empty() && operations_.back().Opcode == ocTo && operations_.back().Dest == "____arg") {
        try {
            result_ = table.MakeCopy("____arg");
        } catch (const EMobuError& error) {
            if (last_error_.empty()) last_error_ = error.what();
        }
    }
    for (auto serial = created.rbegin(); serial != created.rend(); ++serial) {
        if (TParamCollectionItem* item = table.FindBySerial(*serial)) table.Delete(item);
    }
}

void TMobuParser::RunOperation(size_t index, TSysFuncMan& functions, std::vector<uint64_t>& created)
{
    TParamCollection& table = functions.Table();
    const TOpeData& op = operations_[index];
    std::vector<std::unique_ptr<TCustomParam>>& values = values_[index];

    // a. Bind references; a reference to an element alias takes over its element.
    for (size_t k = 0; k < values.size(); ++k) {
        auto* reference = dynamic_cast<TParamVar*>(values[k].get());
        if (!reference) continue;
        TParamCollectionItem* item = table.Find(reference->RefName);
        if (!item) throw EMobuError(expr_messages::UnknownVariable(reference->RefName));
        reference->SetTable(&table);
        if (auto* alias = dynamic_cast<TParamVar*>(item->Value())) {
            reference->Bind(alias->Target(), alias->Offset);
        } else {
            reference->Bind(item, 0);
        }
    }

    static const std::unique_ptr<TCustomParam> kZero = NewParamOfType(PT_INT);
    const TCustomParam& a = values.size() > 0 ? *values[0] : *kZero;
    const TCustomParam& b = values.size() > 1 ? *values[1] : *kZero;

    // b. A temporary destination that does not exist yet is made now.
    if (IsTemporaryName(op.Dest) && !table.Find(op.Dest)) {
        uint8_t type = PT_NONE;
        switch (op.Opcode) {
        case ocTo:
            type = a.VarType();
            if (type < PT_INT || type > PT_STR) FailBadOperation(op, values);
            break;
        case ocPlus:
            type = a.VarType() == PT_STR ? PT_STR : ArithmeticType(a, b);
            break;
        case ocMinus:
        case ocMul:
        case ocDiv:
            type = ArithmeticType(a, b);
            break;
        case ocMod:
        case ocOr:
        case ocAnd:
        case ocXor:
        case ocShiftL:
        case ocShiftR:
            type = PT_INT;
            break;
        case ocEqual:
        case ocBig:
        case ocSmall:
        case ocEBig:
        case ocESmall:
        case ocNEqual:
            type = PT_BOOL;
            break;
        case ocComboStr:
            type = PT_STR;
            break;
        case ocDimTo:
            type = PT_NONE;
            break;
        case ocFunc:
            if (op.FuncId >= kSysFuncCount) FailBadOperation(op, values);
            if (op.FuncId == kSysFuncGetProp) {
                int32_t property = values.size() > 1 ? values[1]->GetInteger() & 0xFF : 0;
                if (property > 164) throw EMobuError(expr_messages::BadGetPropArgument());
                type = functions.PropertyType ? functions.PropertyType(property) : PT_INT;
                if (type < PT_INT || type > PT_STR) type = PT_INT;
            } else {
                type = kSysFuncTable[op.FuncId].result_type;
            }
            break;
        default:
            FailBadOperation(op, values);
        }
        TParamCollectionItem* temporary = table.Add(type);
        created.push_back(temporary->Serial());
        temporary->SetName(op.Dest);
        if (op.Opcode == ocDimTo) {
            auto* alias = dynamic_cast<TParamVar*>(temporary->Value());
            if (!alias) throw EMobuError(expr_messages::InternalError());
            std::vector<int32_t> subscripts;
            for (size_t k = 1; k < values.size(); ++k) subscripts.push_back(values[k]->GetInteger());
            std::string array_name = values.empty() ? std::string() : op.Operands[0].Tag == otVariable ? op.Operands[0].Text
                                                                                                       : values[0]->GetString();
            table.BindElement(*alias, array_name, subscripts);
        }
    }

    // c. Evaluate into the destination.
    TParamCollectionItem* destination_item = table.Find(op.Dest);
    if (!destination_item || !destination_item->Value()) throw EMobuError(expr_messages::UnknownVariable(op.Dest));
    TCustomParam& d = *destination_item->Value();
    const uint8_t d_type = d.VarType();

    switch (op.Opcode) {
    case ocTo:
        switch (d_type) {
        case PT_INT: d.SetInteger(a.GetInteger()); break;
        case PT_FLOAT: d.SetFloat(Finite(a.GetFloat())); break;
        case PT_BOOL: d.SetFlag(a.GetFlag()); break;
        case PT_STR: d.SetString(a.GetString()); break;
        default: break;
        }
        break;
    case ocPlus:
        if (d_type == PT_FLOAT) {
            d.SetFloat(arith::Add(a.GetFloat(), b.GetFloat()));
        } else {
            d.SetInteger(arith::Add(a.GetInteger(), b.GetInteger()));
        }
        break;
    case ocMinus:
        if (d_type == PT_FLOAT) {
            d.SetFloat(arith::Sub(a.GetFloat(), b.GetFloat()));
        } else {
            d.SetInteger(arith::Sub(a.GetInteger(), b.GetInteger()));
        }
        break;
    case ocMul:
        if (d_type == PT_FLOAT) {
            d.SetFloat(arith::Mul(a.GetFloat(), b.GetFloat()));
        } else {
            d.SetInteger(arith::Mul(a.GetInteger(), b.GetInteger()));
        }
        break;
    case ocDiv:
        if (d_type == PT_FLOAT) {
            d.SetFloat(arith::Div(a.GetFloat(), b.GetFloat()));
        } else {
            d.SetInteger(arith::Div(a.GetInteger(), b.GetInteger()));
        }
        break;
    case ocMod: d.SetInteger(arith::Mod(a.GetInteger(), b.GetInteger())); break;
    case ocOr: d.SetInteger(a.GetInteger() | b.GetInteger()); break;
    case ocAnd: d.SetInteger(a.GetInteger() & b.GetInteger()); break;
    case ocXor: d.SetInteger(a.GetInteger() ^ b.GetInteger()); break;
    case ocShiftL: d.SetInteger(arith::ShiftLeft(a.GetInteger(), b.GetInteger())); break;
    case ocShiftR: d.SetInteger(arith::ShiftRight(a.GetInteger(), b.GetInteger())); break;
    case ocComboStr: {
        std::string joined = a.GetString();
        std::string tail = b.GetString();
        if (joined.size() + tail.size() > kMaxStringSize) throw EMobuError(expr_messages::SizeTooLarge());
        joined += tail;
        d.SetString(joined);
        break;
    }
    case ocEqual: d.SetFlag(Compare(a, b) == 0); break;
    case ocNEqual: d.SetFlag(Compare(a, b) != 0); break;
    case ocBig: d.SetFlag(Compare(a, b) > 0); break;
    case ocSmall: d.SetFlag(Compare(a, b) < 0); break;
    case ocEBig: d.SetFlag(Compare(a, b) >= 0); break;
    case ocESmall: d.SetFlag(Compare(a, b) <= 0); break;
    case ocDimTo: break;
    case ocFunc: {
        TSysFuncMan::Arguments arguments;
        arguments.reserve(values.size());
        for (auto& value : values) arguments.push_back(value.get());
        functions.Call(d, op.FuncId, arguments);
        break;
    }
    default:
        FailBadOperation(op, values);
    }

    // d. Unbind the references.
    for (auto& value : values) {
        if (auto* reference = dynamic_cast<TParamVar*>(value.get())) reference->Unbind();
    }
}

bool CompileAndRun(TSysFuncMan& functions, std::string_view text, std::unique_ptr<TCustomParam>* result, int first_temporary)
{
    if (result) result->reset();
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
    if (begin == end) return false;
    TMobuParser parser;
    try {
        TBuildMobuParser compiler(first_temporary);
        compiler.Compile(text.substr(begin, end - begin));
        parser.LoadFromBytes(compiler.ToStream());
    } catch (const EMobuError&) {
        return false;
    }
    parser.Execute(functions);
    if (result) *result = parser.TakeResult();
    return true;
}

}  // namespace mobu
