#include "app/project_link.h"

#include "app/globals.h"
#include "app/mobu_error.h"

namespace mobu {

std::unique_ptr<TProjectLink> CreateProjectLink(const TGameStartup&)
{
    QuitRequested = true;
    throw EMobuError("this player was built without the project reader");
}

}  // namespace mobu
