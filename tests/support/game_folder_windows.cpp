#include "game_folder.h"

#include <sstream>
#include <stdexcept>

#include "files.h"
#include "wait.h"
#include "wide_text.h"

namespace test_support {

namespace fs = std::filesystem;

GameFolder::GameFolder(const std::vector<std::pair<fs::path, std::string>>& files) {
  for (const auto& [file, name] : files) fs::copy_file(file, folder_ / name);
}

unsigned long GameFolder::Play(const std::vector<std::string>& arguments, const std::string& output,
                      const std::string& error) const {
  std::vector<std::string> argv{Utf8Path(folder_ / "vorlan.exe")};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const auto inFolder = [this](const std::string& name) { return name.empty() ? fs::path() : folder_ / name; };
  const ProgramRun run = RunProgram(argv, folder_.path(), inFolder(output), inFolder(error),
                                    std::chrono::duration_cast<std::chrono::seconds>(kDeadline));
  if (!run.started || run.timedOut) throw std::runtime_error(run.problem);
  return run.exitCode;
}

std::string GameFolder::Read(const std::string& name) const { return ReadFileBytes(folder_ / name); }

std::vector<std::string> GameFolder::Lines(const std::string& name) const {
  std::istringstream text(Read(name));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

}  // namespace test_support
