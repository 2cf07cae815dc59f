// What the runner needs of Windows: text and paths in UTF-16, programs run with their output in
// files and ended, with everything they started, when they outlast their time.
#pragma once
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace kit {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

struct ProgramRun {
  bool started = false;
  bool timedOut = false;
  unsigned long exitCode = 0;
  std::string problem;  // why it did not start or did not end
};

// Runs argv[0] with the other arguments (each reaches the program unchanged) in `folder`. Its
// standard output goes to `output` and its standard error to `error`; an empty path stands for
// the null device, and the same path for both makes one file of them in the order written.
// Standard input is the null device. When the program runs longer than `limit`, it and every
// program it started are ended.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                      const std::filesystem::path& output, const std::filesystem::path& error,
                      std::chrono::seconds limit);

// A new folder of this run's own under the system's temporary folder, removed with everything in
// it when the object ends.
class OwnTemporaryFolder {
 public:
  explicit OwnTemporaryFolder(const std::string& stem);
  ~OwnTemporaryFolder();
  OwnTemporaryFolder(const OwnTemporaryFolder&) = delete;
  OwnTemporaryFolder& operator=(const OwnTemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kit
