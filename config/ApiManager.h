// The client of the configuration server: asks what this copy of the
// wizard should install.
#pragma once

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "config/ConfigurationManager.h"

// The eight string members of the configuration request ("prv", "plv", "l",
// "a", "i", "s", "u", "o"), read from the configuration now.
nlohmann::json BuildConfigurationRequest(ConfigurationManager& configuration);

class ApiManager {
 public:
  // Reads the configuration (and through it the OS seam) at each request.
  explicit ApiManager(std::shared_ptr<ConfigurationManager> configuration);

  // Posts the configuration request to configUrl, up to three attempts
  // while the status is outside 200..299, each failed attempt followed by a
  // 5000 ms wait (a redirect is a failed attempt: the transport does not
  // follow it, so its body is no answer), and returns the last answer parsed as JSON. Each failed
  // attempt is written as a transport diagnostic.
  // Throws BrimvaleException when configUrl is empty ("configuration URL
  // check"), when the transport fails (no further attempt; PostJson's
  // step) and when the last answer is blank ("configuration answer check");
  // nlohmann::json::parse_error when it is no JSON.
  // Runs on a worker thread, never on the window thread.
  std::unique_ptr<nlohmann::json> RequestConfiguration();

 private:
  std::shared_ptr<ConfigurationManager> configuration;
};

// The process-wide API manager, created on first use with GetConfiguration().
std::shared_ptr<ApiManager> GetApiManager();
