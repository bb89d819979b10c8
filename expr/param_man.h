// The process-wide variable table, reached through this global reference. The main window
// creates it before the project and frees it after the project (null before and after).
#pragma once

namespace mobu {

class TParamCollection;

extern TParamCollection* ParamMan;

}  // namespace mobu
