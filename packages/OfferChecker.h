// Decides which offers of one configuration answer may be shown. The rules
// run in a fixed order; the first that fails rejects the offer, which is
// reported to the server as event 2 with its reason, and the later rules
// (and the measurements they would take) are skipped.
//
//  1 limit: maxOffers already accepted: limitReached, no report
//  2 vertical already accepted      "SAME VERTICAL OFFER ALREADY PRESENT"
//                                   ("MULTIPLE OFFERS W/O VERTICAL" for -1)
//  3 exclusive after an acceptance  "EXCLUSIVE, BUT ANOTHER OFFER ALREADY PRESENT"
//  4 a key of r exists              "REGISTRY KEY EXISTS"
//  5 no key of ir exists            "NONE OF THE REGISTRY KEYS EXISTS"
//  6 a value of rvn exists          "REGISTRY VALUE EXISTS"
//  7 a value of rvd holds its data  "REGISTRY VALUE DATA MATCHES"
//  8 disk                           "DISK SPACE CHECK FAILED <code>", "NOT ENOUGH DISK SPACE"
//  9 memory                         "RAM CHECK FAILED <code>", "NOT ENOUGH RAM"
// 10 processor                      "CPU CHECK FAILED: Couldn't open registry",
//                                   "CPU CHECK FAILED: Couldn't read value", "NOT ENOUGH CPU"
// 11 Windows version (ov)           "UNSUPPORTED OS VERSION"
// 12 wizard version (pv)            "UNSUPPORTED PLATFORM VERSION"
// 13 64-bit Windows                 "64 BIT OS REQUIRED"
// 14 a file of fe exists            "FILE EXISTS"
// 15 no file of ife exists          "NONE OF THE FILES EXISTS"
// 16 a program of a is running      "APPLICATION RUNNING"
// 17 an app of iapp is missing      "REGISTRY INCLUDE APP NOT FOUND"
// 18 an app of eapp is installed    "REGISTRY EXCLUDE APP FOUND"
// 19 too soon after an uninstall    "MIN DAYS UNINSTALL CHECKER"
// 20 Chrome required / refused      "NO CHROME", "HAVE CHROME"
// 21 Internet Explorer below 9      "OLD IE VERSION"
//
// Errors no rule catches leave CheckOffer and end the offer loop:
// std::out_of_range for a root name that is not a full one (cmdu) or a path
// ending at a software prefix, std::invalid_argument / std::out_of_range of
// a number conversion (rvd data against a number value, a cmdu value, the
// Internet Explorer version). One checker per answer, used by one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "packages/Package.h"
#include "packages/RegistryLookup.h"
#include "packages/SystemProbes.h"

class OfferChecker {
 public:
  // maxOffers: the answer's offer limit ("f"."m"); 0 or less accepts none.
  OfferChecker(int maxOffers, std::shared_ptr<ConfigurationManager> configuration);

  // True when the offer is accepted. limitReached is set only when the
  // offer limit stopped the evaluation, and left alone otherwise.
  bool CheckOffer(Package& package, bool& limitReached);

  // Sends event 2 with {"13": reason} through the package.
  void ReportRejection(Package& package, const std::string& reason);

  RegistryLookup& Registry() { return registry; }
  SystemProbes& Probes() { return probes; }

  std::unordered_set<std::int32_t> acceptedVerticals;
  std::int32_t acceptedCount = 0;
  std::int32_t maxOffers;

 private:
  // The reason the offer fails the machine rules (4 to 21), empty when it
  // passes them all.
  std::string MachineRuleFailure(Package& package);
  bool ProgramVersionTooLow(const std::string& minimum) const;
  bool RunningApplication(const std::vector<std::string>& names);
  bool TooSoonAfterUninstall(const std::vector<UninstallCheck>& checks);
  bool OldInternetExplorer();

  std::shared_ptr<ConfigurationManager> configuration;
  RegistryLookup registry;
  SystemProbes probes;
  // The running programs' lower-case names, measured once per checker, with
  // their dot count and their name without the last extension.
  struct RunningProgram {
    std::wstring name;
    std::size_t dots;
    std::wstring stem;
  };
  std::vector<RunningProgram> runningPrograms;
};
