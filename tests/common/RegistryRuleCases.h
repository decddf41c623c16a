// The registry rule cases shared by the native tests (the in-memory registry
// loaded from tests/data/registry/views.reg) and the Wine tests (the same
// file imported into Wine's registry): one table, two registries, and the
// answer on 64-bit and on 32-bit Windows.
#pragma once

#include <string>
#include <vector>

namespace registrycases {

struct Case {
  std::vector<std::wstring> entries;
  bool on64;
  bool on32;
};

// AnyKeyExists.
inline const std::vector<Case> kKeyCases = {
    // A full path below software is read through the 64-bit view...
    {{L"HKLM\\Software\\BrimvaleTest64"}, true, true},
    {{L"hklm\\software\\brimvaletest32"}, false, false},
    // ...and a wow6432node path through the default, 32-bit one; on 32-bit
    // Windows it cannot exist.
    {{L"hklm\\software\\wow6432node\\brimvaletest32"}, true, false},
    {{L"hklm\\software\\wow6432node\\brimvaletest64"}, false, false},
    // A relative path is tried in both roots and, on 64-bit, in both views.
    {{L"brimvaletest32"}, true, false},
    {{L"BrimvaleTestUser\\App"}, true, true},
    {{L"hkcu\\software\\brimvaletestuser\\app"}, true, true},
    // hkxx is no root: the path is relative.
    {{L"hkxx\\brimvaletest"}, true, true},
    // Outside software: a plain open.
    {{L"hkcr\\brimvaletest.file"}, true, true},
    {{L"hkey_classes_root\\brimvaletest.absent"}, false, false},
    {{L"hklm\\software\\brimvaletestabsent"}, false, false},
    // An empty entry ends the scan.
    {{L"", L"brimvaletest64"}, false, false},
    {{L"brimvaletest64", L""}, true, true},
};

// AnyValueExists.
inline const std::vector<Case> kValueCases = {
    {{L"brimvaletest64\\build"}, true, true},
    {{L"brimvaletest32\\name"}, true, false},
    {{L"brimvaletest64\\absent"}, false, false},
    {{L"hkcu\\software\\brimvaletestuser\\app\\"}, true, true},  // the default value
    {{L"", L"brimvaletest64\\build"}, false, false},
};

// AnyValueDataMatches.
inline const std::vector<Case> kDataCases = {
    {{L"brimvaletest64\\build\\12"}, true, true},  // REG_DWORD
    {{L"brimvaletest32\\build\\12"}, true, false},  // REG_SZ
    {{L"brimvaletest32\\NAME\\TWELVE"}, true, false},
    {{L"brimvaletest32\\name\\abc"}, false, false},
    {{L"brimvaletest64\\big\\12"}, true, true},  // REG_QWORD
    {{L"brimvaletest64\\build\\13"}, false, false},
    {{L"brimvaletest64\\expand\\12"}, false, false},  // REG_EXPAND_SZ never matches
    {{L"brimvaletest64\\blob\\12"}, false, false},    // nor REG_BINARY
    {{L"", L"brimvaletest64\\build\\12"}, true, true},  // an empty entry is skipped
};

struct TextCase {
  std::wstring root, keyPath, valueName;
  const wchar_t* on64;  // nullptr: not found
  const wchar_t* on32;
};

// ReadRegistryValueAsText.
inline const std::vector<TextCase> kTextCases = {
    {L"hkey_local_machine", L"software\\brimvaletest64", L"build", L"12", L"12"},
    {L"hkey_local_machine", L"software\\brimvaletest64", L"big", L"12", L"12"},
    {L"hkey_local_machine", L"software\\brimvaletest32", L"name", L"Twelve", nullptr},
    {L"hkey_local_machine", L"software\\brimvaletest64", L"expand", nullptr, nullptr},
    {L"hkey_current_user", L"software\\brimvaletestuser\\app", L"", L"default", L"default"},
    // Written with SOFTWARE in capitals, as the probes write their paths: a
    // plain open in the default view, which on 64-bit is the 32-bit one.
    {L"hkey_local_machine", L"SOFTWARE\\BrimvaleTest64", L"build", nullptr, L"12"},
    {L"hkey_local_machine", L"SOFTWARE\\BrimvaleTest32", L"name", L"Twelve", nullptr},
};

}  // namespace registrycases
