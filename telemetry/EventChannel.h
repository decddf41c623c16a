// Delivery of a package's events. Each event is posted by a worker of its
// own with one retry: a thread of RunOnFreeThread, never one busy with
// another event. The package and its workers share an EventChannel, which
// counts the running workers and remembers whether a final event was
// delivered. A worker keeps alive everything it uses (the
// channel, the configuration, its own copies of payload and headers), so it
// never depends on the package that sent it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <nlohmann/json.hpp>

#include "config/HttpHeaders.h"

class ConfigurationManager;

struct EventChannel {
  std::mutex mutex;
  std::condition_variable eventsDrained;  // notified when pendingEvents returns to 0
  int pendingEvents = 0;                  // workers started and not finished; guarded by mutex
  // Set by a worker once an event is delivered: true for a terminal event
  // (-1, 2, 3, 4, 5), false again for another. Events raised while it is
  // true are dropped.
  std::atomic<bool> finalEventSent{false};
};

bool IsTerminalEvent(int eventId);

// Counts a worker in and starts it: it sets "6" of `payload` to the event
// id, replaces the members of `payload` that `extra` (null or an object)
// also has, and posts {"data": payload as compact text, "table":
// "zb_analytics"} with `headers` to the configuration's event URL. A status
// outside 200..299 is tried once more after 5000 ms (the configuration's
// clock): the transport does not follow redirects, so a 3xx never counts
// as delivered; an exception (no answer, a payload that cannot be serialised)
// drops the event at once. A dropped event is written as a transport
// diagnostic naming the event, the package ("5") and why. Returns at once;
// std::system_error when no thread can be started.
void StartEventWorker(std::shared_ptr<EventChannel> channel, std::shared_ptr<ConfigurationManager> configuration,
                      nlohmann::json payload, HttpHeaders headers, int eventId, nlohmann::json extra);

// Blocks until no worker of the channel is running.
void WaitForEventWorkers(EventChannel& channel);
