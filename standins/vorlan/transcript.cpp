#include "transcript.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <utility>

namespace vorlan {

bool Transcript::Start(const std::string& path) {
  // Shared for writing too: the previous run's handle may linger a moment after its process ended.
  file_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE pipeWrite = nullptr;
  if (file_ == INVALID_HANDLE_VALUE || !CreatePipe(&pipeRead_, &pipeWrite, nullptr, 0)) {
    Close();
    return false;
  }
  previousOutput_ = GetStdHandle(STD_OUTPUT_HANDLE);
  if (previousOutput_ == INVALID_HANDLE_VALUE) previousOutput_ = nullptr;
  if (previousOutput_) {  // a handle of our own: descriptor 1 is about to be replaced
    DuplicateHandle(GetCurrentProcess(), previousOutput_, GetCurrentProcess(), &previousOutput_,
                    0, FALSE, DUPLICATE_SAME_ACCESS);
  }
  // The copier runs before anything is sent into the pipe, so no write can wait for a reader.
  copier_ = CreateThread(nullptr, 0, &Transcript::Copy, this, 0, nullptr);
  if (!copier_) {
    CloseHandle(pipeWrite);
    Close();
    return false;
  }

  std::fflush(stdout);
  const int descriptor =
      _open_osfhandle(reinterpret_cast<intptr_t>(pipeWrite), _O_WRONLY | _O_BINARY);
  _dup2(descriptor, 1);
  _close(descriptor);
  SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(1)));
  // Unbuffered, so that host lines and plug-in lines reach the pipe in the order written.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  return true;
}

void Transcript::Finish() {
  if (!copier_) return;
  std::fflush(stdout);
  _close(1);  // the last writing end: the copier sees the end of the pipe
  WaitForSingleObject(copier_, INFINITE);
  SetStdHandle(STD_OUTPUT_HANDLE, previousOutput_);
  Close();
}

void Transcript::Close() {
  for (HANDLE* handle : {&copier_, &pipeRead_})
    if (*handle) CloseHandle(std::exchange(*handle, nullptr));
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(file_, INVALID_HANDLE_VALUE));
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
