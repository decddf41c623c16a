// The HTTP seam on WinHTTP: each object owns one HINTERNET.
#pragma once

#include "platform/Http.h"

namespace platform::win32 {

class Win32Http : public Http {
 public:
  Win32Error OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                         std::unique_ptr<HttpSession>& session) override;
  Win32Error CrackUrl(const std::wstring& url, UrlParts& parts) override;
  Win32Error LastError() override;
};

}  // namespace platform::win32
