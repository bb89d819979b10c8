// The demo game built from its page sources and run headless: the start page's loop, call
// and wait leave their values in the variable dump.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace mobu {
namespace {

namespace fs = std::filesystem;

int RunCommand(const std::string& command)
{
    int raw = std::system((command + " > /dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DemoRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("mobu-demo-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        const std::string build = std::string(MOBU_BINARY_DIR) + "/mobupack build '" + MOBU_SOURCE_DIR +
                                  "/examples/demo' '" + (root_ / "game").string() + "'";
        ASSERT_EQ(RunCommand(build), 0);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Run(int frames)
    {
        const fs::path dump = root_ / ("vars-" + std::to_string(frames) + ".json");
        const std::string command = std::string(MOBU_BINARY_DIR) + "/mobuplay --headless --tick-ms 15 --frames " +
                                    std::to_string(frames) + " --dump-vars '" + dump.string() + "' '" +
                                    (root_ / "game").string() + "'";
        EXPECT_EQ(RunCommand(command), 0);
        return ReadAll(dump);
    }

    fs::path root_;
};

TEST_F(DemoRun, StartPageLoopsCallsAndWaits)
{
    std::string early = Run(3);
    EXPECT_NE(early.find("\"name\": \"total\", \"scope\": \"global\", \"type\": \"int\", \"value\": 27"), std::string::npos)
        << early;
    EXPECT_NE(early.find("\"value\": \"もぶ:729\""), std::string::npos) << early;
    EXPECT_NE(early.find("\"name\": \"finished\", \"scope\": \"global\", \"type\": \"flag\", \"value\": false"),
              std::string::npos);
    // The callee's local variable went with its frame.
    EXPECT_EQ(early.find("\"name\": \"n\""), std::string::npos);

    std::string late = Run(40);  // the 100 ms wait is over
    EXPECT_NE(late.find("\"name\": \"finished\", \"scope\": \"global\", \"type\": \"flag\", \"value\": true"),
              std::string::npos)
        << late;
}

}  // namespace
}  // namespace mobu
