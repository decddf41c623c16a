// The aflt code of a client's country, as offer links carry it.
#pragma once

#include <string>

// The five-digit code for a two-letter country code (exact, case-sensitive:
// "US" has one, "us" gets the default); "91082" for any other text, the
// empty one included. Thread-safe: the table is constant data.
std::string GetAfltForCountry(const std::string& country);
