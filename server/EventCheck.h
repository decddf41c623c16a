// Whether a post to /zbd is an event the server accepts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The columns of one row of zb_analytics.
struct EventRecord {
  std::string eventId;    // payload "6"
  std::string userId;     // payload "1"
  std::string sessionId;  // payload "2"
  std::string package;    // payload "5"
  std::string payload;    // the whole payload text
};

struct EventVerdict {
  int status = 200;  // 200 accepted, 400 malformed, 401 wrong table or signature
  std::optional<EventRecord> record;
};

// The body must be a JSON object {"data": string, "table": "zb_analytics"}
// whose data parses as a JSON object, and `authorization` must be
// "Signature=" + lower-case SHA-256 hex of data's "1" followed by its "2".
EventVerdict CheckEvent(std::string_view body, std::string_view authorization);

std::string Sha256HexOf(std::string_view text);
