// The built-in DeleteStack(depth): drops one frame of the call stack with the variables it
// owns, installed into the function manager by whoever makes the project's call manager.
#pragma once

namespace mobu {

class TCallMan;
class TSysFuncMan;

// When 0 <= depth < the stack's frame count: the variables owned by that depth are deleted,
// those of deeper frames move one depth down, the frame is removed; TRUE. Otherwise FALSE.
void InstallDeleteStack(TSysFuncMan& functions, TCallMan& calls);
// Takes the handler out again (the call manager goes away).
void RemoveDeleteStack(TSysFuncMan& functions);

}  // namespace mobu
