// The options `mobupack build` and `mobupack check` share.
#pragma once

#include <string>
#include <vector>

#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {

inline constexpr char kBuildOptionsUsage[] = "[--werror] [--source-encoding utf-8|cp932]";

struct TBuildOptions {
    bool warnings_are_errors = false;
    TSourceEncoding source_encoding = TSourceEncoding::Utf8;

    void ApplyTo(TBuildContext& context) const;
};

// Separates the options from the other arguments (which go to `rest`). False for an unknown
// option or a missing or unknown value.
bool ReadBuildOptions(const std::vector<std::string>& arguments, TBuildOptions& options, std::vector<std::string>& rest);

}  // namespace mobu::mobupack
