#include "config/HttpJsonClient.h"

#include <gtest/gtest.h>

#include "config/BrimvaleException.h"
#include "tests/fakes/FakeHttp.h"
#include "tests/fakes/TestServices.h"

namespace {

struct Machine {
  Machine(platform::OsVersion version) {
    machine.system->Set({.version = version});
    services = machine.Bundle();
    services.http = http;
  }
  fakes::TestServices machine;
  std::shared_ptr<fakes::FakeHttp> http = std::make_shared<fakes::FakeHttp>();
  platform::Services services;
};

}  // namespace

// Windows 7 uses the default proxy, every other system the automatic one;
// TLS 1.0 is the base, TLS 1.1 and 1.2 come with Windows 7 SP1.
TEST(HttpsPost, ChoosesProxyAndTlsVersionsByWindowsVersion) {
  const struct {
    platform::OsVersion windows;
    std::uint32_t accessType;
    std::uint32_t protocols;
  } cases[] = {
      {{6, 0, 6002, 2}, platform::kHttpAccessTypeAutomaticProxy, 0x80},
      {{6, 1, 7600, 0}, platform::kHttpAccessTypeDefaultProxy, 0x80},
      {{6, 1, 7601, 1}, platform::kHttpAccessTypeDefaultProxy, 0xA80},
      {{6, 2, 9200, 0}, platform::kHttpAccessTypeAutomaticProxy, 0xA80},
      {{10, 0, 19045, 0}, platform::kHttpAccessTypeAutomaticProxy, 0xA80},
  };
  for (const auto& c : cases) {
    Machine machine(c.windows);
    std::string response;
    std::uint32_t status = 0;
    EXPECT_FALSE(HttpsPost(machine.services, L"/o", L"cdn.brimvale.com", "{}", {}, response, status));
    const auto calls = machine.http->Recorded();
    ASSERT_EQ(calls.accessTypes.size(), 1u);
    EXPECT_EQ(calls.accessTypes[0], c.accessType) << c.windows.major << "." << c.windows.minor;
    EXPECT_EQ(calls.secureProtocols, std::vector<std::uint32_t>{c.protocols}) << c.windows.major << "." << c.windows.minor;
    EXPECT_EQ(calls.connections, (std::vector<std::pair<std::wstring, std::uint16_t>>{{L"cdn.brimvale.com", 443}}));
  }
}

// Exactly Windows 7 without a service pack and URLs that cannot be split
// fail before anything goes out; a failed transport throws too.
TEST(PostJson, ThrowsWithoutAnAnswer) {
  const struct {
    platform::OsVersion windows;
    std::wstring url;
    bool connects;
  } cases[] = {
      {{6, 1, 7600, 0}, L"https://cdn.brimvale.com/o", false},
      {{10, 0, 19045, 0}, L"cdn.brimvale.com/o", false},
      {{10, 0, 19045, 0}, L"ftp://cdn.brimvale.com/o", false},
      {{10, 0, 19045, 0}, L"https://cdn.brimvale.com/o", true},  // the fake refuses the connection
  };
  for (const auto& c : cases) {
    Machine machine(c.windows);
    std::string response;
    std::uint32_t status = 7;
    EXPECT_THROW(PostJson(machine.services, c.url, "{}", {}, response, status), BrimvaleException);
    EXPECT_EQ(machine.http->Recorded().connections.size(), c.connects ? 1u : 0u);
    EXPECT_EQ(status, 7u);
  }
}
