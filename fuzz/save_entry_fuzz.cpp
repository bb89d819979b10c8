// Reads arbitrary bytes as the save container does: the first byte picks a game-save entry
// loaded into a fresh player state, the status data, or the history formats' saved form
// (the second byte then gives the version); refused or loaded, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "components/base_list_call_components.h"
#include "components/game_save_data.h"
#include "components/mobu_base_list.h"
#include "components/mobu_history.h"
#include "core/byte_reader.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "script/call_man.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    mobu::TMobuBaseList list;
    mobu::TParamCollection table;
    mobu::TSysFuncMan functions(table);
    mobu::TBaseListCallComponents components(list);
    mobu::TCallMan calls(&functions, &components);
    mobu::TGameSaveData save(mobu::TGameSaveParts{&list, [&] { return &calls; }, [&] { return &table; }});
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    mobu::HistoryFormats().Reset();
    try {
        switch (data[0] % 3) {
        case 0:
            save.LoadGameEntry(bytes);
            list.DrawPass();
            list.UpdatePass();
            save.BuildGameEntry("c", "", 0);
            break;
        case 1:
            save.LoadStatusEntry(bytes);
            save.BuildStatusEntry();
            break;
        default: {
            mobu::ByteReader in(data + 2, size - 2);
            mobu::HistoryFormats().LoadFromStream(in, 107 + data[1] % 34);
            break;
        }
        }
    } catch (const std::exception&) {
    }
    mobu::HistoryFormats().Reset();
    return 0;
}
