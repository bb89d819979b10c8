// The commands that act on components, as the component list carries them out.
#pragma once

namespace mobu {

class TCallMan;
class TCommand;
class TMobuBaseList;

// Carries out a creating command, SaveCabinet, LoadCabinet, GetProp, SetProp or ObjDel on
// the list; other commands are left alone.
void RunComponentCommand(TMobuBaseList& list, TCallMan& calls, const TCommand& command);

// The component type a creating command makes (LT_NONE for other ids).
int CreatedComponentType(int command_id);

}  // namespace mobu
