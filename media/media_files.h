// How media items reach their files: a name that starts with a path delimiter ("\" or "/")
// or has ':' as its second character is a real file path; every other name is a game file
// read through the virtual file manager.
#pragma once

#include <memory>
#include <string>

#include "archive/range_stream.h"

namespace mobu {

bool IsAbsoluteMediaName(const std::string& cp932_name);
// Throws "%s:ファイルがありません" when the file cannot be opened.
std::unique_ptr<TRangeStream> OpenMediaStream(const std::string& cp932_name);
// The whole file.
std::string ReadMediaFile(const std::string& cp932_name);
// The lower-cased extension with its dot ("" when none).
std::string MediaExtension(const std::string& cp932_name);

}  // namespace mobu
