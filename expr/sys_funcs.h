// The handlers of the built-in functions, by family; each family lives in its own file
// (expr/sys_funcs_<family>.cpp) and the table (expr/sys_func_table.cpp) names them by row.
#pragma once

#include <string_view>

namespace mobu {

struct TSysFuncCall;

namespace sys_funcs {

// ---- values and conversions (sys_funcs_value.cpp) ----
void IntToStr(TSysFuncCall& call);
void IntToHex(TSysFuncCall& call);
void Not(TSysFuncCall& call);
void Int(TSysFuncCall& call);
void Float(TSysFuncCall& call);
void GetVarType(TSysFuncCall& call);
void StrToIntDef(TSysFuncCall& call);
void StrToFloatDef(TSysFuncCall& call);
void Chr(TSysFuncCall& call);
void Ord(TSysFuncCall& call);

// ---- text (sys_funcs_text.cpp) ----
void Length(TSysFuncCall& call);
void JLength(TSysFuncCall& call);
void Copy(TSysFuncCall& call);
void JCopy(TSysFuncCall& call);
void Delete(TSysFuncCall& call);
void JDelete(TSysFuncCall& call);
void Insert(TSysFuncCall& call);
void JInsert(TSysFuncCall& call);
void CompareStr(TSysFuncCall& call);
void CompareText(TSysFuncCall& call);
void Pos(TSysFuncCall& call);
void JPos(TSysFuncCall& call);
void Trim(TSysFuncCall& call);
void JTrim(TSysFuncCall& call);
void FixStr(TSysFuncCall& call);
void LowerCase(TSysFuncCall& call);
void UpperCase(TSysFuncCall& call);
void IsDelimiter(TSysFuncCall& call);
void StringOfChar(TSysFuncCall& call);
void StringReplace(TSysFuncCall& call);
void HanToZen(TSysFuncCall& call);
void ZenToHan(TSysFuncCall& call);
void AddDelimiter(TSysFuncCall& call);

// ---- file name text (sys_funcs_path.cpp) ----
void ExtractFilePath(TSysFuncCall& call);
void ExtractFileName(TSysFuncCall& call);
void ExtractFileExt(TSysFuncCall& call);
void IsPathDelimiter(TSysFuncCall& call);
void AddBackSlash(TSysFuncCall& call);
void ChangeFileExt(TSysFuncCall& call);

// ---- arithmetic and random numbers (sys_funcs_math.cpp) ----
void Random(TSysFuncCall& call);
void Sin(TSysFuncCall& call);
void Cos(TSysFuncCall& call);
void Tan(TSysFuncCall& call);
void ArcSin(TSysFuncCall& call);
void ArcCos(TSysFuncCall& call);
void ArcTan(TSysFuncCall& call);
void ArcTan2(TSysFuncCall& call);
void Hypot(TSysFuncCall& call);
void Abs(TSysFuncCall& call);
void Fabs(TSysFuncCall& call);
void Min(TSysFuncCall& call);
void Max(TSysFuncCall& call);
void Fmin(TSysFuncCall& call);
void Fmax(TSysFuncCall& call);

// ---- dates and times (sys_funcs_date.cpp) ----
void EncodeDate(TSysFuncCall& call);
void EncodeTime(TSysFuncCall& call);
void DecodeDate(TSysFuncCall& call);
void DecodeTime(TSysFuncCall& call);
void GetYear(TSysFuncCall& call);
void GetMonth(TSysFuncCall& call);
void GetDay(TSysFuncCall& call);
void GetHour(TSysFuncCall& call);
void GetMin(TSysFuncCall& call);
void GetSec(TSysFuncCall& call);
void GetWeek(TSysFuncCall& call);
void GetWeekStr(TSysFuncCall& call);
void GetWeekJStr(TSysFuncCall& call);

// ---- arrays (sys_funcs_array.cpp) ----
void GetArraySize(TSysFuncCall& call);
void SetArray(TSysFuncCall& call);
void FillMem(TSysFuncCall& call);
void CopyMem(TSysFuncCall& call);
void ArrayToString(TSysFuncCall& call);
void StringToArray(TSysFuncCall& call);
void IndexOfStr(TSysFuncCall& call);
void SortStr(TSysFuncCall& call);
void AddArray(TSysFuncCall& call);
void InsertArray(TSysFuncCall& call);
void DeleteArray(TSysFuncCall& call);
void CopyArray(TSysFuncCall& call);

// ---- the variable table and running text (sys_funcs_vars.cpp) ----
void VarExists(TSysFuncCall& call);
void AssignTemp(TSysFuncCall& call);
void Calc(TSysFuncCall& call);
void PushVar(TSysFuncCall& call);
void PopVar(TSysFuncCall& call);

// ---- game files (sys_funcs_files.cpp) ----
void FileExists(TSysFuncCall& call);
void LoadTextFile(TSysFuncCall& call);
void CopyFile(TSysFuncCall& call);

// ---- copying game files out (sys_funcs_extract.cpp) ----
void ExtractFile(TSysFuncCall& call);

// ---- the desktop (sys_funcs_desktop.cpp) ----
void OpenUrl(TSysFuncCall& call);
void SelectOpenFile(TSysFuncCall& call);
void SelectSaveFile(TSysFuncCall& call);
void SelectDirectory(TSysFuncCall& call);
void SetWallPaper(TSysFuncCall& call);

// ---- what has no screen, display or call stack to act on (sys_funcs_value.cpp) ----
// FALSE: GetDisplayMode without display modes, SaveScreen without a screen, DeleteStack
// without a call stack. The main window and the call manager install the real ones.
void NothingThere(TSysFuncCall& call);

}  // namespace sys_funcs

// Whether the file name matches the pattern: "*" any run of characters, "?" one character
// (a two-byte character is one), ASCII letters without case.
bool WildcardMatches(std::string_view pattern, std::string_view name);
}  // namespace mobu
