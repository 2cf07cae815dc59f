#pragma once
#include <stdexcept>
#include <string>

#include "launch_options.h"

namespace launcher {

// A failed start, carrying the system's own message for it.
class StartError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Starts the bare command line with the given show-window mode, no working folder, and lets go
// of the new process at once.
class Win32ProcessStarter final : public ProcessStarter {
 public:
  void Start(const std::string& commandLine, int showWindowMode) override;
};

// The system's message text for an error code.
std::string SystemMessage(unsigned long code);

}  // namespace launcher
