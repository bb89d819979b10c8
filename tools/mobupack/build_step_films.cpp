// Build step: film sources become films. A source file named NAME.EXT.film (any letter
// case; walk.mmt.film, opening.mmt.film) is read as film source and packed as NAME.EXT in
// the newest stored version; the source itself is not packed.
#include "core/mobu_error.h"
#include "graphics/film_source.h"
#include "platform/durable_files.h"
#include "tools/mobupack/build_pipeline.h"

namespace mobu::mobupack {
namespace {

bool IsFilmSource(const std::string& relative)
{
    const std::string marker = ".film";
    if (relative.size() <= marker.size()) return false;
    std::string tail = relative.substr(relative.size() - marker.size());
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    // The name left must still carry the film's own extension.
    const std::string rest = relative.substr(0, relative.size() - marker.size());
    return tail == marker && rest.find('.', rest.find_last_of('/') + 1) != std::string::npos;
}

void CompileFilms(TBuildContext& context)
{
    for (const std::string& relative : SourceFiles(context)) {
        if (context.IsClaimed(relative) || !IsFilmSource(relative)) continue;
        const std::string source_name = ArchiveNameOf(relative);
        const std::optional<std::string> text = context.ReadSourceText(relative);
        std::string reason;
        try {
            TFilmData film = ReadFilmSource(*text, &reason);
            context.AddGeneratedFile(source_name.substr(0, source_name.size() - 5), WriteFilm(film));
        } catch (const EMobuError&) {
            throw EMobuError(source_name + ": " + reason);
        }
        context.Claim(relative);
    }
}

const TBuildStepRegistration registration({460, "films", CompileFilms});

}  // namespace
}  // namespace mobu::mobupack
