#include "core/globals.h"

#include <cstdio>

namespace mobu {

bool QuitRequested = false;
int32_t GameClockMs = 0;
int32_t FrameDeltaMs = 0;
uint32_t LastTickMs = 0;
std::vector<std::string> TempFileList;

void DeleteTempFiles()
{
    for (const auto& path : TempFileList) std::remove(path.c_str());
    TempFileList.clear();
}

}  // namespace mobu
