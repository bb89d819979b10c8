// The media commands on the component list: MovieStop (stop or fade out what plays) and
// MediaPlay (start it again).
#pragma once

#include <cstdint>
#include <string>

namespace mobu {

class TCallMan;
class TCommand;
class TMobuBaseList;
class TMobuObject;

// MovieStop: see TCallManComponents::StopMedia.
TMobuObject* StopMedia(TMobuBaseList& list, const std::string& name, int32_t fade_ms);
// MediaPlay: a component that plays is unpaused (through PR_PAUSED) and, when stopped or
// played to its end, started with its fade; other components ignore it.
void RunMediaPlay(TMobuBaseList& list, TCallMan& calls, const TCommand& command);

}  // namespace mobu
