// The process-wide component list and the built-in functions that reach components by
// name: GetProp and SetProp.
#pragma once

#include <string>

#include "components/mobu_base_list.h"

namespace mobu {

class TSysFuncMan;
class TCustomParam;

// The component list of the running game (none before the main window creates it).
TMobuBaseList* GlobalBaseList();
void SetGlobalBaseList(TMobuBaseList* list);

// GetProp(Object, Id, Result): the property of the named object into `result`; nothing when
// no object has the name. Raises "GetPropエラー" for an id above 164.
void GetPropInto(TMobuBaseList& list, const std::string& object, int32_t id, TCustomParam& result);
// SetProp(Object, Id, Value). Raises "SetPropエラー" for an id above 164 and the retired
// PR_APPEARX / PR_APPEARY.
void SetPropFrom(TMobuBaseList& list, const std::string& object, int32_t id, const TCustomParam& value);

// The same on an object already found.
void GetPropOf(TMobuObject& object, int32_t id, TCustomParam& result);
void SetPropOf(TMobuObject& object, int32_t id, const TCustomParam& value);

// Installs GetProp, SetProp and the property types into the function manager; they work on
// the global component list.
void InstallComponentFunctions(TSysFuncMan& functions);

}  // namespace mobu
