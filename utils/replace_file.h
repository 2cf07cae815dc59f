#pragma once
#include <string>
#include <string_view>

namespace utils {

// Replaces the file at `path` with `content` whole: a temporary file in the same folder is
// written and flushed, then moved over the target. On any failure the earlier file stays as it
// was and the answer is false.
bool ReplaceFileContents(const std::string& path, std::string_view content);

}  // namespace utils
