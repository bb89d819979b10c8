// The built-in functions the main window answers: GetDisplayMode over its display modes, and
// SaveScreen over the screen bases.
#pragma once

namespace mobu {

class TFormView;
class TSysFuncMan;

void InstallViewFunctions(TSysFuncMan& functions, TFormView& view);

}  // namespace mobu
