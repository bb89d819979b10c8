// A game as the checks see it: its project setting, the names of its files and its pages,
// each page with the file name the author knows (the page source of a build, the page file
// of a built game). The checks register themselves, one concept per file, and run over one
// game in order of registration.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/vr_file_collection.h"
#include "script/page.h"
#include "script/project_setting.h"
#include "tools/mobupack/check_report.h"

namespace mobu::mobupack {

struct TCheckedPage {
    std::string name;  // archive name (cp932), "start.msb"
    std::string file;  // as the findings name it (UTF-8), "start.mss"
    std::unique_ptr<TPage> page;
};

class TCheckedGame {
public:
    TProjectSetting project;
    std::string project_file = "mobu.mpb";     // UTF-8
    std::map<std::string, int> project_lines;  // key of project.ini (lower case) -> line
    std::vector<std::string> entries;          // every file of the game (cp932, "\")
    std::vector<TCheckedPage> pages;

    // The page of that name (cp932, compared without case), or null.
    const TCheckedPage* FindPage(const std::string& name) const;
    // Whether the game holds a file of that name (cp932; case and "/" against "\" ignored).
    bool HasEntry(const std::string& name) const;
    // The line of a project.ini key (any of the given spellings), 0 when unknown.
    int ProjectLine(std::initializer_list<const char*> keys) const;
};

// Reads the game out of an archive: every ".msb" entry is loaded as a page (a page that
// cannot be loaded is an error of the report). `page_files` gives the source file of
// compiled pages (cp932 entry name -> UTF-8 source path); other pages are named by their entry.
TCheckedGame ReadCheckedGame(const TVrFileCollection& archive, const TProjectSetting& project,
                             const std::map<std::string, std::string>& page_files, TCheckReport& report);

// The lines of the keys of a project.ini text (lower-case key -> first line).
std::map<std::string, int> ProjectKeyLines(const std::string& utf8_text);

// A name folded for comparing game paths: ASCII lower case, "/" as "\".
std::string FoldedPath(const std::string& cp932_name);

struct TGameCheck {
    std::string name;
    void (*run)(const TCheckedGame& game, TCheckReport& report);
};

struct TGameCheckRegistration {
    explicit TGameCheckRegistration(TGameCheck check);
};

// Runs every registered check.
void RunGameChecks(const TCheckedGame& game, TCheckReport& report);

// The line a finding about a command names: the line the page stores for it (the source line).
inline int LineOf(const TCommand& command) { return command.LineNo; }

}  // namespace mobu::mobupack
