// What the reference server serves, read from a catalogue folder:
//
//   catalogue.json   endpoints and faults (format in the README)
//   answers/...      configuration answers the catalogue names
//   images/          served as /f/<name>
//   files/           served as /files/<name>
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A canned answer: a file of the catalogue (read on each request, so it can
// be edited while the server runs) or a literal body.
struct CannedAnswer {
  std::optional<std::filesystem::path> file;
  std::string body;
  int status = 200;
  std::string contentType = "application/json";
};

// An answer chosen when a member of the posted JSON object has a value.
struct AnswerVariant {
  std::string member;
  std::string value;
  CannedAnswer answer;
};

struct ConfigurationEndpoint {
  CannedAnswer answer;
  std::vector<AnswerVariant> variants;  // the first that matches wins
};

// Faults injected into the answers of one path.
struct FaultPlan {
  std::vector<int> statuses;       // answered in turn, once each, before the normal answer
  std::string statusBody;          // body of those answers
  int redirects = 0;               // a chain of this many redirects before the answer
  std::string redirectTo;          // Location of those redirects instead of the next hop of the chain
  bool contentLength = true;       // false: the body goes out chunked, without Content-Length
  std::optional<std::uint64_t> cutAfter;  // the connection is closed after this many body bytes
  std::uint64_t bytesPerSecond = 0;       // 0: full speed
  int delayMilliseconds = 0;       // before answering
  int stallSeconds = 0;            // no answer (or, with cutAfter, nothing after the cut) for this long
  bool endless = false;            // the body goes on (chunked) until the client stops reading
};

struct Catalogue {
  std::filesystem::path folder;
  std::map<std::string, ConfigurationEndpoint> configuration;  // by path; "/o" at least
  std::set<std::string> echo;  // paths answering with a description of the request
  std::map<std::string, FaultPlan> faults;  // by path
  std::filesystem::path images;
  std::filesystem::path files;
};

// Reads folder/catalogue.json. Throws std::runtime_error with a message
// that names the file and the fault.
Catalogue LoadCatalogue(const std::filesystem::path& folder);

// The answer for a posted body: the first variant whose member matches,
// else the endpoint's own answer.
const CannedAnswer& ChooseAnswer(const ConfigurationEndpoint& endpoint, const std::string& requestBody);
