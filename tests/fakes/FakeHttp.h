// An HTTP seam that records what the core asks of it and fails where a
// test says, for decisions that need no server.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Http.h"

namespace fakes {

class FakeHttp : public platform::Http {
 public:
  struct Calls {
    std::vector<std::uint32_t> accessTypes;
    std::vector<std::uint32_t> secureProtocols;
    std::vector<std::pair<std::wstring, std::uint16_t>> connections;  // host, port
  };

  platform::Win32Error OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                                   std::unique_ptr<platform::HttpSession>& session) override;
  platform::Win32Error CrackUrl(const std::wstring& url, platform::UrlParts& parts) override;
  platform::Win32Error LastError() override { return connectError; }

  Calls Recorded() const;

  // What Connect answers; anything but success ends a request there.
  platform::Win32Error connectError = platform::kErrorWinHttpCannotConnect;

 private:
  friend class FakeHttpSession;
  mutable std::mutex mutex;
  Calls calls;
};

}  // namespace fakes
