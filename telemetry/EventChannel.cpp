#include "telemetry/EventChannel.h"

#include <exception>
#include <string>
#include <thread>

#include "config/ConfigurationManager.h"
#include "config/HttpJsonClient.h"

namespace {

constexpr int kAttempts = 2;
constexpr std::uint32_t kRetryWaitMs = 5000;

void PostEvent(EventChannel& channel, ConfigurationManager& configuration, nlohmann::json payload,
               const HttpHeaders& headers, int eventId, const nlohmann::json& extra) {
  payload["6"] = std::to_string(eventId);
  if (extra.is_object()) {
    // Extras only replace what the payload already has ("12", "13").
    for (const auto& [key, value] : extra.items())
      if (payload.contains(key)) payload[key] = value;
  }
  const nlohmann::json request = {{"data", payload.dump()}, {"table", "zb_analytics"}};
  const auto& services = configuration.Services();
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    std::string response;
    std::uint32_t status = 0;
    if (PostJson(services, configuration.eventUrl, request.dump(), headers, response, status) && status >= 200 &&
        status <= 399) {
      channel.finalEventSent = IsTerminalEvent(eventId);
      return;
    }
    if (attempt < kAttempts) services.clock->Sleep(kRetryWaitMs);
  }
}

void SendEventWorker(std::shared_ptr<EventChannel> channel, std::shared_ptr<ConfigurationManager> configuration,
                     nlohmann::json payload, HttpHeaders headers, int eventId, nlohmann::json extra) {
  try {
    PostEvent(*channel, *configuration, std::move(payload), headers, eventId, extra);
  } catch (const std::exception&) {
    // The event is lost; nothing of it reaches the user.
  }
  std::lock_guard lock(channel->mutex);
  if (--channel->pendingEvents == 0) channel->eventsDrained.notify_all();
}

}  // namespace

bool IsTerminalEvent(int eventId) {
  switch (eventId) {
    case -1:
    case 2:
    case 3:
    case 4:
    case 5:
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
    std::thread(SendEventWorker, channel, std::move(configuration), std::move(payload), std::move(headers), eventId,
                std::move(extra))
        .detach();
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
