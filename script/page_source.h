// Page sources: the readable text form of a script page, one command per line, that the
// page assembler compiles into a page file and the disassembler prints back (the form is
// described in docs/page-source.md). Disassembling a page the assembler wrote and
// assembling the listing gives the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mobu {

struct TPageSourceOptions {
    // File name (cp932) of the page being assembled: jumps and calls into it resolve their
    // targets from its own labels.
    std::string page_name;
    // Index of a label in another page (cp932 page file name and label), -1 when unknown.
    std::function<int32_t(const std::string& page, const std::string& label)> resolve_label;
};

// Compiles a page source (UTF-8) into page-file bytes. Raises EMobuError with the line number
// and what is wrong.
std::string AssemblePage(std::string_view utf8_source, const TPageSourceOptions& options = {});

// Prints a page file in source form (UTF-8). Raises EMobuError for a damaged page or a
// version outside 103-116.
std::string DisassemblePage(std::string_view page_bytes, const std::string& page_name = {});

// The labels of a page source: label name (cp932) -> command index (the first of a name).
std::function<int32_t(const std::string&)> SourceLabelIndex(std::string_view utf8_source);

}  // namespace mobu
