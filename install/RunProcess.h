// Starting a package's installer.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/ProcessLauncher.h"

// Exit code and message of an installer run.
using RunResult = std::pair<std::uint32_t, std::wstring>;

inline constexpr std::uint32_t kExitCodeNotWaited = 0xFFFFFFFF;

// Runs the command line `"path" arguments` (a quote, the path, a quote, a
// blank, the arguments). When `wait` is true it blocks until the program
// ends and returns its exit code; otherwise the code stays 0xFFFFFFFF.
// Messages: "Error launching executable: " + the system text of the error
// when the program cannot start (code 0xFFFFFFFF); "exit code = N" whenever
// the code is not 0, so a run not waited for carries "exit code = 4294967295";
// empty after a waited run that returned 0.
RunResult RunProcess(platform::ProcessLauncher& processes, const std::wstring& path, const std::wstring& arguments,
                     bool wait);
