// The call manager as the project's part: the project starts its pages and runs it once
// per frame through this adapter, which also wires the interpreter to the project (file
// availability, save and load requests, closing the window) and reports an error that
// leaves the interpreter in a warning box before closing, as start-up does.
#pragma once

#include <memory>

#include "script/project_parts.h"

namespace mobu {

class TCallMan;
class TCallManComponents;

// Installs the factory of the project's call manager. Expressions run on the process-wide
// function manager (GlobalSysFuncMan) as it is when the project creates the call manager;
// `components` (may be null) answers for the component list.
void UseCallManForProject(TCallManComponents* components = nullptr);

// The call manager of the running project, or null.
TCallMan* ProjectCallMan();

}  // namespace mobu
