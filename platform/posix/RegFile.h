// The registry export format (.reg), read into a MemoryRegistry so test
// fixtures are files a person can read and Windows' own tools can import.
//
// Understood: the headers "REGEDIT4" and "Windows Registry Editor Version
// 5.00"; "; comments"; [key] sections (created with their parents) and
// [-key] deletions of a key with its subtree; values named "name" or @ (the
// default value) holding "text" (REG_SZ, with \\ and \" escapes), dword:
// (8 hex digits at most), hex: (REG_BINARY), hex(N): (type N, for example
// hex(2): REG_EXPAND_SZ, hex(7): REG_MULTI_SZ, hex(b): REG_QWORD) with byte
// lists continued over lines by a trailing backslash, and "name"=- to delete
// a value. Key paths are physical: HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\x
// is the 32-bit view's key, as a 64-bit regedit exports it. Root names are
// the full HKEY_ names or their abbreviations (HKLM, HKCU, HKCR, HKU, HKCC).
// In REGEDIT4 files the bytes of hex string types are single-byte
// characters, in version 5 files UTF-16LE, as the two versions store them.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/posix/MemoryRegistry.h"

namespace platform::posix {

// Applies the text of a .reg file (UTF-8). Throws std::runtime_error naming
// the line for anything it does not understand; lines before it stay applied.
void ImportRegText(MemoryRegistry& registry, std::string_view text);

// Reads a .reg file, UTF-8 or UTF-16LE with its byte-order mark (as regedit
// writes version 5 files), and applies it. Throws std::runtime_error when it
// cannot be read.
void ImportRegFile(MemoryRegistry& registry, const std::filesystem::path& file);

}  // namespace platform::posix
