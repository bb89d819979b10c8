#include "platform/process_paths.h"

#include <filesystem>

namespace mobu {

std::string ExecutablePath()
{
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string ExecutableFolder()
{
    std::string path = ExecutablePath();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace mobu
