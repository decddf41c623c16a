// A stand-in installer for tests: a real program that records how it was
// started and ends with a chosen exit code. Built for both targets.
//
// Told through its environment, which the process that starts it passes on:
//   BRIMVALE_TEST_INSTALLER_OUT   folder; the program writes <own name>.run
//                                 there holding its command line (one line)
//   BRIMVALE_TEST_INSTALLER_EXIT  exit code (default 0)
//   BRIMVALE_TEST_INSTALLER_GATE  a file to wait for (at most 60 s) before
//                                 recording and exiting
// An argument "/exit=N" overrides the exit code, so one run can give each
// installer its own result.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void WaitForGate(const std::string& gate) {
  if (gate.empty()) return;
  for (int i = 0; i < 600 && !std::filesystem::exists(std::filesystem::path(gate)); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

// The exit code: "/exit=N" among the arguments, else the environment's.
std::uint32_t ExitCode(const std::string& commandLine) {
  const auto option = commandLine.find("/exit=");
  if (option != std::string::npos) return static_cast<std::uint32_t>(std::strtoul(commandLine.c_str() + option + 6, nullptr, 10));
  return static_cast<std::uint32_t>(std::strtoul(Variable("BRIMVALE_TEST_INSTALLER_EXIT").c_str(), nullptr, 10));
}

int Run(const std::filesystem::path& self, const std::string& commandLine) {
  WaitForGate(Variable("BRIMVALE_TEST_INSTALLER_GATE"));
  if (const std::string out = Variable("BRIMVALE_TEST_INSTALLER_OUT"); !out.empty()) {
    std::filesystem::path record = std::filesystem::path(out) / self.filename();
    record += ".run";
    // Written under a temporary name and renamed, so a reader never sees half.
    std::filesystem::path partial = record;
    partial += ".part";
    std::ofstream(partial, std::ios::binary) << commandLine << "\n";
    std::error_code ignored;
    std::filesystem::rename(partial, record, ignored);
  }
  return static_cast<int>(ExitCode(commandLine));
}

}  // namespace

#ifdef _WIN32
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* wide = ::GetCommandLineW();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string commandLine(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, commandLine.data(), size, nullptr, nullptr);
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  ::ExitProcess(static_cast<UINT>(Run(std::filesystem::path(self), commandLine)));
}
#else
// Linux keeps the arguments apart; they are joined back with blanks after
// the quoted program, which is the Windows command line for simple ones.
int main(int argc, char** argv) {
  std::string commandLine = std::string("\"") + argv[0] + "\"";
  for (int i = 1; i < argc; ++i) commandLine += std::string(" ") + argv[i];
  return Run(std::filesystem::path(argv[0]), commandLine);
}
#endif
