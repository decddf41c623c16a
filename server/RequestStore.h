// The server's SQLite database: accepted events (table zb_analytics) and
// every request received (table requests). Safe to use from any thread.
#pragma once

#include <sqlite3.h>

#include <mutex>
#include <string>

#include "server/EventCheck.h"

class RequestStore {
 public:
  // Opens or creates the database and its tables. Throws std::runtime_error.
  explicit RequestStore(const std::string& path);
  ~RequestStore();
  RequestStore(const RequestStore&) = delete;
  RequestStore& operator=(const RequestStore&) = delete;

  // `headers` is a JSON object of the request's headers by name,
  // `headerLines` a JSON array of its header lines as they came, in order;
  // the body is kept byte for byte, NULs included.
  void RecordRequest(const std::string& method, const std::string& target, const std::string& headers,
                     const std::string& headerLines, const std::string& body);
  void RecordEvent(const EventRecord& event);

 private:
  // Binds the values as text, the one at `blobIndex` (1-based) as bytes.
  void Execute(const char* sql, std::initializer_list<std::string> values, int blobIndex = 0);

  std::mutex mutex;
  sqlite3* database = nullptr;
};
