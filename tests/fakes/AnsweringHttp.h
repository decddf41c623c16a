// An HTTP seam that answers every request itself, with status codes a test
// queues (200 once the queue is empty) and a body a test sets (none by
// default), and records what was sent: for event and request logic that
// needs no server. Thread-safe; the objects it
// hands out keep its state alive.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Http.h"

namespace fakes {

class AnsweringHttp : public platform::Http {
 public:
  struct Request {
    std::wstring host;
    std::wstring path;
    std::vector<std::wstring> headers;  // "Name: value" lines in order
    std::string body;
  };
  struct State {
    std::mutex mutex;
    std::deque<std::uint32_t> statuses;  // answered in turn; 200 when empty
    std::string body;                    // the body of every answer
    std::vector<Request> requests;
  };

  platform::Win32Error OpenSession(const std::optional<std::wstring>& userAgent, std::uint32_t accessType,
                                   std::unique_ptr<platform::HttpSession>& session) override;
  platform::Win32Error CrackUrl(const std::wstring& url, platform::UrlParts& parts) override;
  platform::Win32Error LastError() override { return platform::kErrorSuccess; }

  void QueueStatuses(std::vector<std::uint32_t> statuses);
  void SetBody(std::string body);
  std::vector<Request> Requests() const;

 private:
  std::shared_ptr<State> state = std::make_shared<State>();
};

}  // namespace fakes
