// Programs run as the tests run them: in a folder of their own, with their output in files,
// ended with everything they started when they outlast their time.
#pragma once
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

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

}  // namespace test_support
