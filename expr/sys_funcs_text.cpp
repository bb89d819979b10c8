// Built-in functions of text: lengths, pieces, searches, case and width.
#include <algorithm>
#include <climits>

#include "expr/jconvert.h"
#include "expr/param_var.h"
#include "expr/script_text.h"
#include "expr/sys_func_call.h"
#include "expr/sys_funcs.h"

namespace mobu::sys_funcs {

void Length(TSysFuncCall& c) { c.result.SetInteger(static_cast<int32_t>(std::min<size_t>(c.Str(0).size(), INT32_MAX))); }
void JLength(TSysFuncCall& c) { c.result.SetInteger(mobu::JLength(c.Str(0))); }

void Copy(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    c.result.SetString(script_text::Copy(s, c.Int(1), c.Has(2) ? c.Int(2) : INT32_MAX));
}

void JCopy(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    c.result.SetString(mobu::JCopy(s, c.Int(1), c.Has(2) ? c.Int(2) : static_cast<int32_t>(s.size())));
}

// Delete and Insert change their text argument in place when it is a variable.
void Delete(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    script_text::Delete(s, c.Int(1), c.Has(2) ? c.Int(2) : INT32_MAX);
    if (TParamVar* var = c.Reference(0)) var->SetString(s);
}

void JDelete(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    mobu::JDelete(s, c.Int(1), c.Has(2) ? c.Int(2) : mobu::JLength(s));
    if (TParamVar* var = c.Reference(0)) var->SetString(s);
}

void Insert(TSysFuncCall& c)
{
    std::string sub = c.Str(0), s = c.Str(1);
    CheckTextSize(sub.size() + s.size());
    script_text::Insert(sub, s, c.Int(2));
    if (TParamVar* var = c.Reference(1)) var->SetString(s);
}

void JInsert(TSysFuncCall& c)
{
    std::string sub = c.Str(0), s = c.Str(1);
    CheckTextSize(sub.size() + s.size());
    mobu::JInsert(sub, s, c.Int(2));
    if (TParamVar* var = c.Reference(1)) var->SetString(s);
}

void CompareStr(TSysFuncCall& c) { c.result.SetInteger(script_text::CompareStr(c.Str(0), c.Str(1))); }
void CompareText(TSysFuncCall& c) { c.result.SetInteger(script_text::CompareText(c.Str(0), c.Str(1))); }
void Pos(TSysFuncCall& c) { c.result.SetInteger(script_text::Pos(c.Str(0), c.Str(1))); }
void JPos(TSysFuncCall& c) { c.result.SetInteger(mobu::JPos(c.Str(0), c.Str(1))); }
void Trim(TSysFuncCall& c) { c.result.SetString(script_text::Trim(c.Str(0))); }
void JTrim(TSysFuncCall& c) { c.result.SetString(mobu::JTrim(c.Str(0))); }
void FixStr(TSysFuncCall& c) { c.result.SetString(script_text::FixStr(c.Str(0))); }
void LowerCase(TSysFuncCall& c) { c.result.SetString(script_text::LowerCase(c.Str(0))); }
void UpperCase(TSysFuncCall& c) { c.result.SetString(script_text::UpperCase(c.Str(0))); }
void IsDelimiter(TSysFuncCall& c) { c.result.SetFlag(script_text::IsDelimiter(c.Str(0), c.Str(1), c.Int(2))); }

void StringOfChar(TSysFuncCall& c)
{
    std::string s = c.Str(0);
    int32_t n = c.Int(1);
    if (n > 0 && !s.empty()) CheckTextSize(s.size() * static_cast<size_t>(n));
    std::string out;
    for (int32_t i = 0; i < n && !s.empty(); ++i) out += s;
    c.result.SetString(out);
}

void StringReplace(TSysFuncCall& c)
{
    bool all = c.Has(3) && c.Flag(3);
    bool ignore_case = c.Has(4) && c.Flag(4);
    c.result.SetString(
        script_text::StringReplace(c.Str(0), c.Str(1), c.Str(2), all, ignore_case, TSysFuncMan::kMaxBuiltText));
}

void HanToZen(TSysFuncCall& c) { c.result.SetString(mobu::HanToZen(c.Str(0))); }
void ZenToHan(TSysFuncCall& c) { c.result.SetString(mobu::ZenToHan(c.Str(0))); }

void AddDelimiter(TSysFuncCall& c)
{
    std::string s = c.Str(1);
    c.result.SetString(s.empty() ? std::string() : s + c.Str(0));
}

}  // namespace mobu::sys_funcs
