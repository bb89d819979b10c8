// "install.dat": any bytes are either read or refused; what is read writes back as is108
// and reads again to the same fields the player uses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/mobu_error.h"
#include "script/install_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    TInstallData install;
    try {
        install = TInstallData::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EMobuError&) {
        return 0;
    }
    std::string written = install.Write();
    TInstallData again = TInstallData::Parse(written);
    if (again.version != 108 || again.title != install.title || again.disk_index != install.disk_index ||
        again.created_files != install.created_files || again.no_disk_needed != install.no_disk_needed ||
        again.unknown_tail != install.unknown_tail) {
        std::abort();
    }
    return 0;
}
