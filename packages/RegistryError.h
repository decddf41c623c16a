// The registry layer's exception: a failed registry call, with the message
// saying which step failed and the Win32 error code the call returned.
// Inside the layer every RegistryError is caught and read as "not found";
// none reaches the offer rules.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace win32 {

class RegistryError : public std::runtime_error {
 public:
  RegistryError(const std::string& message, std::int32_t code) : std::runtime_error(message), code(code) {}

  std::int32_t Code() const { return code; }

 private:
  std::int32_t code;
};

}  // namespace win32
