// Built-in functions of file name text.
#include "expr/script_text.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {

void ExtractFilePath(TSysFuncCall& c) { c.result.SetString(script_text::ExtractFilePath(c.Str(0))); }
void ExtractFileName(TSysFuncCall& c) { c.result.SetString(script_text::ExtractFileName(c.Str(0))); }
void ExtractFileExt(TSysFuncCall& c) { c.result.SetString(script_text::ExtractFileExt(c.Str(0))); }
void IsPathDelimiter(TSysFuncCall& c) { c.result.SetFlag(script_text::IsPathDelimiter(c.Str(0), c.Int(1))); }
void AddBackSlash(TSysFuncCall& c) { c.result.SetString(script_text::AddBackSlash(c.Str(0))); }
void ChangeFileExt(TSysFuncCall& c) { c.result.SetString(script_text::ChangeFileExt(c.Str(0), c.Str(1))); }

}  // namespace mobu::sys_funcs
