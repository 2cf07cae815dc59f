#pragma once
#include <optional>
#include <string>

#include "launch_options.h"

namespace launcher {

// Starts the bare command line with the given show-window mode, no working folder, and lets go
// of the new process at once.
class Win32ProcessStarter final : public ProcessStarter {
 public:
  std::optional<std::string> Start(const std::string& commandLine, int showWindowMode) override;
};

// The system's message text for an error code.
std::string SystemMessage(unsigned long code);

}  // namespace launcher
