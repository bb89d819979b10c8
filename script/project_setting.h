// The compiled project file "mobu.mpb": the game's title, screen, start and exit pages,
// flags, prompts, predefined status variables and disk map. Read once while the project is
// created; written by the build tool in the newest version.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/real80.h"
#include "script/folder_disk_list.h"

namespace mobu {

// Variable type codes of the predefined-variable records.
enum TPredefinedType : uint8_t {
    kPredefinedInt = 1,
    kPredefinedReal = 2,
    kPredefinedFlag = 3,
    kPredefinedString = 4,
};

// One predefined status variable: its type, name and initial value. Only the value field
// of its type is meaningful; a record of another type carries no value.
struct TPredefinedVariable {
    uint8_t type = kPredefinedInt;
    std::string name;  // cp932
    int32_t int_value = 0;
    Real real_value = 0;
    bool flag_value = false;
    std::string string_value;  // cp932
};

class TProjectSetting {
public:
    static constexpr int32_t kNewestVersion = 116;

    int32_t version = kNewestVersion;
    std::string title;  // every text is cp932
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    int32_t full_screen_width = 0;
    int32_t full_screen_height = 0;
    std::string start_page;
    std::string exit_page;                                  // from version 110
    std::string registry_key_name;
    int32_t ident_code = 0;
    bool write_status_data = false;                         // from version 104
    bool throttle_frames = false;                           // from version 106
    std::string streamed_extensions = ".wav.wma.ogg.mid";   // from version 109
    bool pause_when_inactive = false;                       // from version 113
    bool first_disk_required = false;                       // from version 114
    bool show_toolbar = true;                               // from version 116
    std::string disk_prompt;
    std::string exit_prompt;
    std::vector<TPredefinedVariable> variables;
    TFolderDiskList disk_map;

    // Parses the stored file. A version above the newest raises "このバージョンには対応して
    // いません"; a damaged file (a count or length that is negative or larger than the
    // bytes left, or a file cut short) raises "プロジェクトがありません".
    static TProjectSetting Parse(std::string_view bytes);

    // The stored file in the newest version (the `version` field is not consulted).
    std::string Write() const;
};

}  // namespace mobu
