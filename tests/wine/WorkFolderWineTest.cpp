// The work folder through the real file system seam: who may use it, and
// that a name something else took first is never used.
#include <windows.h>
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlwapi.h>

#include <functional>

#include "config/ConfigurationManager.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/wine/WineTestEnvironment.h"
#include "util/Utf8.h"

namespace {

// The DACL of a file or folder in SDDL ("D:..."), empty when it cannot be read.
std::wstring DaclOf(const std::wstring& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
    return L"";
  wchar_t* text = nullptr;
  std::wstring dacl;
  if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
    dacl = text;
    ::LocalFree(text);
  }
  ::LocalFree(descriptor);
  return dacl;
}

// Whether the file system keeps the descriptor a folder is made with, as
// Windows does. Wine 8 keeps none: it turns the DACL into the folder's Unix
// mode and shows a DACL made from that mode (SYSTEM and the owner, and
// Everyone when others may read), never protected.
bool KeepsSecurityDescriptors(const std::wstring& scratch) {
  const std::wstring probe = scratch + L"\\probe";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor,
                                                              nullptr))
    return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const bool made = ::CreateDirectoryW(probe.c_str(), &attributes);
  ::LocalFree(descriptor);
  const bool kept = made && DaclOf(probe).starts_with(L"D:P");
  ::RemoveDirectoryW(probe.c_str());
  return kept;
}

std::wstring UserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  std::vector<BYTE> buffer(256);
  DWORD size = static_cast<DWORD>(buffer.size());
  std::wstring sid;
  wchar_t* text = nullptr;
  if (::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
      ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    sid = text;
    ::LocalFree(text);
  }
  ::CloseHandle(token);
  return sid;
}

// The Linux path of a path on a Wine drive, empty when there is none.
std::wstring UnixName(const std::wstring& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unixFileName ? unixFileName(path.c_str()) : nullptr;
  const std::string text = name ? name : "";
  ::HeapFree(::GetProcessHeap(), 0, name);
  return Utf8ToWide(text);
}

// Runs a shell command as Wine starts Unix programs, and returns once it
// has succeeded (true) or after five seconds. Such a process cannot be
// waited for, so the command leaves a mark file when it is done.
bool RunUnixShell(const std::wstring& script) {
  wchar_t temp[MAX_PATH] = {};
  wchar_t mark[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  ::GetTempFileNameW(temp, L"BVM", 0, mark);
  const std::wstring markName = UnixName(mark);
  ::DeleteFileW(mark);
  if (markName.empty()) return false;
  std::wstring command = L"/bin/sh -c \"" + script + L" && : >'" + markName + L"'\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  for (int wait = 0; wait < 100; ++wait) {
    if (::DeleteFileW(mark)) return true;
    ::Sleep(50);
  }
  return false;
}

// A symbolic link at `link` to the Linux path `target`, as another process
// of the user could plant one. Wine 8 makes no Windows links
// (CreateSymbolicLinkW reports success and makes nothing, junctions fail
// with ERROR_NOT_SUPPORTED); a Unix symbolic link is what it shows as one
// (FILE_ATTRIBUTE_REPARSE_POINT), or, when it leads nowhere, not at all.
bool PlantLink(const std::wstring& link, const std::wstring& target) {
  const std::wstring linkName = UnixName(link);
  return !linkName.empty() && !target.empty() && RunUnixShell(L"ln -s '" + target + L"' '" + linkName + L"'");
}

bool RemoveLink(const std::wstring& link) {
  const std::wstring linkName = UnixName(link);
  return !linkName.empty() && RunUnixShell(L"rm '" + linkName + L"'");
}

// Takes the name CreateWorkFolder has just freed, once, before it makes
// the folder: the race another process of the user could win.
class SquattingFileSystem : public platform::win32::Win32FileSystem {
 public:
  explicit SquattingFileSystem(std::function<void(const std::wstring&)> squat) : squat(std::move(squat)) {}
  platform::Win32Error RemoveFile(const std::wstring& path) override {
    const platform::Win32Error error = Win32FileSystem::RemoveFile(path);
    if (squatted.empty()) {
      squatted = path;
      squat(path);
    }
    return error;
  }
  std::wstring squatted;

 private:
  std::function<void(const std::wstring&)> squat;
};

}  // namespace

// Only SYSTEM and Administrators may use the work folder, with nothing of
// the temporary folder's entries inherited. Where descriptors are kept the
// DACL reads back as made; on Wine the folder must at least be closed to
// everybody else, where an ordinary folder is readable by Everyone.
TEST(WorkFolderOnWine, IsForSystemAndAdministratorsOnly) {
  platform::win32::Win32FileSystem files;
  const std::wstring folder = CreateWorkFolder(files);
  ASSERT_FALSE(folder.empty());
  const std::wstring dacl = DaclOf(folder);
  winetest::ScratchFolder ordinary;
  if (KeepsSecurityDescriptors(ordinary.Path())) {
    // The system may mark the DACL auto-inherited (AI); nothing else may differ.
    EXPECT_TRUE(dacl == L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)" || dacl == L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)")
        << WideToUtf8(dacl);
  } else {
    EXPECT_EQ(dacl, L"D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + UserSid() + L")");
    EXPECT_NE(DaclOf(ordinary.Path()).find(L";;;WD)"), std::wstring::npos) << WideToUtf8(DaclOf(ordinary.Path()));
  }
  ::RemoveDirectoryW(folder.c_str());
}

// A name taken between the unique file's removal and the folder's creation
// (a folder, a link to another folder, a link to nothing) is left as it is,
// and the next free name becomes the work folder.
TEST(WorkFolderOnWine, NeverUsesANameSomethingElseTook) {
  winetest::ScratchFolder decoy;
  // What the name is afterwards, as GetFileAttributesW sees it.
  const DWORD kMissing = INVALID_FILE_ATTRIBUTES;
  const DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
  const DWORD kLinkedFolder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  const struct {
    const char* what;
    std::function<bool(const std::wstring&)> take;
    DWORD attributes;
  } cases[] = {
      {"folder", [](const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE; }, kFolder},
      {"link to a folder", [&](const std::wstring& path) { return PlantLink(path, UnixName(decoy.Path())); },
       kLinkedFolder},
      {"link to nothing", [&](const std::wstring& path) { return PlantLink(path, UnixName(decoy.Path()) + L"/none"); },
       kMissing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bool taken = false;
    SquattingFileSystem files([&](const std::wstring& path) { taken = c.take(path); });
    const std::wstring folder = CreateWorkFolder(files);
    ASSERT_TRUE(taken) << "could not take " << WideToUtf8(files.squatted);
    EXPECT_FALSE(folder.empty());
    EXPECT_NE(folder, files.squatted);
    EXPECT_TRUE(::PathIsDirectoryW(folder.c_str())) << WideToUtf8(folder);
    // The taken name is still what was put there, and the link still leads nowhere.
    EXPECT_EQ(::GetFileAttributesW(files.squatted.c_str()), c.attributes);
    ::RemoveDirectoryW(folder.c_str());
    if (c.attributes == kFolder) {
      ::RemoveDirectoryW(files.squatted.c_str());
    } else {
      EXPECT_TRUE(RemoveLink(files.squatted));
    }
  }
}
