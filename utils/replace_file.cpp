#include "replace_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace utils {

#ifdef _WIN32

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// A close that reports an error may have lost what was written.
bool WriteAndFlush(const char* path, std::string_view content) {
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                  written == content.size() && FlushFileBuffers(file);
  return CloseHandle(file) && ok;
}

// A scanner or another reader holding the target open makes the move fail for a moment.
bool MoveOver(const char* from, const std::string& to) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (MoveFileExA(from, to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
    Sleep(20);
  }
  return false;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view content) {
  // A read-only file is one its owner wants kept; moving over it would take that away silently.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(FolderOf(path).c_str(), "xcf", 0, temporary)) return false;
  if (WriteAndFlush(temporary, content) && MoveOver(temporary, path)) return true;
  DeleteFileA(temporary);
  return false;
}

#else

bool ReplaceFileContents(const std::string& path, std::string_view content) {
  std::string temporary = path + ".XXXXXX";
  const int file = mkstemp(temporary.data());
  if (file < 0) return false;
  fchmod(file, 0644);
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = write(file, content.data() + done, content.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool ok = done == content.size() && fsync(file) == 0;
  if (close(file) == 0 && ok && rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

#endif

}  // namespace utils
