// The seam through which message boxes report pages to the message history. The history
// manager implements it and installs it; until then nothing is recorded.
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

class TMessageHistoryRecorder {
public:
    virtual ~TMessageHistoryRecorder() = default;
    // On every history format: the page the box shows now (glyph positions in display
    // units of the stored text), recorded when the page is left.
    virtual void SetPending(const std::string& box, const std::string& page_name, const std::string& fixed_values,
                            int32_t page_no, int32_t last, int32_t first, int32_t command) = 0;
    // On every history format: records the pending page of that box.
    virtual void CommitPending(const std::string& box) = 0;
};

// The installed recorder, or none.
TMessageHistoryRecorder* MessageHistoryRecorder();
void InstallMessageHistoryRecorder(TMessageHistoryRecorder* recorder);

}  // namespace mobu
