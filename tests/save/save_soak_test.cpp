// Crash safety: the headless player on a game that saves two slots every frame is killed
// with SIGKILL at random moments; after every kill save.dat (and save.dat.bak when there is
// one) is a readable archive whose slots all load, and the next start removes the
// temporaries an interrupted write left. MOBU_SOAK_KILLS sets the number of kills (default
// 8; the long run uses 100).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "archive/save_file.h"
#include "archive/vr_file_manager.h"
#include "components/base_list_call_components.h"
#include "components/game_save_data.h"
#include "components/mobu_base_list.h"
#include "components/mobu_history.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "script/call_man.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

// Every slot of the file loads into a fresh state; false when the file or a slot cannot be read.
bool AllSlotsLoad(const std::string& path, std::string& why)
{
    TVrFileCollection files;
    if (!ReadSaveFile(path, files, &why)) return false;
    TMobuBaseList list;
    TParamCollection table;
    TSysFuncMan functions(table);
    TBaseListCallComponents components(list);
    TCallMan calls(&functions, &components);
    TGameSaveData data(TGameSaveParts{&list, [&] { return &calls; }, [&] { return &table; }});
    for (int i = 0; i < files.Count(); ++i) {
        if (TGameSaveData::SlotOfEntryName(files.Item(i)->Name()) < 0) continue;
        try {
            std::string bytes;
            if (!files.ReadEntry(*files.Item(i), bytes)) throw std::runtime_error("cannot extract");
            data.LoadGameEntry(bytes);
        } catch (const std::exception& error) {
            why = files.Item(i)->Name() + ": " + error.what();
            return false;
        }
    }
    HistoryFormats().Reset();
    return true;
}

TEST(SaveSoak, KilledWhileSavingLeavesReadableFiles)
{
    const fs::path scratch = fs::temp_directory_path() / ("mobu_save_soak_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "src");
    std::ofstream(scratch / "src" / "project.ini") << "[project]\ntitle = soak\nscreen = 64x48\nstart_page = start.msb\n";
    std::ofstream(scratch / "src" / "start.mss") << "page version: 116; result: none\n"
                                                    "VarNew name: n; type: int; value: 0; continue: yes\n"
                                                    "Label name: again\n"
                                                    "Calc expr: n = n + 1; continue: yes\n"
                                                    "GameSave slot: n % 2; caption: \"slot\"\n"
                                                    "Wait time: 1\n"
                                                    "Jump page: start.msb; target: again\n";
    const fs::path game = scratch / "game";
    ASSERT_EQ(std::system((std::string(MOBU_BINARY_DIR) + "/mobupack build " + (scratch / "src").string() + " " +
                           game.string() + " >/dev/null 2>&1")
                              .c_str()),
              0);
    // The slots' call stacks name the game's page: the loads read it from the game.
    const int archives = VrFileManager().ArchiveCount();
    VrFileManager().AddArchive((game / "game.dat").string());
    const std::string player = std::string(MOBU_BINARY_DIR) + "/mobuplay";
    const std::string save = (game / "save.dat").string();
    // One run to its end first: save.dat exists from then on, and the time the player takes to
    // start and save a few frames (much longer under sanitizers) shifts every kill below, so
    // the kills land on writes rather than on start-up alone.
    const auto first_run = std::chrono::steady_clock::now();
    ASSERT_EQ(std::system((player + " --headless --frames 5 " + game.string() + " >/dev/null 2>&1").c_str()), 0);
    const auto start_up =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - first_run);
    ASSERT_TRUE(fs::exists(save));
    std::string first_why;
    ASSERT_TRUE(AllSlotsLoad(save, first_why)) << first_why;
    const char* kills_text = std::getenv("MOBU_SOAK_KILLS");
    const int kills = kills_text ? std::atoi(kills_text) : 8;
    std::mt19937 random(12345);
    int failures = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            execl(player.c_str(), player.c_str(), "--headless", "--frames", "1000000", game.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(start_up + std::chrono::milliseconds(random() % 250));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::string why;
        if (fs::exists(save) && !AllSlotsLoad(save, why)) {
            ++failures;
            ADD_FAILURE() << "kill " << kill << ": " << why;
        }
        if (fs::exists(save + ".bak") && !AllSlotsLoad(save + ".bak", why)) {
            ++failures;
            ADD_FAILURE() << "kill " << kill << " (backup): " << why;
        }
    }
    while (VrFileManager().ArchiveCount() > archives) VrFileManager().RemoveArchive(VrFileManager().ArchiveCount() - 1);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(fs::exists(save));
    // The next start removes temporaries of an interrupted write.
    std::ofstream(game / "save.dat.0badf00d.tmp") << "left by a crash";
    ASSERT_EQ(std::system((player + " --headless --frames 1 " + game.string() + " >/dev/null 2>&1").c_str()), 0);
    for (const auto& item : fs::directory_iterator(game)) {
        EXPECT_NE(item.path().extension(), ".tmp") << item.path() << " " << fs::file_size(item.path());
    }
    fs::remove_all(scratch);
}

}  // namespace
}  // namespace mobu
