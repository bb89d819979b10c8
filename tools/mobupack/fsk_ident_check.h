// Whether a protected layered image unscrambles with an identification code. Protected
// images store their rows (or tiles) in the order of a sequence seeded by the game's code;
// with a wrong code the rows land in a random order and the picture is noise. A right code
// gives rows that follow each other far more smoothly than another code's order does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mobu::mobupack {

// Whether the file (layered-image bytes) is stored scrambled.
bool IsScrambledFesk(std::string_view bytes);

// Empty when `ident_code` unscrambles the first layer into a plausible picture (or the image
// is not scrambled); otherwise why not (UTF-8).
std::string IdentCodeFault(std::string_view bytes, int32_t ident_code);

}  // namespace mobu::mobupack
