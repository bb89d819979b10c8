// The texts the file dialogs read from outside: a Windows filter text from the script and a
// helper program's output. Every filter kept has a name and blank-free patterns; an accepted
// output is one non-empty line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/file_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mobu;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const TFileFilter& filter : ParseWindowsFilter(text)) {
        if (filter.name.empty() || filter.patterns.empty()) std::abort();
        for (const auto& pattern : filter.patterns) {
            if (pattern.empty() || pattern.find(';') != std::string::npos || pattern.find('|') != std::string::npos)
                std::abort();
        }
        (void)ZenityArguments(TFileDialogKind::Open, {filter}, "/d");
    }
    if (auto chosen = ParseDialogOutput(text)) {
        if (chosen->empty() || chosen->find('\n') != std::string::npos || chosen->find('\0') != std::string::npos)
            std::abort();
    }
    return 0;
}
