#include "platform/posix/RegFile.h"

#include <cwctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <vector>

#include "util/Utf8.h"

namespace platform::posix {
namespace {

std::wstring Trim(const std::wstring& text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring Upper(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return text;
}

std::optional<RegistryRoot> RootFromName(const std::wstring& name) {
  const std::wstring upper = Upper(name);
  if (upper == L"HKEY_LOCAL_MACHINE" || upper == L"HKLM") return RegistryRoot::LocalMachine;
  if (upper == L"HKEY_CURRENT_USER" || upper == L"HKCU") return RegistryRoot::CurrentUser;
  if (upper == L"HKEY_CLASSES_ROOT" || upper == L"HKCR") return RegistryRoot::ClassesRoot;
  if (upper == L"HKEY_USERS" || upper == L"HKU") return RegistryRoot::Users;
  if (upper == L"HKEY_CURRENT_CONFIG" || upper == L"HKCC") return RegistryRoot::CurrentConfig;
  return std::nullopt;
}

class RegTextImporter {
 public:
  explicit RegTextImporter(MemoryRegistry& registry) : registry(registry) {}

  void Import(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start <= text.size();) {
      auto end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      std::wstring line = text.substr(start, end - start);
      if (!line.empty() && line.back() == L'\r') line.pop_back();
      lines.push_back(std::move(line));
      start = end + 1;
    }

    bool headerSeen = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      lineNumber = i + 1;
      std::wstring line = Trim(lines[i]);
      // Hex data goes on over lines that end with a backslash.
      while (!line.empty() && line.back() == L'\\' && line.find(L"=hex") != std::wstring::npos &&
             i + 1 < lines.size()) {
        line.pop_back();
        line += Trim(lines[++i]);
      }
      if (line.empty() || line.front() == L';') continue;
      if (!headerSeen) {
        if (line == L"REGEDIT4") {
          unicode = false;
        } else if (line == L"Windows Registry Editor Version 5.00") {
          unicode = true;
        } else {
          Fail("missing REGEDIT4 or \"Windows Registry Editor Version 5.00\" header");
        }
        headerSeen = true;
      } else if (line.front() == L'[') {
        Section(line);
      } else {
        Value(line);
      }
    }
    if (!headerSeen) Fail("empty file");
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw std::runtime_error(".reg line " + std::to_string(lineNumber) + ": " + why);
  }

  void Section(const std::wstring& line) {
    if (line.back() != L']') Fail("a key line must end with ]");
    std::wstring path = line.substr(1, line.size() - 2);
    const bool remove = !path.empty() && path.front() == L'-';
    if (remove) path.erase(0, 1);
    const auto separator = path.find(L'\\');
    const auto rootName = path.substr(0, separator);
    const auto root = RootFromName(rootName);
    if (!root) Fail("unknown root key " + WideToUtf8(rootName));
    const std::wstring subKey = separator == std::wstring::npos ? L"" : path.substr(separator + 1);
    if (remove) {
      registry.DeleteKey(*root, subKey);
      currentKey.reset();
      return;
    }
    registry.CreateKey(*root, subKey);
    currentKey = Key{*root, subKey};
  }

  void Value(const std::wstring& line) {
    if (!currentKey) Fail("a value outside a key section");
    std::size_t pos = 0;
    std::wstring name;
    if (line.front() == L'@') {
      pos = 1;
    } else if (line.front() == L'"') {
      name = QuotedString(line, pos);
    } else {
      Fail("a value name must be quoted or @");
    }
    while (pos < line.size() && (line[pos] == L' ' || line[pos] == L'\t')) ++pos;
    if (pos >= line.size() || line[pos] != L'=') Fail("= expected after the value name");
    const std::wstring data = Trim(line.substr(pos + 1));

    if (data == L"-") {
      registry.DeleteValue(currentKey->root, currentKey->subKey, name);
    } else if (!data.empty() && data.front() == L'"') {
      std::size_t end = 0;
      const std::wstring text = QuotedString(data, end);
      if (end != data.size()) Fail("text after the closing quote");
      registry.SetString(currentKey->root, currentKey->subKey, name, text);
    } else if (data.starts_with(L"dword:")) {
      const std::wstring digits = data.substr(6);
      if (digits.empty() || digits.size() > 8 || digits.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
        Fail("dword: takes one to eight hexadecimal digits");
      registry.SetDword(currentKey->root, currentKey->subKey, name,
                        static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16)));
    } else if (data.starts_with(L"hex")) {
      HexValue(name, data);
    } else {
      Fail("unknown value data");
    }
  }

  void HexValue(const std::wstring& name, const std::wstring& data) {
    std::uint32_t type = kRegBinary;
    std::size_t pos = 3;
    if (data.size() > pos && data[pos] == L'(') {
      const auto close = data.find(L')', pos);
      const std::wstring digits = close == std::wstring::npos ? L"" : data.substr(pos + 1, close - pos - 1);
      if (digits.empty() || digits.size() > 8 || digits.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
        Fail("hex(N): takes a hexadecimal type number");
      type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
      pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != L':') Fail(": expected after hex");
    std::vector<std::uint8_t> bytes;
    std::wstring rest = data.substr(pos + 1);
    for (std::size_t start = 0; start < rest.size();) {
      auto comma = rest.find(L',', start);
      if (comma == std::wstring::npos) comma = rest.size();
      const std::wstring byte = Trim(rest.substr(start, comma - start));
      if (byte.empty() || byte.size() > 2 || byte.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
        Fail("hex data is a comma-separated list of bytes");
      bytes.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
      start = comma + 1;
      if (comma + 1 == rest.size()) Fail("hex data ends with a comma");
    }
    if (type == kRegQword && bytes.size() != 8) Fail("hex(b): takes eight bytes");
    const bool stringType = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
    if (stringType && !unicode) {
      // REGEDIT4 stores these strings as single-byte characters.
      std::vector<std::uint8_t> wide;
      for (auto byte : bytes) wide.insert(wide.end(), {byte, 0});
      bytes = std::move(wide);
    }
    registry.SetValue(currentKey->root, currentKey->subKey, name, RegistryValue{type, std::move(bytes)});
  }

  // The text of the quoted string that starts at `pos`; `pos` ends after it.
  std::wstring QuotedString(const std::wstring& line, std::size_t& pos) const {
    std::wstring text;
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
      if (line[i] == L'"') {
        pos = i + 1;
        return text;
      }
      if (line[i] == L'\\') {
        if (i + 1 >= line.size() || (line[i + 1] != L'\\' && line[i + 1] != L'"'))
          Fail("only \\\\ and \\\" are escapes in a quoted string");
        ++i;
      }
      text += line[i];
    }
    Fail("a quoted string is not closed");
  }

  struct Key {
    RegistryRoot root;
    std::wstring subKey;
  };

  MemoryRegistry& registry;
  std::optional<Key> currentKey;
  bool unicode = true;
  std::size_t lineNumber = 0;
};

}  // namespace

void ImportRegText(MemoryRegistry& registry, std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  RegTextImporter(registry).Import(Utf8ToWide(text));
}

void ImportRegFile(MemoryRegistry& registry, const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) throw std::runtime_error("cannot read " + file.string());
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    // UTF-16LE as regedit writes it; the text holds no NUL.
    std::vector<std::uint8_t> units(bytes.begin() + 2, bytes.end());
    units.insert(units.end(), {0, 0});
    RegTextImporter(registry).Import(RegistryBytesToString(units));
    return;
  }
  ImportRegText(registry, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace platform::posix
