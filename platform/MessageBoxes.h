// Message boxes that have no page to own them (MessageBoxW; natively they are
// recorded for tests and answered from a queue).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns the button pressed (kIdOk, kIdCancel, ...).
  virtual int Show(const std::wstring& text, const std::wstring& caption, std::uint32_t style) = 0;
};

}  // namespace platform
