// Running compiled expressions: binding operands, making temporaries, and the evaluation
// rules of every opcode.
#include <cmath>
#include <string_view>
#include <typeinfo>
#include <unordered_map>

#include "core/mobu_error.h"
#include "core/script_log.h"
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

[[noreturn]] void FailBadOperation(const TOpeData& op, const std::vector<const TCustomParam*>& values)
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

// The string a value reads as: a view of a plain string value's own text, or the converted
// text kept in `holder`.
std::string_view TextOf(const TCustomParam& value, std::string& holder)
{
    if (typeid(value) == typeid(TParamStr)) {
        const auto& text = static_cast<const TParamStr&>(value);
        if (!text.Elements.empty()) return text.Elements[0];
    }
    holder = value.GetString();
    return holder;
}

// A scalar string write into a plain string value that keeps the storage it already has.
// False when the destination is not a plain string value.
bool AssignText(TCustomParam& destination, std::string_view text)
{
    if (typeid(destination) != typeid(TParamStr)) return false;
    auto& target = static_cast<TParamStr&>(destination);
    target.DropDims();
    if (target.Elements.empty()) target.Elements.resize(1);
    target.Elements[0].assign(text.data(), text.size());
    return true;
}

}  // namespace

// The temporaries one run has made. While the table has deleted or renamed nothing since they
// were made, a name lookup of one of them can only find that item, so the run uses it directly
// instead of searching the table again.
struct TMobuParser::TRunState {
    struct TCreated {
        const std::string* name;
        TParamCollectionItem* item;
        uint64_t serial;
    };
    TParamCollection& table;
    std::vector<TCreated> created;
    uint64_t generation = 0;
    std::vector<const TCustomParam*>& operands;  // scratch: the operands of the running operation
    // When nothing but the run itself can look a temporary up (no function calls, or only
    // calls of functions that read values), the run keeps its temporaries as detached values
    // of its own (in the parser's slots) instead of table items.
    bool private_temporaries = false;
    // The run's own temporary made by each operation, if any.
    std::vector<TCustomParam*>& privates;
    // For each name slot, the operations whose destination has that name.
    const std::vector<std::vector<uint32_t>>& makers;
    TSysFuncMan::Arguments& arguments;  // scratch: the arguments of a call
    std::string& text;                  // scratch: joined text
    // The parser's reusable lookups (only with private temporaries).
    std::vector<TCustomParam*>* lookups = nullptr;
    std::vector<uint8_t>* looked_up = nullptr;

    TParamCollectionItem* Find(const std::string& name)
    {
        if (name.starts_with(kTemporaryPrefix) && table.Generation() == generation) {
            for (const TCreated& temporary : created) {
                if (*temporary.name == name) return temporary.item;
            }
        }
        return table.Find(name);
    }

    // The run's own temporary of a name: the first one made by an operation writing that name.
    TCustomParam* FindPrivate(const std::vector<uint32_t>& name_makers) const
    {
        for (uint32_t maker : name_makers) {
            if (privates[maker]) return privates[maker];
        }
        return nullptr;
    }

    // The value a name denotes: the run's own temporary of that name, or the table's variable.
    TCustomParam* FindValue(const std::string& name, size_t slot)
    {
        if (private_temporaries) {
            if (TCustomParam* value = FindPrivate(makers[slot])) return value;
        }
        if (lookups && (*looked_up)[slot]) return (*lookups)[slot];
        TParamCollectionItem* item = Find(name);
        TCustomParam* value = item ? item->Value() : nullptr;
        if (lookups) {
            (*lookups)[slot] = value;
            (*looked_up)[slot] = 1;
        }
        return value;
    }
};

void TMobuParser::Prepare()
{
    values_.clear();
    values_.reserve(operations_.size());
    calls_functions_ = false;
    called_functions_.clear();
    temporaries_.clear();
    temporaries_.resize(operations_.size());
    slot_base_.clear();
    size_t slots = 0;
    lookup_key_ = TLookupKey{};
    for (const TOpeData& op : operations_) {
        slot_base_.push_back(slots);
        slots += op.Operands.size() + 1;
        if (op.Opcode == ocFunc) {
            calls_functions_ = true;
            called_functions_.push_back(op.FuncId);
        }
        std::vector<std::unique_ptr<TCustomParam>> operands;
        operands.reserve(op.Operands.size());
        for (const TOperand& operand : op.Operands) operands.push_back(MakeOperandValue(operand));
        values_.push_back(std::move(operands));
    }
    // The name of every slot, and which operations make a temporary of that name.
    std::unordered_map<std::string_view, std::vector<uint32_t>> makers;
    for (size_t i = 0; i < operations_.size(); ++i) {
        if (IsTemporaryName(operations_[i].Dest)) makers[operations_[i].Dest].push_back(static_cast<uint32_t>(i));
    }
    slot_makers_.assign(slots, {});
    slot_temporary_.assign(slots, 0);
    for (size_t i = 0; i < operations_.size(); ++i) {
        const TOpeData& op = operations_[i];
        for (size_t k = 0; k <= op.Operands.size(); ++k) {
            const std::string& name = k < op.Operands.size() ? op.Operands[k].Text : op.Dest;
            if (k < op.Operands.size() && op.Operands[k].Tag != otVariable) continue;
            if (!IsTemporaryName(name)) continue;
            slot_temporary_[slot_base_[i] + k] = 1;
            if (auto found = makers.find(name); found != makers.end()) slot_makers_[slot_base_[i] + k] = found->second;
        }
    }
    ends_with_result_ = !operations_.empty() && operations_.back().Opcode == ocTo && operations_.back().Dest == "____arg";
    result_makers_.clear();
    if (auto found = makers.find("____arg"); found != makers.end()) result_makers_ = found->second;
    lookups_.assign(slots, nullptr);
    looked_up_.assign(slots, 0);
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
    if (values_.size() != operations_.size()) Prepare();  // loaded and not yet run
    // The previous result is dropped; its value object is kept to serve as a temporary again.
    std::unique_ptr<TCustomParam> previous_result = std::move(result_);
    last_error_.clear();
    TParamCollection& table = functions.Table();
    bool private_temporaries = true;
    for (uint8_t function : called_functions_) {
        if (!functions.ReadsValuesOnly(function)) private_temporaries = false;
    }
    // A run started from inside a run of this same expression gets scratch storage of its own.
    std::vector<const TCustomParam*> nested_operands;
    std::vector<TCustomParam*> nested_privates;
    const bool outermost = !running_;
    if (!outermost) private_temporaries = false;
    std::vector<const TCustomParam*>& operands = outermost ? operand_scratch_ : nested_operands;
    std::vector<TCustomParam*>& privates = outermost ? private_scratch_ : nested_privates;
    if (private_temporaries) privates.assign(operations_.size(), nullptr);
    struct TRunning {
        bool& flag;
        bool was;
        ~TRunning() { flag = was; }
    } running{running_, running_};
    running_ = true;
    TSysFuncMan::Arguments nested_arguments;
    std::string nested_text;
    TRunState run{table,
                  {},
                  table.Generation(),
                  operands,
                  private_temporaries,
                  privates,
                  slot_makers_,
                  outermost ? argument_scratch_ : nested_arguments,
                  outermost ? text_scratch_ : nested_text,
                  nullptr,
                  nullptr};
    if (run.private_temporaries) {
        TLookupKey key{&table, table.Count(), table.Generation(), table.CurrentDepth};
        if (!(key == lookup_key_)) {
            std::fill(looked_up_.begin(), looked_up_.end(), 0);
            lookup_key_ = key;
        }
        run.lookups = &lookups_;
        run.looked_up = &looked_up_;
    }
    try {
        for (size_t i = 0; i < operations_.size(); ++i) RunOperation(i, functions, run);
    } catch (const EMobuError& error) {
        last_error_ = error.what();
    } catch (const std::bad_alloc&) {
        last_error_ = expr_messages::SizeTooLarge();
    } catch (const std::length_error&) {
        last_error_ = expr_messages::SizeTooLarge();
    } catch (const std::exception&) {
        last_error_ = expr_messages::InternalError();
    }
    // Unbind every reference, so none outlives the run pointing at a temporary.
    for (size_t i = 0; calls_functions_ && i < operations_.size(); ++i) {
        for (size_t k = 0; k < values_[i].size(); ++k) {
            if (operations_[i].Operands[k].Tag == otVariable) static_cast<TParamVar*>(values_[i][k].get())->Unbind();
        }
    }
    if (ends_with_result_) {
        try {
            TCustomParam* own = run.private_temporaries ? run.FindPrivate(result_makers_) : nullptr;
            TParamCollectionItem* item = own ? nullptr : run.Find("____arg");
            TCustomParam* value = own ? own : item ? item->Value() : nullptr;
            uint8_t type = value ? value->VarType() : PT_NONE;
            if (own && type >= PT_INT && type <= PT_STR && own->Concrete() == own) {
                // The run's own result temporary: hand it over, and keep the previous result's
                // value object in its slot for the next run.
                for (auto& slot : temporaries_) {
                    if (slot.get() == own) {
                        result_ = std::move(slot);
                        slot = std::move(previous_result);
                        break;
                    }
                }
            } else if (value && type >= PT_INT && type <= PT_STR && value->Concrete() == value) {
                // A plain value (the usual case): copy it directly.
                result_ = NewParamOfType(type);
                result_->AssignAll(*value);
            } else {
                result_ = table.MakeCopy("____arg");
            }
        } catch (const EMobuError& error) {
            if (last_error_.empty()) last_error_ = error.what();
        }
    }
    // The game sees no result; the author sees why in the script log.
    if (!last_error_.empty()) ReportScriptFailure(last_error_);
    for (auto temporary = run.created.rbegin(); temporary != run.created.rend(); ++temporary) {
        if (TParamCollectionItem* item = table.FindBySerial(temporary->serial)) table.Delete(item);
    }
}

void TMobuParser::RunOperation(size_t index, TSysFuncMan& functions, TRunState& run)
{
    TParamCollection& table = functions.Table();
    const TOpeData& op = operations_[index];
    std::vector<std::unique_ptr<TCustomParam>>& values = values_[index];

    // a. Resolve references. A function receives each variable argument as a reference bound
    // to the variable (taking over the element of an element alias), so it can write through
    // it; the other operations read the variable's value itself, which reads the same element.
    static const std::unique_ptr<TCustomParam> kZero = NewParamOfType(PT_INT);
    const bool call = op.Opcode == ocFunc;
    std::vector<const TCustomParam*>& operands = run.operands;
    operands.assign(values.size(), nullptr);
    for (size_t k = 0; k < values.size(); ++k) {
        if (op.Operands[k].Tag != otVariable) {
            operands[k] = values[k].get();
            continue;
        }
        auto* reference = static_cast<TParamVar*>(values[k].get());
        if (!call) {
            const TCustomParam* value = run.FindValue(reference->RefName, slot_base_[index] + k);
            if (!value) throw EMobuError(expr_messages::UnknownVariable(reference->RefName));
            operands[k] = value;
            continue;
        }
        if (run.private_temporaries) {
            // The run's own temporary: the function reads only its value.
            if (const TCustomParam* value = run.FindPrivate(slot_makers_[slot_base_[index] + k])) {
                operands[k] = value;
                continue;
            }
        }
        TParamCollectionItem* item = run.Find(reference->RefName);
        if (!item || !item->Value()) throw EMobuError(expr_messages::UnknownVariable(reference->RefName));
        TCustomParam* value = item->Value();
        reference->SetTable(&table);
        // Only forwarding values can be element aliases; plain values bind without a cast.
        auto* alias = value->Concrete() != value ? dynamic_cast<TParamVar*>(value) : nullptr;
        if (alias) {
            reference->Bind(alias->Target(), alias->Offset);
        } else {
            reference->Bind(item, 0);
        }
        operands[k] = reference;
    }

    const TCustomParam& a = operands.size() > 0 ? *operands[0] : *kZero;
    const TCustomParam& b = operands.size() > 1 ? *operands[1] : *kZero;

    // b. A temporary destination that does not exist yet is made now.
    TCustomParam* destination = nullptr;
    const size_t destination_slot = slot_base_[index] + op.Operands.size();
    if (slot_temporary_[destination_slot] && !(destination = run.FindValue(op.Dest, destination_slot))) {
        uint8_t type = PT_NONE;
        switch (op.Opcode) {
        case ocTo:
            type = a.VarType();
            if (type < PT_INT || type > PT_STR) FailBadOperation(op, operands);
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
            if (op.FuncId >= kSysFuncCount) FailBadOperation(op, operands);
            if (op.FuncId == kSysFuncGetProp) {
                int32_t property = operands.size() > 1 ? operands[1]->GetInteger() & 0xFF : 0;
                if (property > 164) throw EMobuError(expr_messages::BadGetPropArgument());
                type = functions.PropertyType ? functions.PropertyType(property) : PT_INT;
                if (type < PT_INT || type > PT_STR) type = PT_INT;
            } else {
                type = kSysFuncTable[op.FuncId].result_type;
            }
            break;
        default:
            FailBadOperation(op, operands);
        }
        if (run.private_temporaries) {
            // Reuse the value this operation's temporary had in an earlier run, made fresh.
            std::unique_ptr<TCustomParam>& slot = temporaries_[index];
            if (slot && type != PT_NONE && slot->VarType() == type) {
                switch (type) {
                case PT_INT: slot->SetInteger(0); break;
                case PT_FLOAT: slot->SetFloat(0); break;
                case PT_BOOL: slot->SetFlag(false); break;
                default: slot->SetString({}); break;
                }
            } else {
                slot = NewParamOfType(type);
            }
            run.privates[index] = slot.get();
            destination = slot.get();
        } else {
            const uint64_t before = table.Generation();
            TParamCollectionItem* temporary = table.Add(type);
            run.created.push_back({&op.Dest, temporary, temporary->Serial()});
            temporary->SetName(op.Dest);
            // Naming may count as a change; it keeps the run's items valid only if nothing else changed.
            if (before == run.generation) run.generation = table.Generation();
            destination = temporary->Value();
        }
        if (!destination) throw EMobuError(expr_messages::InternalError());
        if (op.Opcode == ocDimTo) {
            auto* alias = dynamic_cast<TParamVar*>(destination);
            if (!alias) throw EMobuError(expr_messages::InternalError());
            std::vector<int32_t> subscripts;
            for (size_t k = 1; k < operands.size(); ++k) subscripts.push_back(operands[k]->GetInteger());
            std::string array_name = values.empty() ? std::string() : op.Operands[0].Tag == otVariable ? op.Operands[0].Text
                                                                                                       : operands[0]->GetString();
            table.BindElement(*alias, array_name, subscripts);
        }
    }

    // c. Evaluate into the destination.
    if (!destination) destination = run.FindValue(op.Dest, destination_slot);
    if (!destination) throw EMobuError(expr_messages::UnknownVariable(op.Dest));
    TCustomParam& d = *destination;
    const uint8_t d_type = d.VarType();

    switch (op.Opcode) {
    case ocTo:
        switch (d_type) {
        case PT_INT: d.SetInteger(a.GetInteger()); break;
        case PT_FLOAT: d.SetFloat(Finite(a.GetFloat())); break;
        case PT_BOOL: d.SetFlag(a.GetFlag()); break;
        case PT_STR: {
            if (&a != &d) {
                std::string holder;
                std::string_view text = TextOf(a, holder);
                if (AssignText(d, text)) break;
            }
            d.SetString(a.GetString());
            break;
        }
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
        std::string head_holder, tail_holder;
        std::string_view head = TextOf(a, head_holder);
        std::string_view tail = TextOf(b, tail_holder);
        if (head.size() + tail.size() > kMaxStringSize) throw EMobuError(expr_messages::SizeTooLarge());
        std::string& joined = run.text;
        joined.clear();
        joined.reserve(head.size() + tail.size());
        joined.append(head);
        joined.append(tail);
        if (typeid(d) == typeid(TParamStr)) {
            // Hand the joined text over and keep the destination's old storage for next time.
            auto& target = static_cast<TParamStr&>(d);
            target.DropDims();
            if (target.Elements.empty()) target.Elements.resize(1);
            std::swap(target.Elements[0], joined);
        } else {
            d.SetString(joined);
        }
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
        TSysFuncMan::Arguments& arguments = run.arguments;
        arguments.clear();
        for (const TCustomParam* value : operands) arguments.push_back(const_cast<TCustomParam*>(value));
        functions.Call(d, op.FuncId, arguments);
        break;
    }
    default:
        FailBadOperation(op, operands);
    }

    // d. Unbind the references.
    for (size_t k = 0; call && k < values.size(); ++k) {
        if (op.Operands[k].Tag == otVariable) static_cast<TParamVar*>(values[k].get())->Unbind();
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
    } catch (const EMobuError& error) {
        // Text compiled at run time that does not compile gives FALSE, and a log line.
        ReportScriptFailure(error.what());
        return false;
    }
    parser.Execute(functions);
    if (result) *result = parser.TakeResult();
    return true;
}

}  // namespace mobu
