// The storefront tool as a player runs it, a real process in a folder of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/kit_files.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// Showing an unusable state file reports it and ends with 1, and the file stays where it is,
// unchanged and not set aside: only a storefront that goes on with defaults renames it.
TEST(StorefrontTool, ShowReportsAnUnusableFileAndLeavesItInPlace) {
  const test_support::ScratchFolder folder;
  const std::string unusable = "{\"stats\": ";
  test_support::WriteFileBytes(folder / "storefront_state.json", unusable);
  const test_support::ProgramRun run =
      test_support::RunProgram({test_support::BuiltFile(STOREFRONT_TOOL).u8string(), "show", "storefront_state.json"},
                               folder.path(), folder / "shown.txt", folder / "shown.txt", std::chrono::seconds(60));
  ASSERT_TRUE(run.started && !run.timedOut) << run.problem;
  const std::string shown = test_support::ReadFileBytes(folder / "shown.txt");
  EXPECT_EQ(run.exitCode, 1u) << shown;
  EXPECT_NE(shown.find("is unusable (not valid JSON"), std::string::npos) << shown;
  EXPECT_EQ(test_support::ReadFileBytes(folder / "storefront_state.json"), unusable);
  EXPECT_EQ(test_support::EntryNames(folder.path()), (std::vector<std::string>{"shown.txt", "storefront_state.json"}));
}

}  // namespace
