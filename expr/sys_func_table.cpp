#include "expr/sys_func_table.h"

#include <iterator>
#include <string>
#include <unordered_map>

#include "expr/sys_funcs.h"

namespace mobu {
namespace {

namespace f = sys_funcs;

// Result types.
constexpr uint8_t I = 1, R = 2, F = 3, S = 4, P = 0;
// Argument use: Val, the handler reads its arguments only as values; Ref, it may look names
// up, write through variable arguments or care whether an argument is a variable.
constexpr bool Val = true, Ref = false;
// No handler here: Installed, a function a higher floor installs at start-up
// (TSysFuncMan::SetHandler); it fails as unavailable until then.
constexpr TSysFuncBody Installed = nullptr;

// name, least and most arguments, result type, handler, argument use; the comment is the id.
constexpr TSysFuncInfo kRows[] = {
    {"IntToStr", 1, 2, S, f::IntToStr, Val},            // 0
    {"IntToHex", 2, 2, S, f::IntToHex, Val},            // 1
    {"GetProp", 2, 2, P, Installed, Ref},               // 2
    {"SetProp", 3, 3, S, Installed, Ref},               // 3
    {"GetArraySize", 1, 2, I, f::GetArraySize, Ref},    // 4
    {"Length", 1, 1, I, f::Length, Val},                // 5
    {"JLength", 1, 1, I, f::JLength, Val},              // 6
    {"Copy", 2, 3, S, f::Copy, Val},                    // 7
    {"JCopy", 2, 3, S, f::JCopy, Val},                  // 8
    {"Delete", 2, 3, S, f::Delete, Ref},                // 9
    {"JDelete", 2, 3, S, f::JDelete, Ref},              // 10
    {"Insert", 3, 3, S, f::Insert, Ref},                // 11
    {"JInsert", 3, 3, S, f::JInsert, Ref},              // 12
    {"CompareStr", 2, 2, I, f::CompareStr, Val},        // 13
    {"CompareText", 2, 2, I, f::CompareText, Val},      // 14
    {"Pos", 2, 2, I, f::Pos, Val},                      // 15
    {"JPos", 2, 2, I, f::JPos, Val},                    // 16
    {"Trim", 1, 1, S, f::Trim, Val},                    // 17
    {"JTrim", 1, 1, S, f::JTrim, Val},                  // 18
    {"Exists", 1, 1, F, Installed, Ref},                    // 19
    {"Not", 1, 1, F, f::Not, Val},                      // 20
    {"SetArray", 2, -1, I, f::SetArray, Ref},           // 21
    {"FillMem", 2, 2, I, f::FillMem, Ref},              // 22
    {"CopyMem", 2, 2, I, f::CopyMem, Ref},              // 23
    {"GetCheck", 2, 2, F, Installed, Ref},                  // 24
    {"SetCheck", 3, 3, I, Installed, Ref},                  // 25
    {"Random", 1, 1, I, f::Random, Val},                // 26
    {"GetSaveCaption", 1, 1, S, Installed, Ref},            // 27
    {"ArrayToString", 1, 2, S, f::ArrayToString, Ref},  // 28
    {"StringToArray", 2, 3, I, f::StringToArray, Ref},  // 29
    {"IndexOfStr", 2, 4, I, f::IndexOfStr, Ref},        // 30
    {"SortStr", 1, 3, I, f::SortStr, Ref},              // 31
    {"ListCompo", 1, 3, I, Installed, Ref},                 // 32
    {"ToClientX", 2, 2, I, Installed, Ref},                 // 33
    {"ToClientY", 2, 2, I, Installed, Ref},                 // 34
    {"ToScreenX", 2, 2, I, Installed, Ref},                 // 35
    {"ToScreenY", 2, 2, I, Installed, Ref},                 // 36
    {"Int", 1, 1, I, f::Int, Val},                      // 37
    {"Float", 1, 1, R, f::Float, Val},                  // 38
    {"Sin", 1, 1, R, f::Sin, Val},                      // 39
    {"Cos", 1, 1, R, f::Cos, Val},                      // 40
    {"Tan", 1, 1, R, f::Tan, Val},                      // 41
    {"ArcSin", 1, 1, R, f::ArcSin, Val},                // 42
    {"ArcCos", 1, 1, R, f::ArcCos, Val},                // 43
    {"ArcTan", 1, 1, R, f::ArcTan, Val},                // 44
    {"ArcTan2", 2, 2, R, f::ArcTan2, Val},              // 45
    {"Hypot", 2, 2, R, f::Hypot, Val},                  // 46
    {"IndexOfMenu", 2, 2, I, Installed, Ref},               // 47
    {"Abs", 1, 1, I, f::Abs, Val},                      // 48
    {"Fabs", 1, 1, R, f::Fabs, Val},                    // 49
    {"VarExists", 1, 1, F, f::VarExists, Ref},          // 50
    {"EncodeDate", 3, 3, R, f::EncodeDate, Val},        // 51
    {"EncodeTime", 3, 3, R, f::EncodeTime, Val},        // 52
    {"DecodeDate", 4, 4, I, f::DecodeDate, Ref},        // 53
    {"DecodeTime", 4, 4, I, f::DecodeTime, Ref},        // 54
    {"GetYear", 1, 1, I, f::GetYear, Val},              // 55
    {"GetMonth", 1, 1, I, f::GetMonth, Val},            // 56
    {"GetDay", 1, 1, I, f::GetDay, Val},                // 57
    {"GetHour", 1, 1, I, f::GetHour, Val},              // 58
    {"GetMin", 1, 1, I, f::GetMin, Val},                // 59
    {"GetSec", 1, 1, I, f::GetSec, Val},                // 60
    {"GetWeek", 1, 1, I, f::GetWeek, Val},              // 61
    {"GetWeekStr", 1, 1, S, f::GetWeekStr, Val},        // 62
    {"GetWeekJStr", 1, 1, S, f::GetWeekJStr, Val},      // 63
    {"FixStr", 1, 1, S, f::FixStr, Val},                // 64
    {"GetDisplayMode", 5, 5, F, f::NothingThere, Ref},            // 65
    {"AddArray", 2, 2, I, f::AddArray, Val},            // 66
    {"InsertArray", 3, 3, I, f::InsertArray, Ref},      // 67
    {"DeleteArray", 3, 3, I, f::DeleteArray, Ref},      // 68
    {"InPrimary", 1, 1, F, Installed, Ref},                 // 69
    {"CopyArray", 2, 2, F, f::CopyArray, Ref},          // 70
    {"FileExists", 1, 1, F, f::FileExists, Ref},                // 71
    {"LoadTextFile", 2, 2, F, f::LoadTextFile, Ref},              // 72
    {"LowerCase", 1, 1, S, f::LowerCase, Val},          // 73
    {"UpperCase", 1, 1, S, f::UpperCase, Val},          // 74
    {"ExtractFilePath", 1, 1, S, f::ExtractFilePath, Val},// 75
    {"ExtractFileName", 1, 1, S, f::ExtractFileName, Val},// 76
    {"ExtractFileExt", 1, 1, S, f::ExtractFileExt, Val},// 77
    {"IsPathDelimiter", 2, 2, F, f::IsPathDelimiter, Val},// 78
    {"AddBackSlash", 1, 1, S, f::AddBackSlash, Val},    // 79
    {"ChangeFileExt", 2, 2, S, f::ChangeFileExt, Val},  // 80
    {"IsDelimiter", 3, 3, F, f::IsDelimiter, Val},      // 81
    {"StringOfChar", 2, 2, S, f::StringOfChar, Val},    // 82
    {"StringReplace", 3, 5, S, f::StringReplace, Val},  // 83
    {"AssignTemp", 1, 1, F, f::AssignTemp, Ref},        // 84
    {"HanToZen", 1, 1, S, f::HanToZen, Val},            // 85
    {"ZenToHan", 1, 1, S, f::ZenToHan, Val},            // 86
    {"DBCreateTable", 2, 2, F, Installed, Ref},             // 87
    {"DBSetActive", 1, 1, F, Installed, Ref},               // 88
    {"DBAddField", 2, 3, F, Installed, Ref},                // 89
    {"DBSetRecNo", 1, 1, F, Installed, Ref},                // 90
    {"DBInsert", 0, -1, F, Installed, Ref},                 // 91
    {"DBDelete", 0, 0, F, Installed, Ref},                  // 92
    {"DBGetInt", 1, 1, I, Installed, Ref},                  // 93
    {"DBSetInt", 2, 2, F, Installed, Ref},                  // 94
    {"DBGetFloat", 1, 1, R, Installed, Ref},                // 95
    {"DBSetFloat", 2, 2, F, Installed, Ref},                // 96
    {"DBGetBool", 1, 1, F, Installed, Ref},                 // 97
    {"DBSetBool", 2, 2, F, Installed, Ref},                 // 98
    {"DBGetStr", 1, 1, S, Installed, Ref},                  // 99
    {"DBSetStr", 2, 2, F, Installed, Ref},                  // 100
    {"DBRecordCount", 0, 1, I, Installed, Ref},             // 101
    {"DBFindFirst", 0, 0, F, Installed, Ref},               // 102
    {"DBFindLast", 0, 0, F, Installed, Ref},                // 103
    {"DBFindNext", 0, 0, F, Installed, Ref},                // 104
    {"DBFindPrior", 0, 0, F, Installed, Ref},               // 105
    {"DBLocate", 2, 4, F, Installed, Ref},                  // 106
    {"DBLoadTsvFile", 1, 1, F, Installed, Ref},             // 107
    {"DBDirectGetInt", 7, 7, I, Installed, Ref},            // 108
    {"DBDirectSetInt", 7, 7, F, Installed, Ref},            // 109
    {"DBDirectGetFloat", 7, 7, R, Installed, Ref},          // 110
    {"DBDirectSetFloat", 7, 7, F, Installed, Ref},          // 111
    {"DBDirectGetBool", 7, 7, F, Installed, Ref},           // 112
    {"DBDirectSetBool", 7, 7, F, Installed, Ref},           // 113
    {"DBDirectGetStr", 7, 7, S, Installed, Ref},            // 114
    {"DBDirectSetStr", 7, 7, F, Installed, Ref},            // 115
    {"DBCopyTable", 1, 5, F, Installed, Ref},               // 116
    {"DBDeleteTable", 0, 1, F, Installed, Ref},             // 117
    {"DBInsertTable", 1, 5, F, Installed, Ref},             // 118
    {"DBCopy", 1, 1, F, Installed, Ref},                    // 119
    {"DBClearTable", 0, 0, F, Installed, Ref},              // 120
    {"DBSort", 2, 2, F, Installed, Ref},                    // 121
    {"DBGetActive", 0, 0, S, Installed, Ref},               // 122
    {"DBGetRecNo", 0, 1, I, Installed, Ref},                // 123
    {"DBClearRecord", 0, 1, F, Installed, Ref},             // 124
    {"SetWallPaper", 2, 2, F, f::SetWallPaper, Ref},              // 125
    {"Min", 2, 2, I, f::Min, Val},                      // 126
    {"Max", 2, 2, I, f::Max, Val},                      // 127
    {"Fmin", 2, 2, R, f::Fmin, Val},                    // 128
    {"Fmax", 2, 2, R, f::Fmax, Val},                    // 129
    {"GetVarType", 1, 1, I, f::GetVarType, Ref},        // 130
    {"GetEnabled", 2, 2, F, Installed, Ref},                // 131
    {"SetEnabled", 3, 3, I, Installed, Ref},                // 132
    {"AddDelimiter", 2, 2, S, f::AddDelimiter, Val},    // 133
    {"ListSaveCaption", 0, 2, I, Installed, Ref},           // 134
    {"OpenUrl", 1, 1, I, f::OpenUrl, Ref},                   // 135
    {"Calc", 1, 1, S, f::Calc, Ref},                    // 136
    {"SaveScreen", 1, 5, F, f::NothingThere, Ref},                // 137
    {"StrToIntDef", 2, 2, I, f::StrToIntDef, Val},      // 138
    {"StrToFloatDef", 2, 2, R, f::StrToFloatDef, Val},  // 139
    {"GetVisible", 2, 2, F, Installed, Ref},                // 140
    {"SetVisible", 3, 3, I, Installed, Ref},                // 141
    {"GetHistoryCount", 1, 1, I, Installed, Ref},           // 142
    {"GetHistoryMaxCount", 1, 1, I, Installed, Ref},        // 143
    {"SetHistoryMaxCount", 2, 2, F, Installed, Ref},        // 144
    {"GetGroupIndex", 2, 2, I, Installed, Ref},             // 145
    {"GetSelected", 2, 2, F, Installed, Ref},               // 146
    {"SetSelected", 3, 3, I, Installed, Ref},               // 147
    {"SelectOpenFile", 1, 2, F, f::SelectOpenFile, Ref},            // 148
    {"SelectSaveFile", 1, 2, F, f::SelectSaveFile, Ref},            // 149
    {"SelectDirectory", 1, 1, F, f::SelectDirectory, Ref},           // 150
    {"ExtractFile", 1, 3, F, f::ExtractFile, Ref},               // 151
    {"Chr", 1, 1, S, f::Chr, Val},                      // 152
    {"Ord", 1, 1, I, f::Ord, Val},                      // 153
    {"InCabinet", 1, 1, F, Installed, Ref},                 // 154
    {"PushVar", 1, -1, F, f::PushVar, Ref},             // 155
    {"PopVar", 0, 0, F, f::PopVar, Ref},                // 156
    {"DeleteStack", 1, 1, F, f::NothingThere, Ref},               // 157
    {"CopyFile", 2, 2, F, f::CopyFile, Ref},                  // 158
    {"DBGetTableCount", 0, 0, I, Installed, Ref},           // 159
    {"DBGetTable", 2, 3, F, Installed, Ref},                // 160
};

constexpr bool Named(int id, std::string_view name) { return std::string_view(kRows[id].name) == name; }
static_assert(Named(kSysFuncGetProp, "GetProp") && Named(kSysFuncSetProp, "SetProp") && Named(kSysFuncCalc, "Calc"));
static_assert(Named(kSysFuncExists, "Exists") && Named(kSysFuncGetCheck, "GetCheck") && Named(kSysFuncSetCheck, "SetCheck"));
static_assert(Named(kSysFuncListCompo, "ListCompo") && Named(kSysFuncToClientX, "ToClientX") &&
              Named(kSysFuncToClientY, "ToClientY") && Named(kSysFuncToScreenX, "ToScreenX") &&
              Named(kSysFuncToScreenY, "ToScreenY") && Named(kSysFuncIndexOfMenu, "IndexOfMenu"));
static_assert(Named(kSysFuncGetDisplayMode, "GetDisplayMode") && Named(kSysFuncInPrimary, "InPrimary") &&
              Named(kSysFuncGetEnabled, "GetEnabled") && Named(kSysFuncSetEnabled, "SetEnabled") &&
              Named(kSysFuncSaveScreen, "SaveScreen") && Named(kSysFuncGetVisible, "GetVisible") &&
              Named(kSysFuncSetVisible, "SetVisible") && Named(kSysFuncGetGroupIndex, "GetGroupIndex") &&
              Named(kSysFuncGetSelected, "GetSelected") && Named(kSysFuncSetSelected, "SetSelected") &&
              Named(kSysFuncInCabinet, "InCabinet") && Named(kSysFuncDeleteStack, "DeleteStack"));

}  // namespace

const std::span<const TSysFuncInfo> kSysFuncTable{kRows};
const int kSysFuncCount = static_cast<int>(std::size(kRows));

int FindSysFunc(std::string_view name)
{
    static const std::unordered_map<std::string, int> index = [] {
        std::unordered_map<std::string, int> map;
        for (int id = 0; id < kSysFuncCount; ++id) map.emplace(kSysFuncTable[id].name, id);
        return map;
    }();
    auto found = index.find(std::string(name));
    return found == index.end() ? -1 : found->second;
}

bool SysFuncAcceptsArgCount(int id, int count)
{
    if (id < 0 || id >= kSysFuncCount) return false;
    const TSysFuncInfo& info = kSysFuncTable[id];
    return count >= info.min_args && (info.max_args < 0 || count <= info.max_args);
}

}  // namespace mobu
