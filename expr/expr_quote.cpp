#include "expr/expr_quote.h"

#include "expr/expr_chars.h"

namespace mobu {

std::string QuoteExpressionString(std::string_view value)
{
    std::string out = "\"";
    size_t i = 0;
    while (i < value.size()) {
        unsigned char byte = static_cast<unsigned char>(value[i]);
        if (IsCp932LeadByte(byte)) {
            if (i + 1 >= value.size()) break;
            out.append(value.substr(i, 2));
            i += 2;
            continue;
        }
        if (byte == '\\' || byte == '"') out.push_back('\\');
        out.push_back(static_cast<char>(byte));
        ++i;
    }
    out.push_back('"');
    return out;
}

std::string BuildQuotedAssignment(std::string_view target, std::string_view value)
{
    return std::string(target) + " = " + QuoteExpressionString(value);
}

}  // namespace mobu
