#pragma once
// Base folders and the path helpers over them: a name with the FILE_ flags
// of foundation/CFile.h resolves against the base folder the flags choose.

#include "foundation/CJString.h"

#include <cstdint>
#include <string>

// Base folders. The user, second and third folders start empty (names then
// resolve against the working folder); the data folder is "." until the
// archives are mounted. A non-empty folder is stored ending in "/".
// A base folder is a disk path, its bytes as the system gave them (UTF-8,
// any character a folder name may hold, "/" separators): it never passes
// through the 8-bit form, which could not hold every such name.
void SetUserFolder(const char* folder);
void SetFolderB(const char* folder);
void SetFolderC(const char* folder);
void SetDataFolder(const char* folder);
// The folder in the 8-bit form, for texts and lengths: characters it cannot
// hold are "?". Paths to the system come from ResolveDiskPath.
CJString GetBaseFolder(uint32_t flags);
// The folder as it is on disk.
std::string GetBaseDiskFolder(uint32_t flags);

// The disk form of an 8-bit engine name: UTF-8, "\\" made "/".
std::string DiskNameOf(const char* name);
// An 8-bit name that opens the file at the disk path: the path itself when
// the 8-bit form holds it, else its part below the working folder; empty
// when neither can.
std::string EngineNameOfDiskPath(const std::string& path);
// The disk path a name opens: the base folder of the flags as it is on disk,
// then the name in its disk form (an absolute name alone).
std::string ResolveDiskPath(const char* name, uint32_t flags);

// Path helpers. A name beginning with "/" or "\", or whose second character
// is ":", is used as given; any other gets the base folder of the flags.
void ResolveFileName(CJString& out, const char* name, uint32_t flags);
// False (and an empty buffer) when the result does not fit in size.
bool ResolvePathToBuffer(char* out, uint32_t size, const char* name, uint32_t flags);
// FILE_NO_NOTIFY (and FILE_USER_FOLDER when the flags hold no base-folder
// bit) for absolute names and names beginning "./"; 0 otherwise.
uint32_t IsAbsolutePath(const char* name, uint32_t flags);
bool DeleteFileByName(const char* name, uint32_t flags);
bool FolderExists(const char* name, uint32_t flags);
// The folder's absolute disk path when it cannot be listed on disk (missing,
// or not to be read); empty when it can.
std::string UnreadableFolderPath(const char* name, uint32_t flags);
bool CreateFolderForName(const char* name, uint32_t flags);
bool IsFileWritable(const char* name, uint32_t flags);
void GetRealPath(CJString& out, const char* name, uint32_t flags);
bool IsNewer(const char* nameA, uint32_t flagsA, const char* nameB, uint32_t flagsB);
bool IsNewerFile(const char* nameA, const char* nameB);
// What tells one saved state of a file on disk from the next.
struct SFileIdentity {
    uint64_t size = 0;
    uint64_t writeTime = 0; // file time
    friend bool operator==(const SFileIdentity&, const SFileIdentity&) = default;
};
// False for a name that is not a file on disk (missing, or only in an archive).
bool GetFileIdentity(const char* name, uint32_t flags, SFileIdentity& identity);
bool SetFileWriteTime(const char* name, uint32_t flags, uint64_t writeTime);
// Formats the resolved pattern (one integer conversion, nothing else) with
// 0, 1, 2 ... until no such file exists; the result is relative to the base
// folder. False for a pattern of another shape or when no free name was found.
bool MakeUniqueFileName(char* out, uint32_t size, const char* pattern, uint32_t flags);
bool FileExists(const char* name, uint32_t flags);
