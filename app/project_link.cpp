#include "app/project_link.h"

#include "app/globals.h"
#include "app/mobu_error.h"

namespace mobu {

void LocateGameData(const TGameStartup&) {}

std::unique_ptr<TProjectLink> CreateProjectLink(const TGameStartup&)
{
    QuitRequested = true;
    throw EMobuError("this player was built without the project reader");
}

}  // namespace mobu
