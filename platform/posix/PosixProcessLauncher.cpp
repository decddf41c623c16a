#include "platform/posix/PosixProcessLauncher.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/posix/NativePath.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/WindowsCommandLine.h"
#include "util/Utf8.h"

extern char** environ;

namespace platform::posix {
namespace {

// A regular file that is an ELF program or a script may be run.
void MakeRunnable(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & S_IXUSR)) return;
  // Read only; a file we cannot read stays as it is and the start fails.
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char head[4] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    const bool elf = got == 4 && std::memcmp(head, "\x7F" "ELF", 4) == 0;
    const bool script = got >= 2 && head[0] == '#' && head[1] == '!';
    if (elf || script) ::chmod(path.c_str(), info.st_mode | S_IXUSR);
  }
}

Win32Error Win32ErrorFromSpawn(int error) {
  if (error == ENOEXEC) return kErrorBadExeFormat;
  if (error == EISDIR) return kErrorAccessDenied;
  return Win32ErrorFromErrno(error);
}

std::uint32_t ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
  return 0xFFFFFFFFu;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

Win32Error PosixProcessLauncher::Launch(const std::wstring& commandLine, bool wait, std::uint32_t& exitCode) {
  const std::vector<std::wstring> tokens = SplitWindowsCommandLine(commandLine);
  if (tokens.front().empty()) return kErrorFileNotFound;
  std::vector<std::string> arguments;
  arguments.push_back(ToNativePath(tokens.front()));
  for (std::size_t i = 1; i < tokens.size(); ++i) arguments.push_back(WideToUtf8(tokens[i]));
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  MakeRunnable(arguments.front());
  pid_t pid = 0;
  if (const int error = ::posix_spawn(&pid, arguments.front().c_str(), nullptr, nullptr, argv.data(), environ))
    return Win32ErrorFromSpawn(error);
  if (wait) {
    exitCode = ExitCodeOf(WaitFor(pid));
  } else {
    std::thread([pid] { WaitFor(pid); }).detach();
  }
  return kErrorSuccess;
}

}  // namespace platform::posix
