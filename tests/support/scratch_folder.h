#pragma once
#include <filesystem>
#include <string>

namespace test_support {

// A fresh, empty folder of its own under the system's temporary folder, removed with everything
// in it when the object ends.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// One scratch folder for the whole test program, made on first use and removed when the program
// ends: for what a process reads only once, such as where a library keeps its state file.
const ScratchFolder& ProgramScratchFolder();

}  // namespace test_support
