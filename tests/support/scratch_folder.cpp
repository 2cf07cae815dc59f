#include "scratch_folder.h"

#include <random>
#include <stdexcept>
#include <system_error>

namespace test_support {

ScratchFolder::ScratchFolder() {
  // The name only has to be new: create_directory answers false for a folder that already exists.
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base / ("vorlan-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("no new scratch folder in " + base.string());
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

const ScratchFolder& ProgramScratchFolder() {
  static const ScratchFolder folder;  // destroyed, and so removed, when the program ends
  return folder;
}

}  // namespace test_support
