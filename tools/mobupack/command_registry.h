// mobupack's sub-commands register themselves here, one file per command, so adding a
// command never touches the dispatcher.
#pragma once

#include <string>
#include <vector>

namespace mobu::mobupack {

struct Command {
    std::string name;     // "list"
    std::string usage;    // "list ARCHIVE"
    std::string summary;  // one line for --help
    int (*run)(const std::vector<std::string>& arguments);  // arguments after the command name
};

const std::vector<Command>& Commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

}  // namespace mobu::mobupack
