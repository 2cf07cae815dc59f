#include "run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

#include "wait.h"

extern char** environ;

namespace test_support {

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                      const std::filesystem::path& output, const std::filesystem::path& error,
                      std::chrono::seconds limit) {
  ProgramRun run;
  // Paths as this process sees them: the program starts in `folder`.
  const std::string program = std::filesystem::absolute(argv.at(0)).string();
  const std::string outputName = output.empty() ? "/dev/null" : std::filesystem::absolute(output).string();
  const std::string errorName = error.empty() ? "/dev/null" : std::filesystem::absolute(error).string();
  constexpr int kWrite = O_WRONLY | O_CREAT | O_TRUNC;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputName.c_str(), kWrite, 0644);
  if (!output.empty() && output == error)
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  else
    posix_spawn_file_actions_addopen(&actions, 2, errorName.c_str(), kWrite, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  // A process group of its own, so that everything it starts can be ended with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  std::vector<char*> arguments{const_cast<char*>(program.c_str())};
  for (std::size_t i = 1; i < argv.size(); ++i) arguments.push_back(const_cast<char*>(argv[i].c_str()));
  arguments.push_back(nullptr);
  pid_t process = 0;
  const int failed = posix_spawn(&process, program.c_str(), &actions, &attributes, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed) {
    run.problem = "cannot start " + argv[0] + " (" + std::strerror(failed) + ")";
    return run;
  }
  run.started = true;

  int status = 0;
  if (!WaitUntil([&] { return waitpid(process, &status, WNOHANG) == process; }, limit)) {
    run.timedOut = true;
    run.problem = argv[0] + " ran longer than " + std::to_string(limit.count()) + " s and was ended";
    kill(-process, SIGKILL);
    waitpid(process, &status, 0);
  }
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

}  // namespace test_support
