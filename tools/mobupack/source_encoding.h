// Source texts (page sources, project.ini, preview-menu and film sources) are UTF-8. A file
// that is not UTF-8 but reads as code page 932 is most likely an old Shift_JIS file: it is
// refused with that said, or converted when the author asks for cp932 sources, never read
// into "?" in silence.
#pragma once

#include <string>
#include <string_view>

namespace mobu::mobupack {

enum class TSourceEncoding { Utf8, Cp932 };

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsUtf8(std::string_view bytes);
// Every byte pair is a code page 932 character with a Unicode counterpart.
bool IsCp932(std::string_view bytes);

// The UTF-8 text of a source file named `utf8_name` (for the message): UTF-8 as it is, cp932
// converted when the sources are declared cp932. Raises EMobuError
// "NAME: this file is Shift_JIS (cp932); save it as UTF-8" for a cp932 file under Utf8,
// and "NAME: this file is not UTF-8" for one that is neither.
std::string SourceTextOf(const std::string& utf8_name, std::string bytes, TSourceEncoding encoding);

}  // namespace mobu::mobupack
