// The findings of the game checks: each one a place (file and line), a severity and a
// message, printed as "FILE:LINE: error|warning: message" (UTF-8) the way compilers print
// theirs, so editors can jump to them.
#pragma once

#include <string>
#include <vector>

namespace mobu::mobupack {

enum class TSeverity { Error, Warning };

struct TFinding {
    std::string file;  // UTF-8, as the author knows it ("start.mss", "project.ini", "field.msb")
    int line = 0;      // 1-based; 0 when the place has no line
    TSeverity severity = TSeverity::Error;
    std::string message;  // UTF-8
};

class TCheckReport {
public:
    void Error(const std::string& file, int line, const std::string& message);
    void Warning(const std::string& file, int line, const std::string& message);

    const std::vector<TFinding>& Findings() const { return findings_; }
    int ErrorCount() const;
    int WarningCount() const;
    // Whether the findings stop the build: any error, or any warning when warnings count as errors.
    bool Fails(bool warnings_are_errors) const;
    // Every finding, one line each, by file and line.
    std::string Text() const;

private:
    std::vector<TFinding> findings_;
};

// One finding as a line, without the line break.
std::string FindingText(const TFinding& finding);

}  // namespace mobu::mobupack
