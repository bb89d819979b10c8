// The human-readable project description "project.ini" that `mobupack build` compiles
// into "mobu.mpb". The format is documented in docs/game-source.md.
#pragma once

#include <string>
#include <string_view>

#include "script/project_setting.h"

namespace mobu {

// Compiles the UTF-8 text of project.ini into a project setting of the newest version.
// Raises EMobuError with "project.ini:LINE: what is wrong" (cp932) on the first fault:
// an unknown section or key, a value that is not a number or yes/no, text that code page
// 932 cannot hold, a missing start page.
TProjectSetting CompileProjectSource(std::string_view utf8_text, const std::string& file_name = "project.ini");

}  // namespace mobu
