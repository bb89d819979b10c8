// The message texts of the script log (ASCII, so the same in cp932 and UTF-8).
#pragma once

#include <string>

namespace mobu::script_log_messages {

// "not available yet" for the command that runs, "LT_MES: not available yet" for a part of it.
inline std::string NotAvailableYet(const std::string& what)
{
    return what.empty() ? std::string("not available yet") : what + ": not available yet";
}

}  // namespace mobu::script_log_messages
