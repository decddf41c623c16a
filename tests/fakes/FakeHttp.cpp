#include "tests/fakes/FakeHttp.h"

#include "platform/posix/HttpUrl.h"

namespace fakes {

class FakeHttpSession : public platform::HttpSession {
 public:
  explicit FakeHttpSession(FakeHttp& http) : http(http) {}

  platform::Win32Error SetSecureProtocols(std::uint32_t protocols) override {
    std::lock_guard lock(http.mutex);
    http.calls.secureProtocols.push_back(protocols);
    return platform::kErrorSuccess;
  }

  platform::Win32Error Connect(const std::wstring& host, std::uint16_t port,
                               std::unique_ptr<platform::HttpConnection>&) override {
    std::lock_guard lock(http.mutex);
    http.calls.connections.emplace_back(host, port);
    return http.connectError;
  }

 private:
  FakeHttp& http;
};

platform::Win32Error FakeHttp::OpenSession(const std::optional<std::wstring>&, std::uint32_t accessType,
                                           std::unique_ptr<platform::HttpSession>& session) {
  std::lock_guard lock(mutex);
  calls.accessTypes.push_back(accessType);
  session = std::make_unique<FakeHttpSession>(*this);
  return platform::kErrorSuccess;
}

platform::Win32Error FakeHttp::CrackUrl(const std::wstring& url, platform::UrlParts& parts) {
  return platform::posix::CrackHttpUrl(url, parts);
}

FakeHttp::Calls FakeHttp::Recorded() const {
  std::lock_guard lock(mutex);
  return calls;
}

}  // namespace fakes
