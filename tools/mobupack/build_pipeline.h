// `mobupack build` as a pipeline of steps. Each step lives in its own file and registers
// itself with an order number; the build runs them in that order over one shared
// context. A step that compiles sources (project file, script pages, images) adds the
// compiled entries and claims its source files, so the step that packs the remaining
// files leaves them out.
//
// Orders in use: 100 project (project.ini -> mobu.mpb), 300 pages, 400 images (NAME.fsk.png/.bmp/.dib
// and NAME.fsk.d/ frame folders -> NAME.fsk), 460 films (NAME.EXT.film -> NAME.EXT), 800 files (every unclaimed file), 850 install data (install.dat when the folder
// has none), 870 checks (stops the build on errors), 900 archive (OUTDIR/game.dat). Compilers
// of further sources go between 100 and 800.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/vr_file_collection.h"
#include "script/project_setting.h"
#include "tools/mobupack/check_report.h"
#include "tools/mobupack/source_encoding.h"

namespace mobu::mobupack {

struct TBuildContext {
    std::string source_folder;  // UTF-8, with a trailing "/"
    std::string output_folder;  // UTF-8, with a trailing "/"
    TProjectSetting project;    // filled by the project step
    TVrFileCollection archive;  // the game archive being assembled (its folder is the source)
    std::string project_text;   // project.ini as read (UTF-8), for the lines of findings
    // Compiled pages: archive name (cp932) -> the source file (UTF-8, relative to the source).
    std::map<std::string, std::string> page_sources;
    TCheckReport report;               // what the steps and the checks found
    bool warnings_are_errors = false;  // --werror
    TSourceEncoding source_encoding = TSourceEncoding::Utf8;  // --source-encoding

    // A source file (UTF-8 path relative to the source folder) as UTF-8 text; raises when it
    // cannot be read or is not in the sources' encoding.
    std::string ReadSourceText(const std::string& relative_path) const;

    // Stops the build: prints every finding so far to standard error and raises with their count.
    [[noreturn]] void Stop();

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

// Splits a message "FILE:LINE: what" (UTF-8) into a finding of the report; a message
// without a place is the finding of `file` without a line.
void AddLocatedError(TCheckReport& report, const std::string& file, const std::string& utf8_message);

// Relative UTF-8 path ("/" separated) to the archive name: cp932 with "\". Raises (a
// std::runtime_error with the name in UTF-8 and the character) when code page 932 cannot
// hold the name.
std::string ArchiveNameOf(const std::string& relative_path);

}  // namespace mobu::mobupack
