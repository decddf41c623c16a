// Opening documents, programs and URLs the way the shell does
// (ShellExecuteW): the finish pages and the links of the pages use it.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// ShowWindow commands the wizard passes.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowDefault = 10;

struct ShellRequest {
  std::wstring verb;        // "open"
  std::wstring file;        // document, program or URL
  std::wstring parameters;  // empty for none
  std::wstring directory;   // empty for none
  int show = kSwShowNormal;
  bool operator==(const ShellRequest&) const = default;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW with no owner window (empty texts pass as NULL). Returns
  // its result: greater than 32 on success, an error code otherwise.
  virtual std::intptr_t Open(const ShellRequest& request) = 0;
};

}  // namespace platform
