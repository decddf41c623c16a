// The WinINet seam on WinINet itself.
#pragma once

#include "platform/Internet.h"

namespace platform::win32 {

class Win32Internet : public Internet {
 public:
  Win32Error Open(const std::wstring& userAgent, std::uint32_t accessType,
                  std::unique_ptr<InternetSession>& session) override;
  Win32Error LastError() override;
};

}  // namespace platform::win32
