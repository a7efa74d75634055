#pragma once
// File-system helpers under the file layer: DOS and file times, wildcard
// probes, the read-only attribute, folder chains and path splitting. Names are
// 8-bit engine names ("\" or "/" separators, case-blind on disk). None shows a
// message; missing files answer false.

#include "foundation/CJString.h"

#include <cstddef>
#include <cstdint>
#include <string>

// File times are 100 ns units since 1601-01-01 UTC. DOS dates pack the day
// (bits 0-4), month (5-8) and years since 1980 (9-15); DOS times the seconds
// / 2 (0-4), minutes (5-10) and hours (11-15).

// The current time (UTC) in DOS form.
void GetDosDateTimeNow(uint16_t& date, uint16_t& time);
// The file time taken as UTC, cut to DOS form (odd seconds drop). False,
// outputs 0, outside 1980-2107.
bool FileTimeToDosDateTime(uint64_t fileTime, uint16_t& date, uint16_t& time);
// The DOS date and time read as local time. An invalid date or time (day or
// month 0, 31 February, hour 24 ...) gives 0.
uint64_t DosTimeToFileTime(uint16_t date, uint16_t time);

// Whether the pattern finds anything (wildcard patterns also find "." and
// "..", so any existing folder matches "folder/*.*").
bool PatternExists(const char* pattern);
// The first name of the pattern (one integer conversion such as "%d" or
// "%03d") formatted with 0, 1, 2 ... that PatternExists denies. False when the
// pattern has no single integer conversion (it would never change) or after
// 100,000 names.
bool MakeUniqueName(CJString& name, const char* pattern);
// One integer conversion ("%d", "%05i", "%x" ...) and no other; "%%" is text.
bool HasOneIntegerConversion(const char* pattern);
// The last-write time of the first match that is no folder and does not begin
// with "."; false when there is none.
bool GetFileWriteTime(const char* pattern, uint64_t& fileTime);
// Whether a is newer than b (a missing b counts as time 0). With wildcards in
// a, whether any plain-file match of a is newer.
bool IsNewerOnDisk(const char* a, const char* b);
// The same two over disk paths (the bytes the system gave, "/" separators).
bool GetDiskFileWriteTime(const std::string& pattern, uint64_t& fileTime);
bool IsDiskPathNewer(const std::string& a, const std::string& b);

bool IsFileReadOnly(const char* name);
// Nothing for a missing file.
void SetFileReadOnly(const char* name, bool readOnly);
bool FolderHasEntries(const char* folder);
// An existing file that is not read-only, or a missing one whose folder has
// entries.
bool IsWritablePath(const char* name);
// Creates every missing level of the path. False when nothing could be
// created, including when the whole path already exists.
bool CreateFolderChain(const char* path);
bool CreateDiskFolderChain(const std::string& path);
// The disk path of a data file name resolved with the file-name flags.
std::string DiskPathOf(const char* name, uint32_t flags);
// plat::KeepFileAside on a data file name: the name used, or empty when the
// file stays where it is.
CJString KeepFileAside(const char* name, uint32_t flags);

// Buffers take size bytes including the terminator; a result that does not
// fit leaves the destination as it was and answers false.
// Adds "/" unless the destination is empty or ends in a separator.
bool AppendPath(char* destination, size_t size, const char* name);
bool JoinPath(char* destination, size_t size, const char* folder, const char* name);
// After the later of the last "\" and "/"; the path itself without one. A
// null path gives "In Path Name Null!".
const char* GetFileNameFromPath(const char* path);
// Keeps the path up to and including its last separator; empties it when
// there is none; leaves null alone.
void CutToFolder(char* path);
// The last "." of the file-name part, or the file name's terminator; "" for
// null.
const char* GetExtensionFromPath(const char* path);
// Replaces the extension (or appends when there is none); the extension
// brings its own ".".
bool SetFileExtension(char* path, size_t size, const char* extension);
