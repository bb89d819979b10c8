// What FormatHist, CallHist and ClrHist do to the history formats and message boxes, and
// the selection of a pixel range of a laid-out history.
#pragma once

#include <cstdint>
#include <string>

#include "components/mobu_history.h"

namespace mobu {

class TMobuBaseList;

// FormatHist: the format takes the component's font height, outline, shadow, width, height
// and line spacing, or all 0 when no component has that name.
void FormatHistory(TMobuBaseList& list, const std::string& format, const std::string& component);

// CallHist: nothing unless `box` is a message box and the format exists; `first` below 0
// becomes 0 and `count` is cut to what the history holds (in 64 bits: a first entry near
// 2^31 never wraps). True when the box was given the entries.
bool ShowHistory(TMobuBaseList& list, const std::string& box, int32_t first, int32_t count, bool flag,
                 const std::string& format);

// Copies the entries of `groups` covering pixels [first, first + count) into `refs` (emptied
// first) and returns the offset of the first entry's top from `first` (0 or negative).
int32_t SelectHistoryRange(const TMobuHistDataList& groups, int64_t first, int64_t count, TMobuHistData& refs);

}  // namespace mobu
