// The stand-in host's transcript: everything written to the process's standard output (by the
// host and by the plug-in, which shares the C runtime's stdout) goes, in order, both to a file
// and to wherever standard output went before, if anywhere.
#pragma once

#include <windows.h>

#include <string>

namespace vorlan {

class Transcript {
 public:
  // Starts copying standard output into the file, which is emptied first; false when the file
  // or the pipe cannot be made, standard output then stays as it was.
  bool Start(const std::string& path);

  // Sends everything written so far on its way and closes the transcript; for the end of the
  // run, as standard output is closed from then on.
  void Finish();

 private:
  static DWORD WINAPI Copy(LPVOID self);
  void Close();  // closes the copier, the pipe's reading end and the file

  HANDLE previousOutput_ = nullptr;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE pipeRead_ = nullptr;
  HANDLE copier_ = nullptr;
};

}  // namespace vorlan
