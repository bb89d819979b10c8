// `mobupack build` as a pipeline of steps. Each step lives in its own file and registers
// itself with an order number; the build runs them in that order over one shared
// context. A step that compiles sources (project file, script pages, images) adds the
// compiled entries and claims its source files, so the step that packs the remaining
// files leaves them out.
//
// Orders in use: 100 project (project.ini -> mobu.mpb), 300 pages, 400 images (NAME.fsk.png/.bmp/.dib
// and NAME.fsk.d/ frame folders -> NAME.fsk), 460 films (NAME.EXT.film -> NAME.EXT), 800 files (every unclaimed file), 850 install data (install.dat when the folder
// has none), 900 archive (OUTDIR/game.dat). Compilers
// of further sources go between 100 and 800.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "archive/vr_file_collection.h"
#include "script/project_setting.h"

namespace mobu::mobupack {

struct TBuildContext {
    std::string source_folder;  // UTF-8, with a trailing "/"
    std::string output_folder;  // UTF-8, with a trailing "/"
    TProjectSetting project;    // filled by the project step
    TVrFileCollection archive;  // the game archive being assembled (its folder is the source)

    // Adds an entry made by a step; refuses a name (cp932) already in the archive.
    void AddGeneratedFile(const std::string& cp932_name, std::string bytes);
    // Adds a source file packed as it is (the name is relative to the source, cp932, "\").
    void AddSourceFile(const std::string& cp932_name);
    // Marks a source file (UTF-8, relative to the source folder, "/" separated, compared
    // without ASCII case) as compiled by a step: it is not packed as it is.
    void Claim(const std::string& relative_path);
    bool IsClaimed(const std::string& relative_path) const;

private:
    std::set<std::string> claimed_;
};

struct TBuildStep {
    int order;
    std::string name;
    void (*run)(TBuildContext& context);
};

struct TBuildStepRegistration {
    explicit TBuildStepRegistration(TBuildStep step);
};

// The registered steps, in order.
std::vector<TBuildStep> BuildSteps();

// Every file of the source folder, as UTF-8 paths relative to it ("/" separated), walked in
// name order. Names starting with "." (editor and version control files) are left out, and
// so is the output folder when it lies inside the source (the archive being written must
// not pack itself or an older build).
std::vector<std::string> SourceFiles(const TBuildContext& context);

// Relative UTF-8 path ("/" separated) to the archive name: cp932 with "\". Raises when
// code page 932 cannot hold the name.
std::string ArchiveNameOf(const std::string& relative_path);

}  // namespace mobu::mobupack
