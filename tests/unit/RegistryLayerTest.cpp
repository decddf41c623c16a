// The registry layer against the in-memory registry loaded from .reg files,
// on a simulated 64-bit and 32-bit Windows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "packages/RegistryAccess.h"
#include "packages/RegistryLookup.h"
#include "platform/posix/MemoryRegistry.h"
#include "platform/posix/RegFile.h"
#include "platform/posix/SimulatedSystemInfo.h"
#include "tests/common/RegistryRuleCases.h"
#include "tests/fakes/CountingRegistry.h"
#include "util/Utf8.h"

using platform::RegistryRoot;
using platform::RegistryView;
using platform::posix::MemoryRegistry;
using platform::posix::SimulatedSystemInfo;

namespace {

std::shared_ptr<SimulatedSystemInfo> Windows(bool is64) {
  return std::make_shared<SimulatedSystemInfo>(platform::posix::SimulatedWindows{.wow64 = is64});
}

// The views.reg machine, seen through a registry that counts what is asked.
struct Machine {
  explicit Machine(bool is64)
      : memory(std::make_shared<MemoryRegistry>(is64)),
        registry(std::make_shared<fakes::CountingRegistry>(memory)),
        system(Windows(is64)),
        lookup(registry, system) {
    platform::posix::ImportRegFile(*memory, BRIMVALE_TEST_DATA "/registry/views.reg");
  }
  std::shared_ptr<MemoryRegistry> memory;
  std::shared_ptr<fakes::CountingRegistry> registry;
  std::shared_ptr<SimulatedSystemInfo> system;
  RegistryLookup lookup;
};

std::string Describe(const std::vector<std::wstring>& entries, bool is64) {
  std::string text = is64 ? "64-bit:" : "32-bit:";
  for (const auto& entry : entries) text += " [" + WideToUtf8(entry) + "]";
  return text;
}

}  // namespace

// A rule path stands for the full paths tried, in order: roots and their
// abbreviations as written, anything else below both software keys and, on
// 64-bit Windows, below both wow6432node keys.
TEST(RegistryPaths, ExpandRegistryPathListsTheCandidatesInOrder) {
  const std::vector<std::wstring> relative64 = {
      L"hkey_local_machine\\software\\vendor\\app", L"hkey_current_user\\software\\vendor\\app",
      L"hkey_local_machine\\software\\wow6432node\\vendor\\app",
      L"hkey_current_user\\software\\wow6432node\\vendor\\app"};
  struct Row {
    std::wstring path;
    std::vector<std::wstring> on64;
    std::vector<std::wstring> on32;
  };
  const std::vector<Row> rows = {
      {L"", {}, {}},
      {L"hkey_local_machine\\software\\vendor", {L"hkey_local_machine\\software\\vendor"},
       {L"hkey_local_machine\\software\\vendor"}},
      {L"hklm\\software\\vendor", {L"hkey_local_machine\\software\\vendor"}, {L"hkey_local_machine\\software\\vendor"}},
      {L"hku\\s-1-5-18\\x", {L"hkey_users\\s-1-5-18\\x"}, {L"hkey_users\\s-1-5-18\\x"}},
      {L"hkcr\\txtfile", {L"hkey_classes_root\\txtfile"}, {L"hkey_classes_root\\txtfile"}},
      {L"vendor\\app", relative64, {relative64[0], relative64[1]}},
      {L"hkxx\\foo",
       {L"hkey_local_machine\\software\\hkxx\\foo", L"hkey_current_user\\software\\hkxx\\foo",
        L"hkey_local_machine\\software\\wow6432node\\hkxx\\foo", L"hkey_current_user\\software\\wow6432node\\hkxx\\foo"},
       {L"hkey_local_machine\\software\\hkxx\\foo", L"hkey_current_user\\software\\hkxx\\foo"}},
      // A root name without a backslash is no root.
      {L"hklm", {L"hkey_local_machine\\software\\hklm", L"hkey_current_user\\software\\hklm",
                 L"hkey_local_machine\\software\\wow6432node\\hklm", L"hkey_current_user\\software\\wow6432node\\hklm"},
       {L"hkey_local_machine\\software\\hklm", L"hkey_current_user\\software\\hklm"}},
      {L"hkey_users", {L"hkey_local_machine\\software\\hkey_users", L"hkey_current_user\\software\\hkey_users",
                       L"hkey_local_machine\\software\\wow6432node\\hkey_users",
                       L"hkey_current_user\\software\\wow6432node\\hkey_users"},
       {L"hkey_local_machine\\software\\hkey_users", L"hkey_current_user\\software\\hkey_users"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ExpandRegistryPath(row.path, *Windows(true)), row.on64) << WideToUtf8(row.path);
    EXPECT_EQ(ExpandRegistryPath(row.path, *Windows(false)), row.on32) << WideToUtf8(row.path);
  }
}

// The view of a software path: KEY_WOW64_64KEY on 64-bit Windows, the
// default view with "wow6432node\" removed for a wow6432node path, which on
// 32-bit Windows cannot exist.
TEST(RegistryPaths, ResolveRegistryViewChoosesTheView) {
  struct Row {
    std::wstring path;
    bool is64;
    bool cannotExist;
    std::wstring resolved;
    std::uint32_t access;
  };
  const std::vector<Row> rows = {
      {L"hkey_local_machine\\software\\vendor", true, false, L"hkey_local_machine\\software\\vendor", 0x20119},
      {L"hkey_local_machine\\software\\vendor", false, false, L"hkey_local_machine\\software\\vendor", 0x20019},
      {L"hkey_current_user\\software\\vendor\\app", true, false, L"hkey_current_user\\software\\vendor\\app", 0x20119},
      {L"hkey_local_machine\\software\\wow6432node\\vendor", true, false, L"hkey_local_machine\\software\\vendor",
       0x20019},
      {L"hkey_local_machine\\software\\wow6432node\\vendor", false, true,
       L"hkey_local_machine\\software\\wow6432node\\vendor", 0x20019},
      // Nothing follows wow6432node: no "wow6432node\" to remove.
      {L"hkey_local_machine\\software\\wow6432node", true, false, L"hkey_local_machine\\software\\wow6432node",
       0x20019},
      // The component is compared in lower case, the removal is exact.
      {L"hkey_local_machine\\software\\WOW6432Node\\vendor", true, false,
       L"hkey_local_machine\\software\\WOW6432Node\\vendor", 0x20019},
      {L"hkey_local_machine\\software\\\\vendor", true, false, L"hkey_local_machine\\software\\\\vendor", 0x20119},
      {L"hkey_classes_root\\txtfile", true, false, L"hkey_classes_root\\txtfile", 0x20019},
      {L"hkey_local_machine\\SOFTWARE\\vendor", true, false, L"hkey_local_machine\\SOFTWARE\\vendor", 0x20019},
  };
  for (const auto& row : rows) {
    std::wstring path = row.path;
    std::uint32_t access = kKeyRead;
    EXPECT_EQ(ResolveRegistryView(path, access, *Windows(row.is64)), row.cannotExist) << WideToUtf8(row.path);
    EXPECT_EQ(path, row.resolved) << WideToUtf8(row.path);
    EXPECT_EQ(access, row.access) << WideToUtf8(row.path);
  }
}

// A software prefix with nothing after it is an error that leaves the rules.
TEST(RegistryPaths, SoftwarePrefixAloneThrowsOutOfRange) {
  std::wstring path = L"hkey_local_machine\\software\\";
  std::uint32_t access = kKeyRead;
  try {
    ResolveRegistryView(path, access, *Windows(true));
    FAIL() << "no exception";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "invalid vector subscript");
  }
  Machine machine(true);
  EXPECT_THROW(machine.lookup.AnyKeyExists({L"hklm\\software\\"}), std::out_of_range);
}

// The three rule lists against the fixture, on both kinds of Windows.
TEST(RegistryRules, RuleListsAnswerPerView) {
  for (bool is64 : {true, false}) {
    Machine machine(is64);
    for (const auto& c : registrycases::kKeyCases)
      EXPECT_EQ(machine.lookup.AnyKeyExists(c.entries), is64 ? c.on64 : c.on32) << Describe(c.entries, is64);
    for (const auto& c : registrycases::kValueCases)
      EXPECT_EQ(machine.lookup.AnyValueExists(c.entries), is64 ? c.on64 : c.on32) << Describe(c.entries, is64);
    for (const auto& c : registrycases::kDataCases)
      EXPECT_EQ(machine.lookup.AnyValueDataMatches(c.entries), is64 ? c.on64 : c.on32) << Describe(c.entries, is64);
  }
}

// Values read as text: strings as they are, numbers in decimal, other types
// skipped; the second view tried only for a lower-case software path.
TEST(RegistryRules, ReadRegistryValueAsTextPerView) {
  for (bool is64 : {true, false}) {
    Machine machine(is64);
    for (const auto& c : registrycases::kTextCases) {
      std::wstring out = L"<untouched>";
      const wchar_t* expected = is64 ? c.on64 : c.on32;
      const bool found = machine.lookup.ReadRegistryValueAsText(c.root, c.keyPath, c.valueName, out);
      EXPECT_EQ(found, expected != nullptr) << Describe({c.keyPath, c.valueName}, is64);
      EXPECT_EQ(out, expected ? expected : L"<untouched>") << Describe({c.keyPath, c.valueName}, is64);
    }
  }
}

// A data text that is not a number, against a number value, leaves the
// rules; against a string value it simply does not match.
TEST(RegistryRules, NonNumericDataAgainstANumberThrows) {
  Machine machine(true);
  EXPECT_THROW(machine.lookup.AnyValueDataMatches({L"brimvaletest64\\build\\abc"}), std::invalid_argument);
  EXPECT_THROW(machine.lookup.AnyValueDataMatches({L"brimvaletest64\\big\\abc"}), std::invalid_argument);
  // Above 32 bits, as std::stoul reports it where unsigned long is 32 bits.
  EXPECT_THROW(machine.lookup.AnyValueDataMatches({L"brimvaletest64\\build\\4294967308"}), std::out_of_range);
  EXPECT_FALSE(machine.lookup.AnyValueDataMatches({L"brimvaletest32\\build\\abc"}));
}

// An abbreviated root where a full root name is required is an error.
TEST(RegistryRules, UnknownRootNameThrowsOutOfRange) {
  Machine machine(true);
  std::wstring out;
  try {
    machine.lookup.ReadRegistryValueAsText(L"hklm", L"software\\brimvaletest64", L"build", out);
    FAIL() << "no exception";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "invalid unordered_map<K, T> key");
  }
}

// Software keys are enumerated once per root and view; a first component
// that is not a child of software is answered without opening any key.
// Paths outside software are opened plainly, without a view flag, and a
// wow6432node path on 32-bit Windows touches nothing.
TEST(RegistryRules, KeyLookupsUseTheCacheAndTheRightOpens) {
  Machine machine(true);
  EXPECT_TRUE(machine.lookup.AnyKeyExists({L"hklm\\software\\brimvaletest64"}));
  EXPECT_EQ(machine.registry->Seen().enumerations, 1);
  // The 64-bit software key lists its children in lower case, Wow6432Node among them.
  EXPECT_THAT(*machine.lookup.Cache().at(RegistryRoot::LocalMachine).at(kKeyWow64_64Key).at(L"software"),
              testing::IsSupersetOf({L"brimvaletest64", L"wow6432node"}));
  machine.registry->Reset();
  EXPECT_FALSE(machine.lookup.AnyKeyExists({L"hklm\\software\\absent1", L"hklm\\software\\absent2\\x"}));
  EXPECT_EQ(machine.registry->Seen().Total(), 0);

  machine.registry->Reset();
  EXPECT_TRUE(machine.lookup.AnyKeyExists({L"hkcr\\brimvaletest.file"}));
  ASSERT_EQ(machine.registry->Seen().opens.size(), 1u);
  EXPECT_EQ(machine.registry->Seen().opens[0].root, RegistryRoot::ClassesRoot);
  EXPECT_EQ(machine.registry->Seen().opens[0].subKey, L"brimvaletest.file");
  EXPECT_EQ(machine.registry->Seen().opens[0].view, RegistryView::Default);

  Machine machine32(false);
  EXPECT_FALSE(machine32.lookup.AnyKeyExists({L"hklm\\software\\wow6432node\\brimvaletest32"}));
  EXPECT_EQ(machine32.registry->Seen().Total(), 0);
}

// A key below software that could not be opened is not tried again in the
// pass; one that exists is opened each time, for its values.
TEST(RegistryRules, AnAbsentKeyIsTriedOncePerPass) {
  Machine machine(true);
  const std::vector<std::wstring> absent = {L"hklm\\software\\brimvaletest64\\absent"};
  const std::vector<std::wstring> present = {L"hklm\\software\\brimvaletest64"};
  EXPECT_FALSE(machine.lookup.AnyKeyExists(absent));
  EXPECT_TRUE(machine.lookup.AnyKeyExists(present));
  EXPECT_EQ(machine.registry->Seen().subKeyOpens, 2);
  machine.registry->Reset();
  EXPECT_FALSE(machine.lookup.AnyKeyExists(absent));
  EXPECT_FALSE(machine.lookup.AnyValueExists({L"hklm\\software\\brimvaletest64\\absent\\value"}));
  EXPECT_EQ(machine.registry->Seen().Total(), 0);
  EXPECT_TRUE(machine.lookup.AnyKeyExists(present));
  EXPECT_EQ(machine.registry->Seen().subKeyOpens, 1);
}
