#include "expr/custom_param.h"

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/jconvert.h"
#include "expr/param_messages.h"

namespace mobu {

int32_t CheckedElementCount(const std::vector<int32_t>& sizes)
{
    int64_t product = 1;
    bool valid = true;
    for (int32_t size : sizes) {
        if (size <= 0) {
            valid = false;
            break;
        }
        product *= size;
        if (product > kMaxArrayElements) {
            valid = false;
            break;
        }
    }
    if (!valid) {
        std::string joined;
        for (size_t k = 0; k < sizes.size(); ++k) {
            if (k) joined += ',';
            joined += std::to_string(sizes[k]);
        }
        throw EMobuError(FormatMessage(MsgBadElementCount(), joined));
    }
    return static_cast<int32_t>(product);
}

void FailBadSubscript(int32_t index)
{
    throw EMobuError(FormatMessage(MsgBadSubscript(), std::to_string(index)));
}

int32_t TCustomParam::DimCount() const { return Dims.empty() ? 1 : static_cast<int32_t>(Dims.size()); }

int32_t TCustomParam::DimSize(int32_t k) const
{
    if (k < 0 || static_cast<size_t>(k) >= Dims.size()) return 1;
    return Dims[static_cast<size_t>(k)];
}

void TCustomParam::AssignAll(const TCustomParam& other) { Dims = other.Dims; }

void TCustomParam::SetDims(const std::vector<int32_t>& sizes)
{
    const int32_t count = CheckedElementCount(sizes);
    Dims = sizes;
    SetCount(count);
}

void TCustomParam::CopyFrom(const TCustomParam&) {}

void TCustomParam::SaveToStream(ByteWriter& out) const
{
    out.I32(static_cast<int32_t>(Dims.size()));
    for (int32_t size : Dims) out.I32(size);
}

std::vector<int32_t> TCustomParam::ReadDims(ByteReader& in)
{
    const size_t count = in.Count(4);
    std::vector<int32_t> dims(count);
    for (auto& size : dims) size = in.I32();
    if (!dims.empty()) CheckedElementCount(dims);
    return dims;
}

void TCustomParam::LoadFromStream(ByteReader& in) { Dims = ReadDims(in); }

void TCustomParam::DropDims()
{
    if (Dims.empty()) return;
    Dims.clear();
    SetCount(1);
}

int32_t TCustomParam::IndexOfText(std::string_view text, bool case_sensitive, bool partial) const
{
    const std::string lowered_text = partial && !case_sensitive ? JLowerCase(text) : std::string();
    const int32_t count = Count();
    for (int32_t i = 0; i < count; ++i) {
        const std::string element = GetStringAt(i);
        bool match;
        if (partial) {
            match = case_sensitive ? element.find(text) != std::string::npos
                                   : JLowerCase(element).find(lowered_text) != std::string::npos;
        } else {
            match = case_sensitive ? element == text : JSameText(element, text);
        }
        if (match) return i;
    }
    return -1;
}

}  // namespace mobu
