// The version both programs (mobuplay, mobupack) print for --version.
#pragma once

namespace mobu {

inline constexpr char kMobuVersion[] = "0.1.0";

}  // namespace mobu
