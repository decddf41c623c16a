// Debugger output and standard output natively: kept in memory so tests can
// read them. Safe to use from any thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"

namespace platform::posix {

class RecordingDebugOutput : public DebugOutput {
 public:
  void Write(const std::wstring& text) override;
  void WriteDiagnostic(const std::string& line) override;

  // What Write received, in order.
  std::vector<std::wstring> Lines() const;
  // What WriteDiagnostic received, one entry per line, in order.
  std::vector<std::string> Diagnostics() const;

 private:
  mutable std::mutex mutex;
  std::vector<std::wstring> lines;
  std::vector<std::string> diagnostics;
};

}  // namespace platform::posix
