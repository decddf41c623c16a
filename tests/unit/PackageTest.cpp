// Packages built from offers of the configuration answer, and the main
// package.
#include "packages/Package.h"

#include <gtest/gtest.h>

#include "config/ConfigurationManager.h"
#include "packages/AfltCodes.h"
#include "packages/Base62.h"
#include "config/RequestSignature.h"
#include "tests/fakes/TestServices.h"

using nlohmann::json;

namespace {

class PackageTest : public testing::Test {
 protected:
  PackageTest() {
    machine.environment->variables[L"ProgramW6432"] = L"C:\\Program Files";
    configuration = std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
    configuration->machineId = "MID";
    configuration->sessionTimestamp = "20240102030405";
    configuration->countryCode = "FR";
  }

  // An offer with the required members and `ps` merged into its "ps".
  static json Offer(const json& ps = json::object()) {
    json offer = {{"ad", {{"o", "ado"}, {"f", "adf"}}},
                  {"ps", {{"i", "image.png"}, {"dn", "Name"}, {"u", "https://example.org/setup.exe"}}}};
    offer["ps"].update(ps);
    return offer;
  }

  std::unique_ptr<Package> Make(const json& offer, int position = 0) {
    return std::make_unique<Package>(EventTemplate{}, offer, false, "", position, configuration);
  }

  fakes::TestServices machine;
  std::shared_ptr<ConfigurationManager> configuration;
};

}  // namespace

// Base-62 numerals of big-endian numbers; leading zero bytes add nothing.
TEST(Base62, EncodesBigEndianNumbers) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},          {std::string("\x00", 1), ""},  {"\x3D", "Z"},           {std::string("\x01\x00", 2), "48"},
      {std::string("\x00\x00\x01", 3), "1"},           {"abc", "qMin"},           {"\xFF\xFF", "h31"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(EncodeBase62(bytes), text) << text;
  // 62^10 - 1 needs exactly ten digits; 62^5 is a one and five zeros.
  const std::string big("\x00\x0b\xa5\xca\x53\x92\xcb\x03\xff", 9);
  EXPECT_EQ(EncodeBase62(big), std::string(10, 'Z'));
  EXPECT_EQ(EncodeBase62("\x36\x9b\x13\xe0"), "100000");
  // A pixel text as offers make it.
  EXPECT_EQ(EncodeBase62("3f2504e0-4f89-11d3-9a0c-0305e82c3301|offer-17|20240102030405"),
            "2xP2q3fQs9LxEQYGtDWjGRIa1Sa1i1SmwTivKTafPnRfNr4k8rceMCHjPde5Ao3DfrHmF4Q0xaSKbrzW5");
}

// The aflt code of a country, exact and case-sensitive.
TEST(AfltCodes, CountryTable) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"US", "91088"}, {"CA", "91166"}, {"BR", "91199"}, {"NZ", "91214"}, {"KR", "91214"}, {"PL", "91105"},
      {"AE", "91105"}, {"SG", "91215"}, {"TH", "91215"}, {"FR", "91082"}, {"us", "91082"}, {"", "91082"},
      {"USA", "91082"}, {"U", "91082"}, {"UN", "91082"}, {std::string("US\0", 3), "91082"},
  };
  for (const auto& [country, code] : cases) EXPECT_EQ(GetAfltForCountry(country), code) << country;
}

// The preset "x" comes after "disk", "ram", "cpu" and "win64" and wins.
TEST_F(PackageTest, PresetsOverrideTheRuleParameters) {
  struct Row {
    json ps;
    std::int64_t disk, ram, cpu;
    bool win64, chrome, noChrome, ie;
  };
  const json limits = {{"disk", 100}, {"ram", 200}, {"cpu", 300}};
  const std::vector<Row> rows = {
      {{{"x", 1}, {"disk", 100}}, 2500, 250, 0, false, false, false, false},
      {{{"x", 2}}, 0, 0, 0, false, true, false, true},
      {{{"x", 3}, {"disk", 100}, {"ram", 200}, {"cpu", 300}}, 512, 1536, 1500, false, false, false, false},
      {{{"x", 5}, {"disk", 100}, {"ram", 200}, {"cpu", 300}, {"win64", true}}, 100, 200, 300, true, false, false,
       false},
      {{{"x", 10}, {"win64", false}}, 0, 0, 0, true, false, false, false},
      {{{"win64", true}}, 0, 0, 0, true, false, false, false},
      {{{"x", 12}}, 0, 0, 0, false, true, false, false},
      {{{"x", 13}}, 0, 0, 0, false, false, true, false},
  };
  for (const auto& row : rows) {
    const auto package = Make(Offer(row.ps));
    EXPECT_EQ(package->minDiskSpace, row.disk) << row.ps;
    EXPECT_EQ(package->minRam, row.ram) << row.ps;
    EXPECT_EQ(package->minCpu, row.cpu) << row.ps;
    EXPECT_EQ(package->requires64BitOs, row.win64) << row.ps;
    EXPECT_EQ(package->requiresChrome, row.chrome) << row.ps;
    EXPECT_EQ(package->rejectsChrome, row.noChrome) << row.ps;
    EXPECT_EQ(package->checksIeVersion, row.ie) << row.ps;
  }
}

// Placeholders of the client's values in the texts; unknown ones stay.
TEST_F(PackageTest, PlaceholdersCarryTheClientsValues) {
  configuration->publisherId = "pub";
  configuration->ispb = "isp";
  const json ps = {{"u", "https://e.org/?a={aflt}&c={cc}&p={pubid}&i={ispb}&x={nope}"},
                   {"dn", "{userid}/{sessionid}/{of}"},
                   {"p", "/pixel={pxl}"},
                   {"c", "{cc}"}};
  auto package = Make(Offer(ps));
  EXPECT_EQ(package->u, "https://e.org/?a=91082&c=FR&p=pub&i=isp&x={nope}");
  EXPECT_EQ(package->dn, "MID/20240102030405/adf");
  EXPECT_EQ(package->p, "/pixel=" + EncodeBase62("MID|ado|20240102030405"));
  EXPECT_EQ(package->c, "FR");
  EXPECT_EQ(package->GetU(), L"https://e.org/?a=91082&c=FR&p=pub&i=isp&x={nope}");

  for (const auto& [country, code] : std::vector<std::pair<std::string, std::string>>{{"US", "91088"}, {"us", "91082"}}) {
    configuration->countryCode = country;
    EXPECT_EQ(Make(Offer({{"u", "{aflt}-{cc}"}}))->u, code + "-" + country);
  }
  // No country: no "cc", still an aflt code; empty values leave their keys out.
  configuration->countryCode.clear();
  configuration->publisherId.clear();
  package = Make(Offer({{"u", "{aflt}-{cc}-{pubid}"}}));
  EXPECT_EQ(package->u, "91082-{cc}-{pubid}");
  EXPECT_FALSE(package->params.contains("cc"));
  EXPECT_EQ(package->params.size(), 6u);  // userid, sessionid, ispb, aflt, pxl, of
}

// A value that holds placeholders, its own included, is inserted once:
// expansion always ends.
TEST_F(PackageTest, ExpansionEndsWhenValuesHoldPlaceholders) {
  configuration->publisherId = "{pubid}{pubid}";
  configuration->ispb = "{cc}";
  const auto package = Make(Offer({{"u", "{pubid}|{ispb}|{pubid}"}}));
  EXPECT_EQ(package->u.find("{pubid}{pubid}|"), 0u);
  EXPECT_EQ(package->ExpandPlaceholders("a{pubid}b"), "a{pubid}{pubid}b");
}

// Lists are read in order, registry texts widened, folder tokens expanded
// in the file lists only.
TEST_F(PackageTest, RuleListsAreReadInOrder) {
  machine.system->Set({.wow64 = true});
  const json ps = {
      {"v", 7},
      {"exc", true},
      {"ov", 100},
      {"pv", "3.0.{cc}"},
      {"fe", {"{commonpf}\\Vendor\\app.exe", "{nope}\\x"}},
      {"ife", {"C:\\a"}},
      {"a", {"Example", "my.tool"}},
      {"r", {"HKLM\\Software\\V\u00e9ndor"}},
      {"ir", {"a", "b"}},
      {"rvn", {"v\\n"}},
      {"rvd", {"v\\n\\1"}},
      {"eapp", {"e.exe"}},
      {"iapp", {"i.exe"}},
      {"cmdu", {{{"utr", "HKEY_CURRENT_USER"}, {"utk", "Software\\V"}, {"utvn", "When"}, {"utvt", "REG_SZ"},
                 {"umd", 7}, {"utms", true}},
                {{"utr", "r"}, {"utk", "k"}, {"utvn", "n"}, {"utvt", "t"}, {"umd", 1.9}}}},
  };
  const auto package = Make(Offer(ps), 2);
  EXPECT_EQ(package->vertical.load(), 7);
  EXPECT_TRUE(package->exclusive);
  EXPECT_EQ(package->minOsVersion, 100);
  EXPECT_EQ(package->pv, "3.0.{cc}");  // not expanded
  EXPECT_EQ(package->fe, (std::vector<std::wstring>{L"C:\\Program Files\\Vendor\\app.exe", L"{nope}\\x"}));
  EXPECT_EQ(package->ife, (std::vector<std::wstring>{L"C:\\a"}));
  EXPECT_EQ(package->a, (std::vector<std::string>{"Example", "my.tool"}));
  EXPECT_EQ(package->r, (std::vector<std::wstring>{L"HKLM\\Software\\V\u00e9ndor"}));
  EXPECT_EQ(package->ir, (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_EQ(package->rvd, (std::vector<std::wstring>{L"v\\n\\1"}));
  EXPECT_EQ(package->eapp, (std::vector<std::wstring>{L"e.exe"}));
  EXPECT_EQ(package->iapp, (std::vector<std::wstring>{L"i.exe"}));
  ASSERT_EQ(package->cmdu.size(), 2u);
  EXPECT_EQ(package->cmdu[0].utk, L"Software\\V");
  EXPECT_EQ(package->cmdu[0].umd, 7);
  EXPECT_TRUE(package->cmdu[0].utms);
  EXPECT_EQ(package->cmdu[1].umd, 1);
  EXPECT_FALSE(package->cmdu[1].utms);
  EXPECT_EQ(package->position, 2);
}

// The JSON library's errors and conversions decide what is accepted.
TEST_F(PackageTest, MalformedOffersThrowTheJsonLibrarysErrors) {
  json noName = Offer();
  noName["ps"].erase("dn");
  EXPECT_THROW(Make(noName), json::out_of_range);
  json noAd = Offer();
  noAd.erase("ad");
  EXPECT_THROW(Make(noAd), json::out_of_range);

  const auto typeError = [&](const json& ps) -> std::string {
    try {
      Make(Offer(ps));
    } catch (const json::type_error& error) {
      return error.what();
    }
    return "no error";
  };
  EXPECT_NE(typeError({{"v", "3"}}).find("type must be number, but is string"), std::string::npos);
  EXPECT_NE(typeError({{"win64", 1}}).find("type must be boolean, but is number"), std::string::npos);
  EXPECT_NE(typeError({{"cmdu", {{{"utr", "r"}, {"utk", "k"}, {"utvn", "n"}, {"utvt", "t"}, {"umd", 1}, {"utms", 1}}}}})
                .find("type must be boolean, but is number"),
            std::string::npos);
  EXPECT_NE(typeError({{"fe", {1}}}).find("type must be string, but is number"), std::string::npos);

  // Booleans count as numbers; fractions are cut toward zero.
  EXPECT_EQ(Make(Offer({{"v", true}}))->vertical.load(), 1);
  EXPECT_EQ(Make(Offer({{"v", -2.9}, {"disk", 99.9}}))->vertical.load(), -2);
  EXPECT_EQ(Make(Offer({{"disk", 99.9}}))->minDiskSpace, 99);

  // A number the member's type cannot hold is an error of the offer, not a
  // cast: neither undefined (a fraction) nor wrapped (an integer).
  for (const json& ps : {json{{"v", 1e20}}, json{{"v", 2147483648u}}, json{{"ov", -2147483649}},
                         json{{"x", -1e10}}, json{{"disk", 1e300}}, json{{"ram", 9223372036854775808u}},
                         json{{"cmdu", {{{"utr", "r"}, {"utk", "k"}, {"utvn", "n"}, {"utvt", "t"}, {"umd", 4e9}}}}}}) {
    EXPECT_THROW(Make(Offer(ps)), json::out_of_range) << ps.dump();
  }
  EXPECT_EQ(Make(Offer({{"v", 2147483647.9}, {"disk", -9223372036854775807}}))->vertical.load(), 2147483647);
  EXPECT_EQ(Make(Offer({{"v", -2147483648.9}}))->vertical.load(), -2147483647 - 1);
}

// The payload of an offer and of the main package, before and after the
// answer has arrived.
TEST_F(PackageTest, EventPayloadsOfOffersAndTheMainPackage) {
  configuration->productTitle = L"Product";
  const auto offer = std::make_unique<Package>(BuildEventTemplate(*configuration), Offer({{"c", "cee"}}), false, "",
                                               2, configuration);
  EXPECT_EQ(offer->eventPayload["5"], "ado");
  EXPECT_EQ(offer->eventPayload["10"], 2);
  EXPECT_EQ(offer->eventPayload["16"], "cee");
  EXPECT_EQ(offer->eventPayload["17"], "3");
  EXPECT_EQ(offer->eventPayload["18"], "adf");

  Package main(BuildEventTemplate(*configuration), true, L"", L"", L"", L"", 0, configuration);
  EXPECT_EQ(main.eventPayload["5"], "Product");
  EXPECT_EQ(main.eventPayload["10"], 1);
  EXPECT_EQ(main.eventPayload["17"], "");
  EXPECT_TRUE(main.params.empty());

  configuration->productTitle = L"Answered \u00e9";
  main.ResetMainProduct(BuildEventTemplate(*configuration), L"inst", L"cfl", L"Title", L"ch");
  EXPECT_EQ(main.eventPayload["5"], "Answered \xC3\xA9");
  EXPECT_EQ(main.adO, "inst");
  EXPECT_EQ(main.dn, "Title");
  EXPECT_EQ(main.c, "ch");
  EXPECT_EQ(main.eventPayload["16"], "");
}

// The template: "0" to "22" present, the configuration's values, the
// signature header of machine id and session.
TEST_F(PackageTest, EventTemplateFromTheConfiguration) {
  machine.system->Set({.version = {.major = 6, .minor = 1, .build = 7601, .servicePackMajor = 1}, .wow64 = false});
  configuration->productCfl = L"cfl";
  configuration->productCh = L"ch";
  configuration->productTitle = L"Title";
  const auto event = BuildEventTemplate(*configuration);
  for (int key = 0; key <= 22; ++key) EXPECT_TRUE(event.payload.contains(std::to_string(key))) << key;
  EXPECT_EQ(event.payload["1"], "MID");
  EXPECT_EQ(event.payload["2"], "20240102030405");
  EXPECT_EQ(event.payload["3"], "Quenbril");
  EXPECT_EQ(event.payload["4"], "Quenbril_DLM");
  EXPECT_EQ(event.payload["7"], "3.0.13.11135");
  EXPECT_EQ(event.payload["15"], 0);
  EXPECT_EQ(event.payload["19"], "cfl");
  EXPECT_EQ(event.payload["21"], "ch");
  EXPECT_EQ(event.payload["22"], "Title");
  EXPECT_EQ(event.payload["31"], "6.1.7601");
  EXPECT_EQ(event.payload["38"], "0");
  EXPECT_EQ(event.payload["11"], "");
  ASSERT_EQ(event.headers.size(), 1u);
  EXPECT_EQ(event.headers[0], MakeSignatureHeader("MID", "20240102030405"));
  machine.system->Set({.wow64 = true});
  EXPECT_EQ(BuildEventTemplate(*configuration).payload["38"], "1");
}
