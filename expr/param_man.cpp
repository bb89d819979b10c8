#include "expr/param_man.h"

namespace mobu {

TParamCollection* ParamMan = nullptr;

}  // namespace mobu
