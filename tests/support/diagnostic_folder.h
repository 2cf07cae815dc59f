// c:\1_temp, where the plug-in writes its diagnostic files: one machine-wide folder, which test
// runs in other processes and the player may use too.
#pragma once
#include <filesystem>
#include <string>

namespace test_support {

extern const std::filesystem::path kDiagnosticFolder;

// Holds c:\1_temp against other test runs while the object lives, by a mutex named for it (let
// go with the process that holds it, whatever way it ends).
class DiagnosticFolderHeld {
 public:
  DiagnosticFolderHeld();
  ~DiagnosticFolderHeld();
  DiagnosticFolderHeld(const DiagnosticFolderHeld&) = delete;
  DiagnosticFolderHeld& operator=(const DiagnosticFolderHeld&) = delete;

 private:
  void* mutex_;
};

// c:\1_temp moved aside under a name of its own while the object lives, then put back in place
// of whatever c:\1_temp then is.
class DiagnosticFolderSetAside {
 public:
  explicit DiagnosticFolderSetAside(const std::string& why);
  ~DiagnosticFolderSetAside();
  DiagnosticFolderSetAside(const DiagnosticFolderSetAside&) = delete;
  DiagnosticFolderSetAside& operator=(const DiagnosticFolderSetAside&) = delete;

 private:
  std::filesystem::path aside_;
};

}  // namespace test_support
