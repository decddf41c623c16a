// The posix HTTP seam against the reference server: what the download
// manager relies on besides what the JSON client uses.
#include <gtest/gtest.h>

#include "config/BuildSettings.h"
#include "config/RequestSignature.h"
#include "tests/fixtures/ReferenceServer.h"

using platform::HttpQuery;
using platform::kErrorSuccess;

namespace {

struct Opened {
  std::unique_ptr<platform::HttpSession> session;
  std::unique_ptr<platform::HttpConnection> connection;
  std::unique_ptr<platform::HttpRequest> request;
};

// A GET of `path` on the product's server host, sent and received.
Opened Get(platform::Http& http, const std::wstring& path) {
  Opened opened;
  EXPECT_EQ(http.OpenSession(std::nullopt, platform::kHttpAccessTypeDefaultProxy, opened.session), kErrorSuccess);
  EXPECT_EQ(opened.session->Connect(build::kServerHost, 443, opened.connection), kErrorSuccess);
  EXPECT_EQ(opened.connection->OpenRequest(L"GET", path, platform::kHttpFlagSecure | platform::kHttpFlagRefresh,
                                           opened.request),
            kErrorSuccess);
  EXPECT_EQ(opened.request->Send(""), kErrorSuccess);
  EXPECT_EQ(opened.request->ReceiveResponse(), kErrorSuccess);
  return opened;
}

// Reads the body chunk by chunk as the download manager does.
std::string ReadAll(platform::HttpRequest& request, std::size_t* largestChunk = nullptr) {
  std::string body;
  for (;;) {
    std::uint32_t available = 0;
    EXPECT_EQ(request.QueryDataAvailable(available), kErrorSuccess);
    if (available == 0) return body;
    if (largestChunk) *largestChunk = std::max<std::size_t>(*largestChunk, available);
    std::string chunk(available, '\0');
    std::uint32_t read = 0;
    EXPECT_EQ(request.ReadData(chunk.data(), available, read), kErrorSuccess);
    body.append(chunk, 0, read);
  }
}

std::uint32_t Number(platform::HttpRequest& request, HttpQuery query, platform::Win32Error expected = kErrorSuccess) {
  std::uint32_t value = 0;
  EXPECT_EQ(request.QueryNumber(query, value), expected);
  return value;
}

class PosixHttpServerTest : public testing::Test {
 protected:
  PosixHttpServerTest() {
    catalogue.SetIndex({{"configuration", {{"/o", {{"body", "{}"}}}}},
                        {"faults",
                         {{"/files/moved.bin", {{"redirects", 1}}},
                          {"/files/unsized.bin", {{"contentLength", false}}},
                          {"/files/short.bin", {{"cutAfter", 600}}}}}});
    for (const char* name : {"moved.bin", "unsized.bin", "short.bin"}) catalogue.Write(std::string("files/") + name, std::string(1000, 'x'));
    catalogue.Write("files/large.bin", large);
    server = std::make_unique<testserver::ReferenceServer>(catalogue);
    http = server->Http();
  }

  const std::string large = [] {
    std::string bytes(8 * 1024 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 13);
    return bytes;
  }();
  testserver::TestCatalogue catalogue;
  std::unique_ptr<testserver::ReferenceServer> server;
  std::shared_ptr<platform::Http> http;
};

}  // namespace

// A redirect is handed to the caller with its Location, readable only into
// a buffer that holds it with its terminating NUL.
TEST_F(PosixHttpServerTest, LeavesRedirectsToTheCaller) {
  Opened moved = Get(*http, L"/files/moved.bin");
  EXPECT_EQ(Number(*moved.request, HttpQuery::StatusCode), 302u);
  const std::wstring expected = testserver::ProductUrl(L"/files/moved.bin?hop=1");
  const auto bytes = static_cast<std::uint32_t>((expected.size() + 1) * 2);  // UTF-16, as WinHTTP counts
  std::wstring location;
  EXPECT_EQ(moved.request->QueryText(HttpQuery::Location, bytes - 2, location), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(location, L"");
  EXPECT_EQ(moved.request->QueryText(HttpQuery::Location, bytes, location), kErrorSuccess);
  EXPECT_EQ(location, expected);

  Opened next = Get(*http, L"/files/moved.bin?hop=1");
  EXPECT_EQ(Number(*next.request, HttpQuery::StatusCode), 200u);
  EXPECT_EQ(next.request->QueryText(HttpQuery::Location, 520, location), platform::kErrorWinHttpHeaderNotFound);
}

// Content-Length is a number when sent and missing when the body is chunked;
// a body cut short ends early without an error.
TEST_F(PosixHttpServerTest, ReportsLengthAndEndsShortBodies) {
  Opened unsized = Get(*http, L"/files/unsized.bin");
  Number(*unsized.request, HttpQuery::ContentLength, platform::kErrorWinHttpHeaderNotFound);
  EXPECT_EQ(ReadAll(*unsized.request), std::string(1000, 'x'));

  Opened cut = Get(*http, L"/files/short.bin");
  EXPECT_EQ(Number(*cut.request, HttpQuery::ContentLength), 1000u);
  EXPECT_EQ(ReadAll(*cut.request).size(), 600u);
}

// A large body arrives whole, byte for byte, in chunks of bounded size.
TEST_F(PosixHttpServerTest, StreamsALargeBody) {
  Opened opened = Get(*http, L"/files/large.bin");
  EXPECT_EQ(Number(*opened.request, HttpQuery::ContentLength), large.size());
  std::size_t largestChunk = 0;
  const std::string body = ReadAll(*opened.request, &largestChunk);
  EXPECT_EQ(body.size(), large.size());
  EXPECT_EQ(Sha256Hex(body), Sha256Hex(large));
  EXPECT_LE(largestChunk, 1024u * 1024u);
}
