// A game folder of a test's own: the stand-in game vorlan.exe with what it loads, in a fresh
// scratch folder, started as a real process there.
#pragma once
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "run_program.h"
#include "scratch_folder.h"

namespace test_support {

class GameFolder {
 public:
  // Each file is copied in under the name given with it.
  explicit GameFolder(const std::vector<std::pair<std::filesystem::path, std::string>>& files);

  // Starts vorlan.exe in the folder with `arguments`; its standard output and error go to the
  // folder's files of those names (empty: the null device). Answers the exit code; throws when
  // it did not start or outlasted the deadline.
  unsigned long Play(const std::vector<std::string>& arguments, const std::string& output = "",
            const std::string& error = "") const;

  std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }
  std::string Read(const std::string& name) const;
  std::vector<std::string> Lines(const std::string& name) const;  // without their line ends

 private:
  ScratchFolder folder_;
};

}  // namespace test_support
