#include "script/command.h"

#include "expr/custom_param.h"
#include "expr/mobu_parser.h"
#include "script/call_man.h"
#include "script/page.h"
#include "script/page_messages.h"
#include "script/property_names.h"

namespace mobu {

TRecordField::TRecordField() = default;
TRecordField::TRecordField(TRecordField&&) noexcept = default;
TRecordField& TRecordField::operator=(TRecordField&&) noexcept = default;
TRecordField::~TRecordField() = default;

TCommand::TCommand(TComList* owner, uint8_t id) : owner_(owner), id_(id) {}
TCommand::~TCommand() = default;

TPage* TCommand::Page() const { return owner_ ? owner_->Page() : nullptr; }

int32_t TCommand::Index() const { return owner_ ? owner_->IndexOf(this) : -1; }

void TCommand::Exec(TCallMan&, TPage*&, int32_t& pc) { ++pc; }

TMobuParser* TCommand::Expr(size_t field) const
{
    return field < fields_.size() ? fields_[field].expr.get() : nullptr;
}

namespace {

std::unique_ptr<TMobuParser> ReadExpression(ByteReader& in)
{
    auto expr = std::make_unique<TMobuParser>();
    expr->LoadFromStream(in);
    return expr;
}

}  // namespace

void TCommand::ReadField(ByteReader& in, const TFieldInfo& info, TRecordField& field)
{
    field.present = true;
    switch (info.kind) {
    case TFieldKind::Expr: field.expr = ReadExpression(in); break;
    case TFieldKind::String:
    case TFieldKind::Text: field.text = in.String(); break;
    case TFieldKind::Int32: field.number = in.I32(); break;
    case TFieldKind::Byte: field.number = in.U8(); break;
    case TFieldKind::ExprList: {
        size_t count = in.Count(4);  // an expression is at least its operation count
        for (size_t i = 0; i < count; ++i) field.list.push_back(ReadExpression(in));
        break;
    }
    case TFieldKind::Properties: {
        const TPage* page = Page();
        properties_.resize(kPropertyCount);
        if (!page) break;
        const TPropertyMask& mask = page->PropertyMasks[id_];
        for (int i = 0; i < kPropertyCount; ++i) {
            if (MaskHas(mask, i)) properties_[static_cast<size_t>(i)] = ReadExpression(in);
        }
        break;
    }
    }
}

void TCommand::LoadRecord(ByteReader& in)
{
    Depth = in.I32();
    Disabled = in.U8();
    ContinueFlag = in.U8();
    LineNo = in.I32();
    const TPage* page = Page();
    const int32_t version = page ? page->PageVersion : kNewestPageVersion;
    const TCommandInfo& info = Info();
    fields_.clear();
    fields_.resize(info.fields.size());
    for (size_t i = 0; i < info.fields.size(); ++i) {
        if (version > info.fields[i].after_version) ReadField(in, info.fields[i], fields_[i]);
    }
}

const TCustomParam* Evaluate(TCallMan& calls, TMobuParser* expr)
{
    if (expr == nullptr || expr->Empty() || calls.Functions() == nullptr) return nullptr;
    expr->Execute(*calls.Functions());
    return expr->Result();
}

bool EvalFlag(TCallMan& calls, TMobuParser* expr, bool fallback, bool* present)
{
    const TCustomParam* value = Evaluate(calls, expr);
    if (present) *present = value != nullptr;
    return value ? value->GetFlag() : fallback;
}

int32_t EvalInteger(TCallMan& calls, TMobuParser* expr, int32_t fallback, bool* present)
{
    const TCustomParam* value = Evaluate(calls, expr);
    if (present) *present = value != nullptr;
    return value ? value->GetInteger() : fallback;
}

std::string EvalString(TCallMan& calls, TMobuParser* expr, const std::string& fallback, bool* present)
{
    const TCustomParam* value = Evaluate(calls, expr);
    if (present) *present = value != nullptr;
    return value ? value->GetString() : fallback;
}

void WriteStateTag(ByteWriter& out) { out.Raw("mobu100"); }

int32_t ReadStateTag(ByteReader& in)
{
    const size_t start = in.Position();
    if (in.Remaining() < 4 || std::string_view(reinterpret_cast<const char*>(in.Data() + start), 4) != "mobu") {
        return 0;
    }
    in.Skip(4);
    int32_t version = 0;
    for (int i = 0; i < 3; ++i) {
        uint8_t digit = in.U8();
        if (digit < '0' || digit > '9') throw EMobuError(page_messages::DamagedState());
        version = version * 10 + (digit - '0');
    }
    return version;
}

}  // namespace mobu
