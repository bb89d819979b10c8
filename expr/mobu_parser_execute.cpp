// Running compiled expressions: binding operands, making temporaries, and the evaluation
// rules of every opcode.
#include <string_view>
#include <unordered_map>

#include "core/mobu_error.h"
#include "core/script_log.h"
#include "expr/build_mobu_parser.h"
#include "expr/expr_messages.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/operation_families.h"
#include "expr/operation_plain.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/sys_func_man.h"

namespace mobu {
namespace {

namespace ops = operation_families;

bool IsTemporaryName(std::string_view name) { return name.starts_with(kTemporaryPrefix); }

// Sets a plain scalar of the type to its neutral value as a scalar write would; false when
// the value is not a plain scalar.
bool ResetPlainScalar(TCustomParam& value, uint8_t type)
{
    switch (type) {
    case PT_INT:
        if (int32_t* slot = PlainScalarSlot<TParamInt>(value, PT_INT)) return *slot = 0, true;
        return false;
    case PT_BOOL:
        if (TFlagByte* slot = PlainScalarSlot<TParamFlag>(value, PT_BOOL)) return slot->value = 0, true;
        return false;
    case PT_STR:
        if (std::string* slot = PlainScalarSlot<TParamStr>(value, PT_STR)) return slot->clear(), true;
        return false;
    default: return false;
    }
}

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
    // For each name slot, the first operation whose destination has that name (-1: none).
    const std::vector<int32_t>& first_makers;
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

    // The run's own temporary of a name: the one made by the first operation writing that
    // name (a later one finds it and makes none), once that operation has run.
    TCustomParam* FindPrivate(int32_t first_maker) const
    {
        return first_maker >= 0 ? privates[static_cast<size_t>(first_maker)] : nullptr;
    }

    // The value a name denotes: the run's own temporary of that name, or the table's variable.
    TCustomParam* FindValue(const std::string& name, size_t slot)
    {
        if (private_temporaries) {
            if (TCustomParam* value = FindPrivate(first_makers[slot])) return value;
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
    families_.clear();
    slot_base_.clear();
    size_t slots = 0;
    lookup_key_ = TLookupKey{};
    for (const TOpeData& op : operations_) {
        slot_base_.push_back(slots);
        slots += op.Operands.size() + 1;
        families_.push_back(OpcodeFamily(op.Opcode));
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
    slot_first_maker_.assign(slots, -1);
    slot_temporary_.assign(slots, 0);
    for (size_t i = 0; i < operations_.size(); ++i) {
        const TOpeData& op = operations_[i];
        for (size_t k = 0; k <= op.Operands.size(); ++k) {
            const std::string& name = k < op.Operands.size() ? op.Operands[k].Text : op.Dest;
            if (k < op.Operands.size() && op.Operands[k].Tag != otVariable) continue;
            if (!IsTemporaryName(name)) continue;
            slot_temporary_[slot_base_[i] + k] = 1;
            if (auto found = makers.find(name); found != makers.end()) {
                slot_first_maker_[slot_base_[i] + k] = static_cast<int32_t>(found->second.front());
            }
        }
    }
    ends_with_result_ = !operations_.empty() && operations_.back().Opcode == ocTo && operations_.back().Dest == "____arg";
    result_first_maker_ = -1;
    if (auto found = makers.find("____arg"); found != makers.end()) result_first_maker_ = static_cast<int32_t>(found->second.front());
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
    if (private_temporaries) {
        // A few slots: cleared one by one, cheaper than a call to fill memory.
        privates.resize(operations_.size());
        for (TCustomParam*& slot : privates) slot = nullptr;
    }
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
                  slot_first_maker_,
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
            TCustomParam* own = run.private_temporaries ? run.FindPrivate(result_first_maker_) : nullptr;
            TParamCollectionItem* item = own ? nullptr : run.Find("____arg");
            TCustomParam* value = own ? own : item ? item->Value() : nullptr;
            uint8_t type = value ? value->VarType() : PT_NONE;
            if (own && type >= PT_INT && type <= PT_STR && own->Concrete() == own) {
                // The run's own result temporary: hand it over, and keep the previous result's
                // value object in its slot for the next run.
                std::unique_ptr<TCustomParam>& slot = temporaries_[static_cast<size_t>(result_first_maker_)];
                if (slot.get() == own) {
                    result_ = std::move(slot);
                    slot = std::move(previous_result);
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
    const TOpeData& op = operations_[index];
    const TOpFamily family = families_[index];
    BindOperands(index, family == TOpFamily::Call, run);
    const std::vector<const TCustomParam*>& operands = run.operands;
    static const std::unique_ptr<TCustomParam> kZero = NewParamOfType(PT_INT);
    const TCustomParam& a = operands.size() > 0 ? *operands[0] : *kZero;
    const TCustomParam& b = operands.size() > 1 ? *operands[1] : *kZero;

    // A temporary destination that does not exist yet is made now.
    TCustomParam* destination = nullptr;
    const size_t destination_slot = slot_base_[index] + op.Operands.size();
    if (slot_temporary_[destination_slot] && !(destination = run.FindValue(op.Dest, destination_slot))) {
        destination = MakeTemporary(index, TemporaryType(op, family, operands, a, b, functions), run);
    }
    if (!destination) destination = run.FindValue(op.Dest, destination_slot);
    if (!destination) throw EMobuError(expr_messages::UnknownVariable(op.Dest));
    TCustomParam& d = *destination;

    if (family != TOpFamily::Call && ops::RunPlainIntegers(op.Opcode, family, d, a, b)) return;
    switch (family) {
    case TOpFamily::Copy: ops::RunCopy(d, a); break;
    case TOpFamily::Arithmetic: ops::RunArithmetic(op.Opcode, d, a, b); break;
    case TOpFamily::Concatenate: ops::RunConcatenate(d, a, b, run.text); break;
    case TOpFamily::Comparison: ops::RunComparison(op.Opcode, d, a, b); break;
    case TOpFamily::Element: break;  // bound when its temporary was made
    case TOpFamily::Call: ops::RunCall(op, d, operands, functions, run.arguments); break;
    case TOpFamily::Invalid: ops::FailBadOperation(op, operands);
    }

    // Unbind the references of a call.
    std::vector<std::unique_ptr<TCustomParam>>& values = values_[index];
    for (size_t k = 0; family == TOpFamily::Call && k < values.size(); ++k) {
        if (op.Operands[k].Tag == otVariable) static_cast<TParamVar*>(values[k].get())->Unbind();
    }
}

void TMobuParser::BindOperands(size_t index, bool call, TRunState& run)
{
    // A function receives each variable argument as a reference bound to the variable (taking
    // over the element of an element alias), so it can write through it; the other operations
    // read the variable's value itself, which reads the same element.
    const TOpeData& op = operations_[index];
    std::vector<std::unique_ptr<TCustomParam>>& values = values_[index];
    std::vector<const TCustomParam*>& operands = run.operands;
    // Every entry is written below before the operation reads it.
    operands.resize(values.size());
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
            if (const TCustomParam* value = run.FindPrivate(slot_first_maker_[slot_base_[index] + k])) {
                operands[k] = value;
                continue;
            }
        }
        TParamCollectionItem* item = run.Find(reference->RefName);
        if (!item || !item->Value()) throw EMobuError(expr_messages::UnknownVariable(reference->RefName));
        TCustomParam* value = item->Value();
        reference->SetTable(&run.table);
        // Only forwarding values can be element aliases; plain values bind without a cast.
        auto* alias = value->Concrete() != value ? dynamic_cast<TParamVar*>(value) : nullptr;
        if (alias) {
            reference->Bind(alias->Target(), alias->Offset);
        } else {
            reference->Bind(item, 0);
        }
        operands[k] = reference;
    }
}

uint8_t TMobuParser::TemporaryType(const TOpeData& op, TOpFamily family, const std::vector<const TCustomParam*>& operands,
                                   const TCustomParam& a, const TCustomParam& b, const TSysFuncMan& functions)
{
    switch (family) {
    case TOpFamily::Copy: return ops::CopyType(op, operands, a);
    case TOpFamily::Arithmetic: return ops::ArithmeticType(op.Opcode, a, b);
    case TOpFamily::Concatenate: return PT_STR;
    case TOpFamily::Comparison: return PT_BOOL;
    case TOpFamily::Element: return PT_NONE;
    case TOpFamily::Call: return ops::CallType(op, operands, functions);
    case TOpFamily::Invalid: break;
    }
    ops::FailBadOperation(op, operands);
}

TCustomParam* TMobuParser::MakeTemporary(size_t index, uint8_t type, TRunState& run)
{
    const TOpeData& op = operations_[index];
    TParamCollection& table = run.table;
    TCustomParam* destination = nullptr;
    if (run.private_temporaries) {
        // Reuse the value this operation's temporary had in an earlier run, made fresh.
        std::unique_ptr<TCustomParam>& slot = temporaries_[index];
        if (slot && type != PT_NONE && slot->PlainKind() == type && ResetPlainScalar(*slot, type)) {
            // Reset in place: the value was a plain scalar of the type.
        } else if (slot && type != PT_NONE && slot->VarType() == type) {
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
    if (op.Opcode == ocDimTo) BindElementAlias(index, *destination, run);
    return destination;
}

void TMobuParser::BindElementAlias(size_t index, TCustomParam& destination, TRunState& run)
{
    // ocDimTo: the new temporary becomes an alias of one element of the array named first.
    const TOpeData& op = operations_[index];
    const std::vector<const TCustomParam*>& operands = run.operands;
    auto* alias = dynamic_cast<TParamVar*>(&destination);
    if (!alias) throw EMobuError(expr_messages::InternalError());
    std::vector<int32_t> subscripts;
    for (size_t k = 1; k < operands.size(); ++k) subscripts.push_back(operands[k]->GetInteger());
    std::string array_name = values_[index].empty()               ? std::string()
                             : op.Operands[0].Tag == otVariable ? op.Operands[0].Text
                                                                : operands[0]->GetString();
    run.table.BindElement(*alias, array_name, subscripts);
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
