// What every event of a run has in common: the payload fields taken from the
// configuration and the signed header the event endpoint expects.
#pragma once

#include <nlohmann/json.hpp>

#include "config/HttpHeaders.h"

class ConfigurationManager;

struct EventTemplate {
  nlohmann::json payload = nlohmann::json::object();
  HttpHeaders headers;
};

// Builds the template from the configuration: "0" to "22" empty strings,
// then "1" machine id, "2" session timestamp, "3" brand, "4" installer id,
// "7" program version, "15" the integer 0, "19" product cfl, "21" product
// ch, "22" product title, "31" the Windows version, "38" "1" under WOW64
// else "0"; the one header is the signature of machine id and session.
EventTemplate BuildEventTemplate(ConfigurationManager& configuration);
