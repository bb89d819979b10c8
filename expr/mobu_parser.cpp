#include "expr/mobu_parser.h"

#include "expr/custom_param.h"
#include "expr/opcodes.h"

namespace mobu {

TMobuParser::TMobuParser() = default;
TMobuParser::~TMobuParser() = default;

std::unique_ptr<TCustomParam> TMobuParser::TakeResult() { return std::move(result_); }

namespace {

// Smallest stored sizes: an operation is opcode + empty name + count; an operand is a tag and
// at least one byte of payload.
constexpr size_t kMinOperationSize = 1 + 4 + 4;
constexpr size_t kMinOperandSize = 2;

TOperand ReadOperand(ByteReader& in)
{
    TOperand operand;
    operand.Tag = in.U8();
    switch (operand.Tag) {
    case otVariable:
    case otString:
        operand.Text = in.String();
        break;
    case otInteger:
        operand.Integer = in.I32();
        break;
    case otReal:
        operand.Float = in.Real80();
        break;
    case otFlag:
        operand.Flag = in.U8() != 0;
        break;
    default:
        in.Fail();
    }
    return operand;
}

void WriteOperand(ByteWriter& out, const TOperand& operand)
{
    out.U8(operand.Tag);
    switch (operand.Tag) {
    case otInteger:
        out.I32(operand.Integer);
        break;
    case otReal:
        out.Real80(operand.Float);
        break;
    case otFlag:
        out.Flag(operand.Flag);
        break;
    default:
        out.String(operand.Text);
        break;
    }
}

}  // namespace

void TMobuParser::LoadFromStream(ByteReader& in)
{
    operations_.clear();
    values_.clear();
    try {
        size_t count = in.Count(kMinOperationSize);
        std::vector<TOpeData> loaded;
        loaded.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            TOpeData op;
            op.Opcode = in.U8();
            op.Dest = in.String();
            size_t operand_count = in.Count(kMinOperandSize);
            if (op.Opcode == ocFunc) op.FuncId = in.U8();
            op.Operands.reserve(operand_count);
            for (size_t k = 0; k < operand_count; ++k) op.Operands.push_back(ReadOperand(in));
            loaded.push_back(std::move(op));
        }
        // The run form is built by the first run: a page holds many expressions that may
        // never run, and loading it should cost no more than reading them.
        operations_ = std::move(loaded);
    } catch (...) {
        operations_.clear();
        values_.clear();
        throw;
    }
}

void TMobuParser::LoadFromBytes(std::string_view bytes)
{
    ByteReader in(bytes);
    LoadFromStream(in);
}

void TMobuParser::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(operations_.size()));
    for (const TOpeData& op : operations_) {
        out.U8(op.Opcode);
        out.String(op.Dest);
        out.I32(static_cast<int32_t>(op.Operands.size()));
        if (op.Opcode == ocFunc) out.U8(op.FuncId);
        for (const TOperand& operand : op.Operands) WriteOperand(out, operand);
    }
}

std::string TMobuParser::ToStream() const
{
    ByteWriter out;
    SaveToStream(out);
    return out.Take();
}

void TMobuParser::Assign(const TMobuParser& other)
{
    if (&other == this) return;
    operations_ = other.operations_;
    Prepare();
}

}  // namespace mobu
