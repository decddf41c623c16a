// The fuzz targets: each takes one input of arbitrary bytes and runs it
// through the code that reads such input from the network or a file, the
// way the wizard or the reference server does. The same functions serve
// the libFuzzer executables (preset native-asan) and the unit test that
// replays the committed crash inputs (tests/data/fuzz/<target>/).
//
// Errors the code documents for bad input (the JSON library's, a .reg line
// it does not understand, a rule the registry layer rejects) are expected
// and caught. A broken invariant throws FuzzFinding; crashes, leaks and
// undefined behaviour are the sanitizers' to report.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

struct FuzzFinding : std::logic_error {
  using std::logic_error::logic_error;
};

// Throws FuzzFinding with `what` when `holds` is false.
void Expect(bool holds, const std::string& what);

// A .reg text before the first NUL byte of the input and the rest after
// it; without a NUL the whole input is the rest.
struct RegPrefixed {
  std::string_view reg;
  std::string_view rest;
};
RegPrefixed SplitRegPrefix(std::string_view input);

// The configuration answer after a .reg prefix: ReadConfigurationAnswer on a
// simulated machine whose registry holds the prefix, with its offer
// packages, placeholders, base-62 and country codes, and the offer rules.
void ConfigurationAnswer(std::string_view input);
// A locale document served as every LOCALE resource: the language list,
// the choice of each language, its references and the lookup of each text.
void LocaleDocument(std::string_view input);
// Rule paths, one a line after a .reg prefix: a first character r, i, n or
// d puts the rest of the line into the offer's r, ir, rvn or rvd list; every
// line's path also goes through the path expansion, view and splitting.
void RegistryRules(std::string_view input);
// One URL: validation, the split a download makes, the file name and
// extraction folder taken from it.
void Url(std::string_view input);
// A request body posted to /zbd (event) and /o (configuration).
void ServerRequest(std::string_view input);

struct FuzzTarget {
  const char* name;
  void (*run)(std::string_view input);
};
const std::vector<FuzzTarget>& FuzzTargets();

}  // namespace fuzz
