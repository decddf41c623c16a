// What the Wine test runner tells a test about the prefix it runs in.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "platform/Services.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace winetest {

// "32" or "64": the prefix's architecture.
inline bool ExpectSixtyFourBit() {
  const char* arch = std::getenv("BRIMVALE_EXPECT_ARCH");
  return arch && std::string(arch) == "64";
}

// "win7" or "win10": the version the prefix was set to.
inline std::string ExpectedWindows() {
  const char* windows = std::getenv("BRIMVALE_EXPECT_WINDOWS");
  return windows ? windows : "";
}

inline std::wstring Variable(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = ::GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

// A Linux path as Wine's drive Z: (the root of the Linux file system) shows it.
inline std::wstring FromUnixPath(const std::string& path) {
  std::wstring windows = L"Z:";
  for (const char c : path) windows += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return windows;
}

// A fresh folder under the temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t name[MAX_PATH] = {};
    ::GetTempFileNameW(temp, L"BVT", 0, name);
    ::DeleteFileW(name);
    ::CreateDirectoryW(name, nullptr);
    path = name;
  }
  ~ScratchFolder() {
    // SHFileOperation needs a double-terminated list.
    std::wstring from = path;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return path; }

 private:
  std::wstring path;
};

// Runs a command line (CreateProcessW, no window) and returns its exit
// code, or -1 when it could not be started.
inline long RunAndWait(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
    return -1;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

// A clock that records waits instead of waiting.
class RecordingClock : public platform::Clock {
 public:
  std::int64_t UnixTimeNow() override { return real->UnixTimeNow(); }
  bool ToLocalTime(std::int64_t unixTime, std::tm& local) override { return real->ToLocalTime(unixTime, local); }
  void Sleep(std::uint32_t milliseconds) override {
    std::lock_guard lock(mutex);
    sleeps.push_back(milliseconds);
  }
  std::vector<std::uint32_t> Sleeps() {
    std::lock_guard lock(mutex);
    return sleeps;
  }

 private:
  std::shared_ptr<platform::Clock> real = platform::CreateSystemServices().clock;
  std::mutex mutex;
  std::vector<std::uint32_t> sleeps;
};

}  // namespace winetest
