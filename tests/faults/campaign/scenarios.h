// The two scenarios run for real: the launcher driven through its window, the game playing its
// script through the plug-in, each with the fault-injection library in it and a plan for it.
#pragma once

#include <string>
#include <vector>

#include "launcher_judge.h"
#include "plugin_judge.h"

namespace fault_campaign {

// The programs and libraries a scenario needs, as Windows paths.
struct Programs {
  std::string library;     // fault_injection.dll
  std::string starter;     // Starter.exe
  std::string game;        // the stand-in vorlan.exe
  std::string plugin;      // kelvo.dll
  std::vector<std::string> storefront;  // steam_api.dll and the libraries it needs beside it
};

// One run of the launcher's scenario in `folder` (emptied first), the library following `plan`
// (the injection plan's fields without the module, injection_protocol.h) and logging to `log`.
launcher::Run RunLauncher(const Programs& programs, const std::string& folder, const std::string& plan,
                          const std::string& log);

// One run of the plug-in's scenario in `folder`; c:\1_temp is emptied first.
plugin::Run RunPlugin(const Programs& programs, const std::string& folder, const std::string& plan,
                      const std::string& log);

}  // namespace fault_campaign
