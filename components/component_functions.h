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

// Installs the functions that find components by name (Exists, ListCompo, ToClientX ...
// InCabinet) and those of list items (GetCheck ... SetSelected, IndexOfMenu); part of
// InstallComponentFunctions.
void InstallComponentNameFunctions(TSysFuncMan& functions);

// Largest side of a picture SaveScreen writes.
inline constexpr int32_t kMaxScreenShotSide = 8192;
// The layered-image bytes of the shown base (or the other one) composed now, scaled with
// smoothing to width x height.
std::string EncodeScreenImage(TMobuBaseList& list, bool other_base, int32_t width, int32_t height);
// SaveScreen on `list` (none: FALSE); see the function table.
bool SaveScreen(TMobuBaseList* list, const std::string& path, int32_t width, int32_t height, bool other_base,
                int32_t record);
void InstallSaveScreen(TSysFuncMan& functions);

}  // namespace mobu
