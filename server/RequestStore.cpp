#include "server/RequestStore.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <stdexcept>

namespace {

// UTC with milliseconds, e.g. 2024-05-01T09:30:00.125Z.
std::string Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(milliseconds));
  return text;
}

}  // namespace

RequestStore::RequestStore(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    const std::string message = database ? sqlite3_errmsg(database) : "out of memory";
    sqlite3_close(database);
    throw std::runtime_error("cannot open database " + path + ": " + message);
  }
  sqlite3_busy_timeout(database, 10'000);
  char* error = nullptr;
  const char* schema = R"(
    PRAGMA journal_mode = WAL;
    PRAGMA synchronous = NORMAL;
    CREATE TABLE IF NOT EXISTS zb_analytics (
      id INTEGER PRIMARY KEY, received TEXT NOT NULL, event_id TEXT, user_id TEXT, session_id TEXT,
      package TEXT, payload TEXT NOT NULL);
    CREATE TABLE IF NOT EXISTS requests (
      id INTEGER PRIMARY KEY, received TEXT NOT NULL, method TEXT, target TEXT, headers TEXT, body BLOB,
      header_lines TEXT);
  )";
  if (sqlite3_exec(database, schema, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    sqlite3_close(database);
    throw std::runtime_error("cannot prepare database " + path + ": " + message);
  }
  // A database made before requests had header_lines gets the column.
  sqlite3_stmt* probe = nullptr;
  const bool hasHeaderLines =
      sqlite3_prepare_v2(database, "SELECT header_lines FROM requests", -1, &probe, nullptr) == SQLITE_OK;
  sqlite3_finalize(probe);
  if (!hasHeaderLines &&
      sqlite3_exec(database, "ALTER TABLE requests ADD COLUMN header_lines TEXT", nullptr, nullptr, nullptr) !=
          SQLITE_OK) {
    const std::string message = sqlite3_errmsg(database);
    sqlite3_close(database);
    throw std::runtime_error("cannot prepare database " + path + ": " + message);
  }
}

RequestStore::~RequestStore() { sqlite3_close(database); }

void RequestStore::RecordRequest(const std::string& method, const std::string& target, const std::string& headers,
                                 const std::string& headerLines, const std::string& body) {
  Execute("INSERT INTO requests (received, method, target, headers, header_lines, body) VALUES (?, ?, ?, ?, ?, ?)",
          {Now(), method, target, headers, headerLines, body}, 6);
}

void RequestStore::RecordEvent(const EventRecord& event) {
  Execute(
      "INSERT INTO zb_analytics (received, event_id, user_id, session_id, package, payload) "
      "VALUES (?, ?, ?, ?, ?, ?)",
      {Now(), event.eventId, event.userId, event.sessionId, event.package, event.payload});
}

void RequestStore::Execute(const char* sql, std::initializer_list<std::string> values, int blobIndex) {
  std::lock_guard lock(mutex);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(database, sql, -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqlite3_errmsg(database));
  int index = 1;
  for (const std::string& value : values) {
    if (index == blobIndex)
      sqlite3_bind_blob(statement, index++, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    else
      sqlite3_bind_text(statement, index++, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  }
  const int result = sqlite3_step(statement);
  sqlite3_finalize(statement);
  if (result != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(database));
}
