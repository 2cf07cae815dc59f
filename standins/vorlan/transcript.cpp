#include "transcript.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace vorlan {

bool Transcript::Start(const std::string& path) {
  file_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  HANDLE pipeWrite = nullptr;
  if (!CreatePipe(&pipeRead_, &pipeWrite, nullptr, 0)) {
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return false;
  }
  previousOutput_ = GetStdHandle(STD_OUTPUT_HANDLE);
  if (previousOutput_ == INVALID_HANDLE_VALUE) previousOutput_ = nullptr;
  if (previousOutput_) {  // keep a handle of our own: descriptor 1 is about to be replaced
    DuplicateHandle(GetCurrentProcess(), previousOutput_, GetCurrentProcess(), &previousOutput_,
                    0, FALSE, DUPLICATE_SAME_ACCESS);
  }

  std::fflush(stdout);
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(pipeWrite), _O_WRONLY | _O_BINARY);
  _dup2(descriptor, 1);
  _close(descriptor);
  SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(1)));
    // Unbuffered, so that host lines and plug-in lines reach the pipe in the order written.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  copier_ = CreateThread(nullptr, 0, &Transcript::Copy, this, 0, nullptr);
  return copier_ != nullptr;
}

void Transcript::Finish() {
  if (!copier_) return;
  std::fflush(stdout);
  _close(1);  // the last writing end: the copier sees the end of the pipe
  WaitForSingleObject(copier_, INFINITE);
  CloseHandle(copier_);
  CloseHandle(pipeRead_);
  CloseHandle(file_);
  SetStdHandle(STD_OUTPUT_HANDLE, previousOutput_);
  copier_ = nullptr;
}

DWORD WINAPI Transcript::Copy(LPVOID self) {
  const Transcript& transcript = *static_cast<const Transcript*>(self);
  char buffer[4096];
  DWORD length = 0;
  while (ReadFile(transcript.pipeRead_, buffer, sizeof buffer, &length, nullptr) && length > 0) {
    DWORD written = 0;
    WriteFile(transcript.file_, buffer, length, &written, nullptr);
    if (transcript.previousOutput_)
      WriteFile(transcript.previousOutput_, buffer, length, &written, nullptr);
  }
  return 0;
}

}  // namespace vorlan
