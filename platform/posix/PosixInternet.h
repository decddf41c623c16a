// The WinINet seam on libcurl: the same transfers as the HTTP seam (routing,
// trust, verification, time-outs), but a URL is opened in one call that
// follows up to 10 redirects (http and https only) and waits for the final
// response's headers. Error codes are WinINet's.
#pragma once

#include <memory>

#include "platform/Internet.h"
#include "platform/posix/PosixHttp.h"

namespace platform::posix {

class PosixInternet : public Internet {
 public:
  explicit PosixInternet(PosixHttpSettings settings = {});

  Win32Error Open(const std::wstring& userAgent, std::uint32_t accessType,
                  std::unique_ptr<InternetSession>& session) override;
  Win32Error LastError() override;

 private:
  std::shared_ptr<const PosixHttpSettings> settings;
};

}  // namespace platform::posix
