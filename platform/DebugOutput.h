// The program's diagnostics, both invisible to the user (there is no log
// file): the debugger output, which names each page that becomes current,
// and the process's standard output, which carries transport diagnostics.
#pragma once

#include <string>

namespace platform {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;

  // OutputDebugStringW: the text as given.
  virtual void Write(const std::wstring& text) = 0;

  // One line on standard output (the line break is added): what a request
  // could not do, a header that was not added, an event that was dropped.
  // Safe to call from any thread.
  virtual void WriteDiagnostic(const std::string& line) = 0;
};

}  // namespace platform
