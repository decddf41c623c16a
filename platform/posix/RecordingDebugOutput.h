// Debugger output natively: kept in memory so tests can read it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"

namespace platform::posix {

class RecordingDebugOutput : public DebugOutput {
 public:
  void Write(const std::wstring& text) override;
  std::vector<std::wstring> Lines() const;

 private:
  mutable std::mutex mutex;
  std::vector<std::wstring> lines;
};

}  // namespace platform::posix
