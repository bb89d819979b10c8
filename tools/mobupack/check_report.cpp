#include "tools/mobupack/check_report.h"

#include <algorithm>

namespace mobu::mobupack {

void TCheckReport::Error(const std::string& file, int line, const std::string& message)
{
    findings_.push_back({file, line, TSeverity::Error, message});
}

void TCheckReport::Warning(const std::string& file, int line, const std::string& message)
{
    findings_.push_back({file, line, TSeverity::Warning, message});
}

int TCheckReport::ErrorCount() const
{
    return static_cast<int>(std::count_if(findings_.begin(), findings_.end(),
                                          [](const TFinding& f) { return f.severity == TSeverity::Error; }));
}

int TCheckReport::WarningCount() const { return static_cast<int>(findings_.size()) - ErrorCount(); }

bool TCheckReport::Fails(bool warnings_are_errors) const
{
    return ErrorCount() > 0 || (warnings_are_errors && WarningCount() > 0);
}

std::string TCheckReport::Text() const
{
    // By file and line, as an editor lists them; findings of one place keep their order.
    std::vector<TFinding> sorted = findings_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const TFinding& a, const TFinding& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    std::string text;
    for (const TFinding& finding : sorted) text += FindingText(finding) + "\n";
    return text;
}

std::string FindingText(const TFinding& finding)
{
    std::string text = finding.file;
    if (finding.line > 0) text += ":" + std::to_string(finding.line);
    text += finding.severity == TSeverity::Error ? ": error: " : ": warning: ";
    return text + finding.message;
}

}  // namespace mobu::mobupack
