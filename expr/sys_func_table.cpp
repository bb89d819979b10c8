#include "expr/sys_func_table.h"

#include <string>
#include <unordered_map>

namespace mobu {
namespace {
constexpr uint8_t I = 1, R = 2, F = 3, S = 4, P = 0;
}  // namespace

const std::array<TSysFuncInfo, kSysFuncCount> kSysFuncTable = {{
    {"IntToStr", 1, 2, S},            // 0
    {"IntToHex", 2, 2, S},            // 1
    {"GetProp", 2, 2, P},             // 2
    {"SetProp", 3, 3, S},             // 3
    {"GetArraySize", 1, 2, I},        // 4
    {"Length", 1, 1, I},              // 5
    {"JLength", 1, 1, I},             // 6
    {"Copy", 2, 3, S},                // 7
    {"JCopy", 2, 3, S},               // 8
    {"Delete", 2, 3, S},              // 9
    {"JDelete", 2, 3, S},             // 10
    {"Insert", 3, 3, S},              // 11
    {"JInsert", 3, 3, S},             // 12
    {"CompareStr", 2, 2, I},          // 13
    {"CompareText", 2, 2, I},         // 14
    {"Pos", 2, 2, I},                 // 15
    {"JPos", 2, 2, I},                // 16
    {"Trim", 1, 1, S},                // 17
    {"JTrim", 1, 1, S},               // 18
    {"Exists", 1, 1, F},              // 19
    {"Not", 1, 1, F},                 // 20
    {"SetArray", 2, -1, I},           // 21
    {"FillMem", 2, 2, I},             // 22
    {"CopyMem", 2, 2, I},             // 23
    {"GetCheck", 2, 2, F},            // 24
    {"SetCheck", 3, 3, I},            // 25
    {"Random", 1, 1, I},              // 26
    {"GetSaveCaption", 1, 1, S},      // 27
    {"ArrayToString", 1, 2, S},       // 28
    {"StringToArray", 2, 3, I},       // 29
    {"IndexOfStr", 2, 4, I},          // 30
    {"SortStr", 1, 3, I},             // 31
    {"ListCompo", 1, 3, I},           // 32
    {"ToClientX", 2, 2, I},           // 33
    {"ToClientY", 2, 2, I},           // 34
    {"ToScreenX", 2, 2, I},           // 35
    {"ToScreenY", 2, 2, I},           // 36
    {"Int", 1, 1, I},                 // 37
    {"Float", 1, 1, R},               // 38
    {"Sin", 1, 1, R},                 // 39
    {"Cos", 1, 1, R},                 // 40
    {"Tan", 1, 1, R},                 // 41
    {"ArcSin", 1, 1, R},              // 42
    {"ArcCos", 1, 1, R},              // 43
    {"ArcTan", 1, 1, R},              // 44
    {"ArcTan2", 2, 2, R},             // 45
    {"Hypot", 2, 2, R},               // 46
    {"IndexOfMenu", 2, 2, I},         // 47
    {"Abs", 1, 1, I},                 // 48
    {"Fabs", 1, 1, R},                // 49
    {"VarExists", 1, 1, F},           // 50
    {"EncodeDate", 3, 3, R},          // 51
    {"EncodeTime", 3, 3, R},          // 52
    {"DecodeDate", 4, 4, I},          // 53
    {"DecodeTime", 4, 4, I},          // 54
    {"GetYear", 1, 1, I},             // 55
    {"GetMonth", 1, 1, I},            // 56
    {"GetDay", 1, 1, I},              // 57
    {"GetHour", 1, 1, I},             // 58
    {"GetMin", 1, 1, I},              // 59
    {"GetSec", 1, 1, I},              // 60
    {"GetWeek", 1, 1, I},             // 61
    {"GetWeekStr", 1, 1, S},          // 62
    {"GetWeekJStr", 1, 1, S},         // 63
    {"FixStr", 1, 1, S},              // 64
    {"GetDisplayMode", 5, 5, F},      // 65
    {"AddArray", 2, 2, I},            // 66
    {"InsertArray", 3, 3, I},         // 67
    {"DeleteArray", 3, 3, I},         // 68
    {"InPrimary", 1, 1, F},           // 69
    {"CopyArray", 2, 2, F},           // 70
    {"FileExists", 1, 1, F},          // 71
    {"LoadTextFile", 2, 2, F},        // 72
    {"LowerCase", 1, 1, S},           // 73
    {"UpperCase", 1, 1, S},           // 74
    {"ExtractFilePath", 1, 1, S},     // 75
    {"ExtractFileName", 1, 1, S},     // 76
    {"ExtractFileExt", 1, 1, S},      // 77
    {"IsPathDelimiter", 2, 2, F},     // 78
    {"AddBackSlash", 1, 1, S},        // 79
    {"ChangeFileExt", 2, 2, S},       // 80
    {"IsDelimiter", 3, 3, F},         // 81
    {"StringOfChar", 2, 2, S},        // 82
    {"StringReplace", 3, 5, S},       // 83
    {"AssignTemp", 1, 1, F},          // 84
    {"HanToZen", 1, 1, S},            // 85
    {"ZenToHan", 1, 1, S},            // 86
    {"DBCreateTable", 2, 2, F},       // 87
    {"DBSetActive", 1, 1, F},         // 88
    {"DBAddField", 2, 3, F},          // 89
    {"DBSetRecNo", 1, 1, F},          // 90
    {"DBInsert", 0, -1, F},           // 91
    {"DBDelete", 0, 0, F},            // 92
    {"DBGetInt", 1, 1, I},            // 93
    {"DBSetInt", 2, 2, F},            // 94
    {"DBGetFloat", 1, 1, R},          // 95
    {"DBSetFloat", 2, 2, F},          // 96
    {"DBGetBool", 1, 1, F},           // 97
    {"DBSetBool", 2, 2, F},           // 98
    {"DBGetStr", 1, 1, S},            // 99
    {"DBSetStr", 2, 2, F},            // 100
    {"DBRecordCount", 0, 1, I},       // 101
    {"DBFindFirst", 0, 0, F},         // 102
    {"DBFindLast", 0, 0, F},          // 103
    {"DBFindNext", 0, 0, F},          // 104
    {"DBFindPrior", 0, 0, F},         // 105
    {"DBLocate", 2, 4, F},            // 106
    {"DBLoadTsvFile", 1, 1, F},       // 107
    {"DBDirectGetInt", 7, 7, I},      // 108
    {"DBDirectSetInt", 7, 7, F},      // 109
    {"DBDirectGetFloat", 7, 7, R},    // 110
    {"DBDirectSetFloat", 7, 7, F},    // 111
    {"DBDirectGetBool", 7, 7, F},     // 112
    {"DBDirectSetBool", 7, 7, F},     // 113
    {"DBDirectGetStr", 7, 7, S},      // 114
    {"DBDirectSetStr", 7, 7, F},      // 115
    {"DBCopyTable", 1, 5, F},         // 116
    {"DBDeleteTable", 0, 1, F},       // 117
    {"DBInsertTable", 1, 5, F},       // 118
    {"DBCopy", 1, 1, F},              // 119
    {"DBClearTable", 0, 0, F},        // 120
    {"DBSort", 2, 2, F},              // 121
    {"DBGetActive", 0, 0, S},         // 122
    {"DBGetRecNo", 0, 1, I},          // 123
    {"DBClearRecord", 0, 1, F},       // 124
    {"SetWallPaper", 2, 2, F},        // 125
    {"Min", 2, 2, I},                 // 126
    {"Max", 2, 2, I},                 // 127
    {"Fmin", 2, 2, R},                // 128
    {"Fmax", 2, 2, R},                // 129
    {"GetVarType", 1, 1, I},          // 130
    {"GetEnabled", 2, 2, F},          // 131
    {"SetEnabled", 3, 3, I},          // 132
    {"AddDelimiter", 2, 2, S},        // 133
    {"ListSaveCaption", 0, 2, I},     // 134
    {"OpenUrl", 1, 1, I},             // 135
    {"Calc", 1, 1, S},                // 136
    {"SaveScreen", 1, 5, F},          // 137
    {"StrToIntDef", 2, 2, I},         // 138
    {"StrToFloatDef", 2, 2, R},       // 139
    {"GetVisible", 2, 2, F},          // 140
    {"SetVisible", 3, 3, I},          // 141
    {"GetHistoryCount", 1, 1, I},     // 142
    {"GetHistoryMaxCount", 1, 1, I},  // 143
    {"SetHistoryMaxCount", 2, 2, F},  // 144
    {"GetGroupIndex", 2, 2, I},       // 145
    {"GetSelected", 2, 2, F},         // 146
    {"SetSelected", 3, 3, I},         // 147
    {"SelectOpenFile", 1, 2, F},      // 148
    {"SelectSaveFile", 1, 2, F},      // 149
    {"SelectDirectory", 1, 1, F},     // 150
    {"ExtractFile", 1, 3, F},         // 151
    {"Chr", 1, 1, S},                 // 152
    {"Ord", 1, 1, I},                 // 153
    {"InCabinet", 1, 1, F},           // 154
    {"PushVar", 1, -1, F},            // 155
    {"PopVar", 0, 0, F},              // 156
    {"DeleteStack", 1, 1, F},         // 157
    {"CopyFile", 2, 2, F},            // 158
    {"DBGetTableCount", 0, 0, I},     // 159
    {"DBGetTable", 2, 3, F},          // 160
}};

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
