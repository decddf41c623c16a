#include "telemetry/EventChannel.h"

#include <exception>
#include <optional>
#include <string>

#include "config/BrimvaleException.h"
#include "config/ConfigurationManager.h"
#include "config/HttpJsonClient.h"
#include "config/JsonAccess.h"
#include "telemetry/EventProtocol.h"
#include "util/FreeThreads.h"

namespace {

constexpr int kAttempts = 2;
constexpr std::uint32_t kRetryWaitMs = 5000;

// Posts the event, once more after a wait when the status is no success.
// Returns why the event was dropped, nothing when it was delivered; an
// exception (no answer) passes through.
std::optional<std::string> PostEvent(EventChannel& channel, ConfigurationManager& configuration, nlohmann::json payload,
                      const HttpHeaders& headers, int eventId, const nlohmann::json& extra) {
  json_access::SetMember(payload, events::kEventId, std::to_string(eventId));
  if (extra.is_object()) {
    // Extras only replace what the payload already has ("12", "13").
    for (const auto& [key, value] : extra.items())
      if (payload.contains(key)) payload[key] = value;
  }
  nlohmann::json request = nlohmann::json::object();
  json_access::SetMember(request, events::kRequestData, payload.dump());
  json_access::SetMember(request, events::kRequestTable, events::kTable);
  const auto& services = configuration.Services();
  std::uint32_t status = 0;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    std::string response;
    status = 0;
    if (PostJson(services, configuration.eventUrl, request.dump(), headers, response, status) && status >= 200 &&
        status <= 299) {
      channel.finalEventSent = IsTerminalEvent(eventId);
      return std::nullopt;
    }
    if (attempt < kAttempts) services.clock->Sleep(kRetryWaitMs);
  }
  return "status " + std::to_string(status);
}

void SendEventWorker(std::shared_ptr<EventChannel> channel, std::shared_ptr<ConfigurationManager> configuration,
                     nlohmann::json payload, HttpHeaders headers, int eventId, nlohmann::json extra) {
  // The event is lost when it cannot be delivered; nothing of it reaches
  // the user, the transport diagnostics say why.
  const auto packageId = payload.find(events::kPackageId);
  const std::string package =
      packageId == payload.end() ? "" : packageId->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::optional<std::string> dropped;
  try {
    dropped = PostEvent(*channel, *configuration, std::move(payload), headers, eventId, extra);
  } catch (const BrimvaleException& error) {
    dropped = error.Describe();
  } catch (const std::exception& error) {
    dropped = error.what();
  }
  if (dropped) {
    configuration->Services().debugOutput->WriteDiagnostic("Event " + std::to_string(eventId) + " of package " +
                                                           package + " dropped: " + *dropped);
  }
  std::lock_guard lock(channel->mutex);
  if (--channel->pendingEvents == 0) channel->eventsDrained.notify_all();
}

}  // namespace

bool IsTerminalEvent(int eventId) {
  switch (eventId) {
    case events::kFailed:
    case events::kRefused:
    case events::kCompleted:
    case events::kDeclined:
    case events::kClosing:
      return true;
    default:
      return false;
  }
}

void StartEventWorker(std::shared_ptr<EventChannel> channel, std::shared_ptr<ConfigurationManager> configuration,
                      nlohmann::json payload, HttpHeaders headers, int eventId, nlohmann::json extra) {
  // Counted before the thread exists, so a wait never misses a worker.
  {
    std::lock_guard lock(channel->mutex);
    ++channel->pendingEvents;
  }
  try {
    RunOnFreeThread([channel, configuration = std::move(configuration), payload = std::move(payload),
                     headers = std::move(headers), eventId, extra = std::move(extra)]() mutable {
      SendEventWorker(std::move(channel), std::move(configuration), std::move(payload), std::move(headers), eventId,
                      std::move(extra));
    });
  } catch (...) {
    std::lock_guard lock(channel->mutex);
    if (--channel->pendingEvents == 0) channel->eventsDrained.notify_all();
    throw;
  }
}

void WaitForEventWorkers(EventChannel& channel) {
  std::unique_lock lock(channel.mutex);
  channel.eventsDrained.wait(lock, [&] { return channel.pendingEvents == 0; });
}
