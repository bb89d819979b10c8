// The project file "mobu.mpb": any bytes are either read or refused with the project's
// message; what is read writes back and reads again to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/mobu_error.h"
#include "script/project_setting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    TProjectSetting setting;
    try {
        setting = TProjectSetting::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EMobuError&) {
        return 0;
    }
    std::string written = setting.Write();
    TProjectSetting again = TProjectSetting::Parse(written);
    if (again.Write() != written) std::abort();
    if (again.title != setting.title || again.variables.size() != setting.variables.size() ||
        again.disk_map.Entries().size() != setting.disk_map.Entries().size()) {
        std::abort();
    }
    for (const char* name : {"cg\\a.png", "A\\B\\C", "", "\\"}) (void)setting.disk_map.DiskOf(name);
    return 0;
}
