#include "media/media_files.h"

#include <algorithm>

#include "archive/vr_file_manager.h"
#include "platform/text_encoding.h"

namespace mobu {

bool IsAbsoluteMediaName(const std::string& name)
{
    if (name.empty()) return false;
    return name[0] == '\\' || name[0] == '/' || (name.size() >= 2 && name[1] == ':');
}

std::unique_ptr<TRangeStream> OpenMediaStream(const std::string& name)
{
    if (IsAbsoluteMediaName(name)) {
        std::string path = Cp932ToUtf8(name);
        std::replace(path.begin(), path.end(), '\\', '/');
        return std::make_unique<TFileRangeStream>(path, 0, TFileRangeStream::kToEnd);
    }
    return VrFileManager().OpenRangeStream(name);
}

std::string ReadMediaFile(const std::string& name)
{
    auto stream = OpenMediaStream(name);
    std::string bytes(static_cast<size_t>(stream->Size()), '\0');
    size_t got = stream->Read(bytes.data(), bytes.size());
    bytes.resize(got);
    return bytes;
}

std::string MediaExtension(const std::string& name)
{
    size_t dot = name.find_last_of('.');
    size_t slash = name.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return "";
    std::string ext = name.substr(dot);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return ext;
}

}  // namespace mobu
