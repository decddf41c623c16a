#pragma once

#include "platform/MessageBoxes.h"

namespace platform::win32 {

class Win32MessageBoxes : public MessageBoxes {
 public:
  int Show(const std::wstring& text, const std::wstring& caption, std::uint32_t style) override;
};

}  // namespace platform::win32
