#include "foundation/FileHelpers.h"

#include "foundation/FilePaths.h"
#include "foundation/TextEncoding.h"
#include "platform/Clock.h"
#include "platform/FileSearch.h"
#include "platform/FileSystem.h"

#include <cstring>
#include <string>

namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr uint64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int kMaxUniqueNameAttempts = 100000;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool HasWildcards(const char* name)
{
    return std::strpbrk(name, "*?") != nullptr;
}

bool IsLeapYear(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Civil date from days since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// The length of the folder part of a path, its last separator included.
size_t FolderPartLength(const char* path)
{
    size_t length = 0;
    for (size_t i = 0; path[i]; ++i)
        if (IsSeparator(path[i]))
            length = i + 1;
    return length;
}

void AppendPathTo(std::string& destination, const char* name)
{
    if (!destination.empty() && !IsSeparator(destination.back()))
        destination += '/';
    destination += name;
}

bool CopyIfFits(char* destination, size_t size, const std::string& text)
{
    if (!destination || text.size() >= size)
        return false;
    std::memcpy(destination, text.c_str(), text.size() + 1);
    return true;
}

} // namespace

bool HasOneIntegerConversion(const char* pattern)
{
    int conversions = 0;
    for (const char* at = pattern; *at; ++at) {
        if (*at != '%')
            continue;
        ++at;
        if (*at == '%')
            continue;
        at += std::strspn(at, "-+ #0");
        at += std::strspn(at, "0123456789");
        if (*at == '.') {
            ++at;
            at += std::strspn(at, "0123456789");
        }
        if (!*at || !std::strchr("diuxXo", *at))
            return false;
        ++conversions;
    }
    return conversions == 1;
}

void GetDosDateTimeNow(uint16_t& date, uint16_t& time)
{
    FileTimeToDosDateTime(plat::GetSystemFileTime(), date, time);
}

bool FileTimeToDosDateTime(uint64_t fileTime, uint16_t& date, uint16_t& time)
{
    date = 0;
    time = 0;
    const int64_t seconds = int64_t(fileTime / kFileTimeUnitsPerSecond) - kSecondsFrom1601To1970;
    int64_t days = seconds / 86400;
    int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    int64_t year;
    int month, day;
    CivilFromDays(days, year, month, day);
    if (year < 1980 || year > 2107)
        return false;
    date = uint16_t((year - 1980) << 9 | month << 5 | day);
    time = uint16_t(secondOfDay / 3600 << 11 | secondOfDay / 60 % 60 << 5 | secondOfDay % 60 / 2);
    return true;
}

uint64_t DosTimeToFileTime(uint16_t date, uint16_t time)
{
    const int day = date & 31;
    const int month = date >> 5 & 15;
    const int year = 1980 + (date >> 9);
    const int seconds = (time & 31) * 2;
    const int minutes = time >> 5 & 63;
    const int hours = time >> 11;
    if (day == 0 || month == 0 || month > 12 || day > DaysInMonth(year, month) || seconds > 59 || minutes > 59
        || hours > 23)
        return 0;
    int64_t utc = 0;
    if (!plat::LocalTimeToUnixSeconds(year, month, day, hours, minutes, seconds, utc))
        return 0;
    return plat::UnixTimeToFileTime(utc, 0);
}

bool PatternExists(const char* pattern)
{
    return pattern && !plat::FindFiles(DiskNameOf(pattern)).empty();
}

bool MakeUniqueName(CJString& name, const char* pattern)
{
    if (!pattern || !HasOneIntegerConversion(pattern))
        return false;
    for (int i = 0; i < kMaxUniqueNameAttempts; ++i) {
        name.Format(pattern, i);
        if (!PatternExists(name.GetString()))
            return true;
    }
    return false;
}

bool GetFileWriteTime(const char* pattern, uint64_t& fileTime)
{
    return pattern && GetDiskFileWriteTime(DiskNameOf(pattern), fileTime);
}

bool GetDiskFileWriteTime(const std::string& pattern, uint64_t& fileTime)
{
    for (const plat::FindEntry& entry : plat::FindFiles(pattern)) {
        if (!entry.isFolder && entry.name[0] != '.') {
            fileTime = entry.writeTime;
            return true;
        }
    }
    return false;
}

bool IsNewerOnDisk(const char* a, const char* b)
{
    return a && IsDiskPathNewer(DiskNameOf(a), b ? DiskNameOf(b) : std::string());
}

bool IsDiskPathNewer(const std::string& a, const std::string& b)
{
    uint64_t bTime = 0;
    if (!b.empty() && !GetDiskFileWriteTime(b, bTime))
        bTime = 0;
    if (!HasWildcards(a.c_str())) {
        plat::FileStatus status;
        return plat::GetFileStatus(a, status) && status.writeTime > bTime;
    }
    for (const plat::FindEntry& entry : plat::FindFiles(a))
        if (!entry.isFolder && entry.name[0] != '.' && entry.writeTime > bTime)
            return true;
    return false;
}

bool IsFileReadOnly(const char* name)
{
    return name && plat::IsReadOnly(DiskNameOf(name));
}

void SetFileReadOnly(const char* name, bool readOnly)
{
    if (name)
        plat::SetReadOnly(DiskNameOf(name), readOnly);
}

bool FolderHasEntries(const char* folder)
{
    std::string pattern = folder ? folder : "";
    AppendPathTo(pattern, "*.*");
    return PatternExists(pattern.c_str());
}

bool IsWritablePath(const char* name)
{
    if (!name)
        return false;
    plat::FileStatus status;
    if (plat::GetFileStatus(DiskNameOf(name), status))
        return !status.isReadOnly;
    const std::string folder(name, FolderPartLength(name));
    return FolderHasEntries(folder.c_str());
}

bool CreateFolderChain(const char* path)
{
    return path && CreateDiskFolderChain(DiskNameOf(path));
}

// Tries the whole path; on failure walks up one level at a time until a
// level can be made, then starts again with the whole path. Each restart
// follows a new folder, so the walk ends.
bool CreateDiskFolderChain(const std::string& path)
{
    std::string full = path;
    if (!full.empty() && full.back() == '/')
        full.pop_back();
    std::string attempt = full;
    for (;;) {
        if (!attempt.empty() && plat::CreateFolder(attempt)) {
            if (attempt.size() == full.size())
                return true;
            attempt = full;
            continue;
        }
        // A disk path separates with "/" only: a "\\" there is part of a name.
        const size_t cut = attempt.rfind('/');
        if (cut == std::string::npos || cut == 0)
            return false;
        attempt.resize(cut);
    }
}

bool AppendPath(char* destination, size_t size, const char* name)
{
    if (!destination || !name)
        return false;
    std::string joined = destination;
    AppendPathTo(joined, name);
    return CopyIfFits(destination, size, joined);
}

bool JoinPath(char* destination, size_t size, const char* folder, const char* name)
{
    if (!destination || !name)
        return false;
    std::string joined = folder ? folder : "";
    AppendPathTo(joined, name);
    return CopyIfFits(destination, size, joined);
}

const char* GetFileNameFromPath(const char* path)
{
    if (!path)
        return "In Path Name Null!";
    return path + FolderPartLength(path);
}

void CutToFolder(char* path)
{
    if (path)
        path[FolderPartLength(path)] = 0;
}

const char* GetExtensionFromPath(const char* path)
{
    if (!path)
        return "";
    const char* name = GetFileNameFromPath(path);
    const char* dot = std::strrchr(name, '.');
    return dot ? dot : name + std::strlen(name);
}

bool SetFileExtension(char* path, size_t size, const char* extension)
{
    if (!path || !extension)
        return false;
    const size_t at = size_t(GetExtensionFromPath(path) - path);
    std::string result(path, at);
    result += extension;
    return CopyIfFits(path, size, result);
}

std::string DiskPathOf(const char* name, uint32_t flags)
{
    return plat::ResolvePath(ResolveDiskPath(name, flags));
}

CJString KeepFileAside(const char* name, uint32_t flags)
{
    const std::string ending = plat::KeepFileAside(DiskPathOf(name, flags));
    if (ending.empty())
        return CJString();
    CJString aside(name);
    aside.Append(ending.c_str());
    return aside;
}
