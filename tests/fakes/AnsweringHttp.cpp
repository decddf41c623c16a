#include "tests/fakes/AnsweringHttp.h"

#include <algorithm>

#include "platform/posix/HttpUrl.h"

namespace fakes {
namespace {

using State = AnsweringHttp::State;

class AnsweringRequest : public platform::HttpRequest {
 public:
  AnsweringRequest(std::shared_ptr<State> state, AnsweringHttp::Request request)
      : state(std::move(state)), request(std::move(request)) {}

  platform::Win32Error AddHeader(const std::wstring& line) override {
    request.headers.push_back(line);
    return platform::kErrorSuccess;
  }
  platform::Win32Error Send(std::string_view body) override {
    request.body.assign(body);
    std::lock_guard lock(state->mutex);
    state->requests.push_back(request);
    if (!state->statuses.empty()) {
      status = state->statuses.front();
      state->statuses.pop_front();
    }
    answer = state->body;
    return platform::kErrorSuccess;
  }
  platform::Win32Error ReceiveResponse() override { return platform::kErrorSuccess; }
  platform::Win32Error QueryNumber(platform::HttpQuery query, std::uint32_t& value) override {
    if (query != platform::HttpQuery::StatusCode) return platform::kErrorWinHttpHeaderNotFound;
    value = status;
    return platform::kErrorSuccess;
  }
  platform::Win32Error QueryText(platform::HttpQuery, std::uint32_t, std::wstring&) override {
    return platform::kErrorWinHttpHeaderNotFound;
  }
  platform::Win32Error QueryDataAvailable(std::uint32_t& available) override {
    available = static_cast<std::uint32_t>(answer.size() - sent);
    return platform::kErrorSuccess;
  }
  platform::Win32Error ReadData(void* buffer, std::uint32_t size, std::uint32_t& read) override {
    read = static_cast<std::uint32_t>(std::min<std::size_t>(size, answer.size() - sent));
    answer.copy(static_cast<char*>(buffer), read, sent);
    sent += read;
    return platform::kErrorSuccess;
  }

 private:
  std::shared_ptr<State> state;
  AnsweringHttp::Request request;
  std::uint32_t status = 200;
  std::string answer;
  std::size_t sent = 0;
};

class AnsweringConnection : public platform::HttpConnection {
 public:
  AnsweringConnection(std::shared_ptr<State> state, std::wstring host) : state(std::move(state)), host(std::move(host)) {}
  platform::Win32Error OpenRequest(const std::wstring&, const std::wstring& path, std::uint32_t,
                                   std::unique_ptr<platform::HttpRequest>& request) override {
    request = std::make_unique<AnsweringRequest>(state, AnsweringHttp::Request{.host = host, .path = path,
                                                                               .headers = {}, .body = {}});
    return platform::kErrorSuccess;
  }

 private:
  std::shared_ptr<State> state;
  std::wstring host;
};

class AnsweringSession : public platform::HttpSession {
 public:
  explicit AnsweringSession(std::shared_ptr<State> state) : state(std::move(state)) {}
  platform::Win32Error SetSecureProtocols(std::uint32_t) override { return platform::kErrorSuccess; }
  platform::Win32Error Connect(const std::wstring& host, std::uint16_t,
                               std::unique_ptr<platform::HttpConnection>& connection) override {
    connection = std::make_unique<AnsweringConnection>(state, host);
    return platform::kErrorSuccess;
  }

 private:
  std::shared_ptr<State> state;
};

}  // namespace

platform::Win32Error AnsweringHttp::OpenSession(const std::optional<std::wstring>&, std::uint32_t,
                                                std::unique_ptr<platform::HttpSession>& session) {
  session = std::make_unique<AnsweringSession>(state);
  return platform::kErrorSuccess;
}

platform::Win32Error AnsweringHttp::CrackUrl(const std::wstring& url, platform::UrlParts& parts) {
  return platform::posix::CrackHttpUrl(url, parts);
}

void AnsweringHttp::QueueStatuses(std::vector<std::uint32_t> statuses) {
  std::lock_guard lock(state->mutex);
  state->statuses.insert(state->statuses.end(), statuses.begin(), statuses.end());
}

void AnsweringHttp::SetBody(std::string body) {
  std::lock_guard lock(state->mutex);
  state->body = std::move(body);
}

std::vector<AnsweringHttp::Request> AnsweringHttp::Requests() const {
  std::lock_guard lock(state->mutex);
  return state->requests;
}

}  // namespace fakes
