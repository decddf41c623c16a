// What the loading task makes of the configuration server's answer: the
// product fields of the configuration and the offers the offer rules accept.
// Runs on the loading task's worker thread, before the window thread reads
// any of it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

class ConfigurationManager;
class Package;

// Reads, in this order: "l" into countryCode; for the download-manager
// wizard the product "i" ("ct" and "cu" required, "cl", "cf", "cp", "ctu",
// "ch", "cfl", "cb", "sha256" optional); "f"."a" into publisherId; then, when the
// answer has "o" and productCh is not exactly "00xA", the offer limit
// "f"."m" and each element of "o" as an offer package, checked by one
// OfferChecker. The loop ends after an accepted exclusive offer or when the
// limit is reached.
//
// Returns the accepted offers in answer order, or nullopt when a
// download-manager answer has an empty "ct" or "cu" (only those two fields
// are then set). Throws the JSON library's errors for a missing or mistyped
// member or a number out of range, and whatever building a package or the
// offer rules throw; offers accepted before are then lost.
std::optional<std::vector<std::shared_ptr<Package>>> ReadConfigurationAnswer(
    const nlohmann::json& answer, const std::shared_ptr<ConfigurationManager>& configuration);
