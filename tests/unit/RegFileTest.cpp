// .reg files read into the in-memory registry.
#include "platform/posix/RegFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/fakes/TestServices.h"
#include "util/Utf16.h"

using namespace platform;
using platform::posix::ImportRegText;
using platform::posix::MemoryRegistry;

namespace {

RegistryValue Read(MemoryRegistry& registry, RegistryRoot root, const std::wstring& path, const std::wstring& name,
                   RegistryView view = RegistryView::Force64) {
  std::unique_ptr<RegistryKey> key;
  RegistryValue value;
  value.type = 0xFFFF;
  if (registry.OpenKey(root, path, view, key) == kErrorSuccess) key->QueryValue(name, 4096, value);
  return value;
}

std::vector<std::uint8_t> Utf16(const std::wstring& text) {
  auto bytes = WideToUtf16Le(text);
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

}  // namespace

// Every value form of a version 5 file, with continuation lines, escapes,
// comments, the default value and the two kinds of deletion.
TEST(RegFile, ImportsVersionFiveValuesAndDeletions) {
  MemoryRegistry registry(true);
  ImportRegText(registry,
                "Windows Registry Editor Version 5.00\r\n"
                "\r\n"
                "; a comment\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\r\n"
                "@=\"default\"\r\n"
                "\"Path\"=\"C:\\\\Program Files\\\\Vendor \\\"x\\\"\"\r\n"
                "\"Count\"=dword:0000002a\r\n"
                "\"Big\"=hex(b):01,00,00,00,01,00,00,00\r\n"
                "\"Blob\"=hex:de,ad,\\\r\n"
                "  be,ef\r\n"
                "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                "\"Gone\"=\"soon\"\r\n"
                "\"Gone\"=-\r\n"
                "\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor]\r\n"
                "\"View\"=\"32\"\r\n"
                "[HKCU\\Software\\Old\\Child]\r\n"
                "[-HKEY_CURRENT_USER\\Software\\Old]\r\n");
  const auto lm = RegistryRoot::LocalMachine;
  EXPECT_EQ(Read(registry, lm, L"Software\\Vendor", L"").data, Utf16(L"default"));
  EXPECT_EQ(Read(registry, lm, L"Software\\Vendor", L"path").data, Utf16(L"C:\\Program Files\\Vendor \"x\""));
  const auto count = Read(registry, lm, L"Software\\Vendor", L"Count");
  EXPECT_EQ(count.type, kRegDword);
  EXPECT_EQ(count.data, (std::vector<std::uint8_t>{0x2a, 0, 0, 0}));
  const auto big = Read(registry, lm, L"Software\\Vendor", L"Big");
  EXPECT_EQ(big.type, kRegQword);
  EXPECT_EQ(big.data, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 0, 0, 0}));
  const auto blob = Read(registry, lm, L"Software\\Vendor", L"Blob");
  EXPECT_EQ(blob.type, kRegBinary);
  EXPECT_EQ(blob.data, (std::vector<std::uint8_t>{0xde, 0xad, 0xbe, 0xef}));
  const auto expand = Read(registry, lm, L"Software\\Vendor", L"Expand");
  EXPECT_EQ(expand.type, kRegExpandSz);
  EXPECT_EQ(expand.data, Utf16(L"%A%"));
  EXPECT_EQ(Read(registry, lm, L"Software\\Vendor", L"Gone").type, 0xFFFFu);
  // Wow6432Node in the file is the 32-bit view.
  EXPECT_EQ(Read(registry, lm, L"Software\\Vendor", L"View", RegistryView::Force32).data, Utf16(L"32"));
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, L"Software\\Old", RegistryView::Default, key),
            kErrorFileNotFound);
}

// REGEDIT4 keeps hex string data as single-byte characters; a UTF-16 file
// with its byte-order mark, as regedit writes it, reads the same.
TEST(RegFile, ReadsRegedit4AndUtf16Files) {
  MemoryRegistry registry;
  ImportRegText(registry, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\A]\n\"E\"=hex(2):25,41,25,00\n\"S\"=\"\xC3\xA9\"\n");
  EXPECT_EQ(Read(registry, RegistryRoot::CurrentUser, L"Software\\A", L"E").data, Utf16(L"%A%"));
  EXPECT_EQ(Read(registry, RegistryRoot::CurrentUser, L"Software\\A", L"S").data, Utf16(L"\u00E9"));

  fakes::ScratchFolder folder;
  const auto file = folder.Path() / "unicode.reg";
  {
    std::ofstream out(file, std::ios::binary);
    auto bytes = WideToUtf16Le(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\S-1\\B]\r\n\"N\"=dword:1\r\n");
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  platform::posix::ImportRegFile(registry, file);
  EXPECT_EQ(Read(registry, RegistryRoot::Users, L"S-1\\B", L"N").data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_THROW(platform::posix::ImportRegFile(registry, folder.Path() / "missing.reg"), std::runtime_error);
}

// What the reader does not understand fails with the line it is on.
TEST(RegFile, RejectsMalformedLinesNamingThem) {
  const std::string header = "Windows Registry Editor Version 5.00\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[HKEY_LOCAL_MACHINE\\Software\\A]\n", "line 1: missing"},
      {header + "\"a\"=\"x\"\n", "line 2: a value outside a key section"},
      {header + "[HKEY_NOWHERE\\A]\n", "line 2: unknown root key HKEY_NOWHERE"},
      {header + "[HKCU\\A\n", "line 2: a key line must end with ]"},
      {header + "[HKCU\\A]\n\"a\"=dword:123456789\n", "line 3: dword:"},
      {header + "[HKCU\\A]\n\"a\"=hex(b):01,02\n", "line 3: hex(b): takes eight bytes"},
      {header + "[HKCU\\A]\n\"a\"=hex:01,zz\n", "line 3: hex data"},
      {header + "[HKCU\\A]\n\"a\"=hex:01,\n", "line 3: hex data ends with a comma"},
      {header + "[HKCU\\A]\n\"a\"=\"open\n", "line 3: a quoted string is not closed"},
      {header + "[HKCU\\A]\n\"a\"=\"\\n\"\n", "line 3: only"},
      {header + "[HKCU\\A]\n\"a\"=str:x\n", "line 3: unknown value data"},
      {header + "[HKCU\\A]\na=\"x\"\n", "line 3: a value name must be quoted or @"},
      {"", "empty file"},
  };
  for (const auto& [text, message] : cases) {
    MemoryRegistry registry;
    try {
      ImportRegText(registry, text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what() << " for " << text;
    }
  }
}
