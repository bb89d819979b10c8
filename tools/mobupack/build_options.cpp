#include "tools/mobupack/build_options.h"

namespace mobu::mobupack {

void TBuildOptions::ApplyTo(TBuildContext& context) const
{
    context.warnings_are_errors = warnings_are_errors;
    context.source_encoding = source_encoding;
}

bool ReadBuildOptions(const std::vector<std::string>& arguments, TBuildOptions& options, std::vector<std::string>& rest)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--werror") {
            options.warnings_are_errors = true;
        } else if (argument == "--source-encoding") {
            if (i + 1 >= arguments.size()) return false;
            const std::string& value = arguments[++i];
            if (value == "utf-8" || value == "UTF-8" || value == "utf8") options.source_encoding = TSourceEncoding::Utf8;
            else if (value == "cp932" || value == "shift_jis" || value == "Shift_JIS") options.source_encoding = TSourceEncoding::Cp932;
            else return false;
        } else if (argument.rfind("--", 0) == 0) {
            return false;
        } else {
            rest.push_back(argument);
        }
    }
    return true;
}

}  // namespace mobu::mobupack
