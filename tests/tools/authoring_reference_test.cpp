// The committed authors' reference is what `mobupack doc` writes from today's tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/run_tools.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

TEST(AuthoringReference, TheCommittedCopyIsCurrent)
{
    const fs::path folder = fs::temp_directory_path() / ("mobu-reference-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ASSERT_EQ(run_tools::RunCommand(std::string(MOBU_BINARY_DIR) + "/mobupack doc '" + folder.string() + "'"), 0);
    const std::string written = run_tools::ReadAll(folder / "reference.md");
    fs::remove_all(folder);
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(run_tools::ReadAll(fs::path(MOBU_SOURCE_DIR) / "docs" / "authoring" / "reference.md"), written)
        << "run: build/mobupack doc docs/authoring";
}

}  // namespace
}  // namespace mobu
