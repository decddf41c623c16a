// Recognising a downloaded archive and finding the program to run in it.
// All of it runs on the calling page's thread.
#pragma once

#include <string>

#include "platform/Services.h"

// What GetArchiveType recognised by the first bytes of a file.
enum ArchiveKind : int { NotAnArchive = 0, ZipArchive = 1, SevenZipArchive = 2 };

// ZipArchive for "PK\3\4", SevenZipArchive for "7z\xBC\xAF\x27\x1C",
// otherwise (also when the file cannot be read or is shorter) NotAnArchive.
ArchiveKind GetArchiveType(platform::FileSystem& files, const std::wstring& path);

// The path to run for a downloaded file: the file itself unless it is a ZIP
// archive; for a ZIP the first program unpacked into MakeExtractFolder's
// folder, or the archive path when extraction fails or yields no program.
std::wstring ResolveExecutable(const platform::Services& services, const std::wstring& path, ArchiveKind kind,
                               const std::wstring& baseFolder);

// The folder receiving an archive's files: the base folder followed by a
// backslash and the archive's file name without its last extension (just the
// base folder when the path has no backslash or that name is only dots and
// blanks, such as ".."). Created when missing; when it cannot be created the
// base folder itself is returned.
std::wstring MakeExtractFolder(platform::FileSystem& files, const std::wstring& archivePath,
                               const std::wstring& baseFolder);

// Unpacks the archive into the destination folder. False when the archive
// holds no item or the copy failed (natively also when an entry would land
// outside the folder); true when it was copied, and also when the archive
// could not be opened at all (nothing is then copied).
bool ExtractZip(platform::ArchiveExtractor& archives, const std::wstring& archive, const std::wstring& destination);

// Name (without folder) of the first file matching folder\*.exe that is not
// a folder, in the file system's order; empty when there is none. The
// pattern is cut at 259 characters.
std::wstring FindFirstExe(platform::FileSystem& files, const std::wstring& folder);
