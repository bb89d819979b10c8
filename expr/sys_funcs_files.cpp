// Built-in functions over game files: FileExists, LoadTextFile and CopyFile.
#include <string>
#include <vector>

#include "archive/save_entry_writer.h"
#include "archive/vr_file_manager.h"
#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "expr/param_var.h"
#include "expr/script_text.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {

void FileExists(TSysFuncCall& c)
{
    const std::string path = c.Str(0);
    bool found = false;
    try {
        found = !path.empty() && VrFileManager().Exists(path);
    } catch (const EMobuError&) {
        found = false;
    }
    c.result.SetFlag(found);
}

// LoadTextFile(var, path): the file's lines (ending at CR LF, LF or CR; a final break adds
// no empty line) into var as a one-dimensional array. FALSE for a missing or empty file, one
// larger than the biggest text a function builds, or a first argument that is no variable.
void LoadTextFile(TSysFuncCall& c)
{
    c.result.SetFlag(false);
    TParamVar* var = c.Reference(0);
    const std::string path = c.Str(1);
    if (!var || path.empty()) return;
    std::string text;
    try {
        TVrFileManager& files = VrFileManager();
        if (!files.Exists(path)) return;
        auto stream = files.OpenRangeStream(path);
        if (!stream || stream->Size() <= 0 || static_cast<uint64_t>(stream->Size()) > TSysFuncMan::kMaxBuiltText) return;
        text = files.ReadFile(path);
    } catch (const EMobuError&) {
        return;
    }
    if (text.empty() || text.size() > TSysFuncMan::kMaxBuiltText) return;
    StoreStringArray(*var, script_text::SplitLines(text));
    c.result.SetFlag(true);
}

// CopyFile(src, dst): both "mem:" or "save:" names; the source must exist; the destination
// memory file receives its bytes (a "save:" one also the save file). A destination that is
// the source itself (names equal without case) stays as it is: TRUE.
void CopyFile(TSysFuncCall& c)
{
    c.result.SetFlag(false);
    const std::string source = c.Str(0), destination = c.Str(1);
    auto memory_name = [](const std::string& name) { return IsMemoryFileName(name) || IsSaveFileName(name); };
    if (!memory_name(source) || !memory_name(destination)) return;
    TVrFileManager& files = VrFileManager();
    if (files.ArchiveCount() == 0) return;
    TVrFile* entry = files.Archive(0).Find(source);
    if (!entry || !entry->IsMemory()) return;
    if (JSameText(source, destination)) {
        c.result.SetFlag(true);
        return;
    }
    const std::string bytes = entry->MemData->Data();
    c.result.SetFlag(WriteMemoryFile(destination, bytes));
}

}  // namespace mobu::sys_funcs
