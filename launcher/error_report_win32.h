#pragma once

namespace launcher {

// Ends the launcher with the platform's standard error report, owned by its window.
[[noreturn]] void ReportErrorAndEnd(const char* message);

}  // namespace launcher
