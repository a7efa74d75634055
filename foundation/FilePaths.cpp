#include "foundation/FilePaths.h"

#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/FileHelpers.h"
#include "foundation/TextEncoding.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kMaxUniqueNameAttempts = 100000;

std::string DiskName(const char* name)
{
    return Windows1252ToUtf8(name ? name : "");
}

struct BaseFolders {
    CJString user;
    CJString folderB;
    CJString folderC;
    CJString data{"./"};
};

BaseFolders& Folders()
{
    static BaseFolders folders;
    return folders;
}

void SetFolder(CJString& folder, const char* name)
{
    folder.Set(name);
    const int length = folder.GetLength();
    if (length > 0 && folder.GetAt(length - 1) != u'/')
        folder.Append("/");
}

bool FileNameIsAbsolute(const char* name)
{
    return name[0] == '/' || name[0] == '\\' || (name[0] != 0 && name[1] == ':');
}

std::string FolderPartOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool ArchivesUsable(uint32_t flags)
{
    return (flags & FILE_BASE_FOLDER_MASK) == 0 && GetArchiveLayer().IsMounted();
}

} // namespace

void SetUserFolder(const char* folder)
{
    SetFolder(Folders().user, folder);
}

void SetFolderB(const char* folder)
{
    SetFolder(Folders().folderB, folder);
}

void SetFolderC(const char* folder)
{
    SetFolder(Folders().folderC, folder);
}

void SetDataFolder(const char* folder)
{
    SetFolder(Folders().data, folder);
}

CJString GetBaseFolder(uint32_t flags)
{
    BaseFolders& folders = Folders();
    if (flags & FILE_USER_FOLDER)
        return folders.user;
    if (flags & FILE_FOLDER_B)
        return folders.folderB;
    if (flags & FILE_FOLDER_C)
        return folders.folderC;
    return folders.data;
}

void ResolveFileName(CJString& out, const char* name, uint32_t flags)
{
    if (!name)
        name = "";
    if (FileNameIsAbsolute(name)) {
        out.Set(name);
        return;
    }
    const CJString base = GetBaseFolder(flags);
    if (base.IsNotEmpty() && name[0] == '.' && name[1] == '/')
        name += 2;
    CJString resolved(base);
    resolved.Append(name);
    out = resolved;
}

bool ResolvePathToBuffer(char* out, uint32_t size, const char* name, uint32_t flags)
{
    CJString resolved;
    ResolveFileName(resolved, name, flags);
    if (resolved.IsWide())
        resolved.ToNarrow();
    const uint32_t length = uint32_t(resolved.GetLength());
    if (size == 0)
        return false;
    if (length + 1 > size) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out, resolved.GetString(), length + 1);
    return true;
}

uint32_t IsAbsolutePath(const char* name, uint32_t flags)
{
    if (!name || !name[0] || !name[1])
        return 0;
    if (!FileNameIsAbsolute(name) && !(name[0] == '.' && name[1] == '/'))
        return 0;
    return FILE_NO_NOTIFY | ((flags & FILE_BASE_FOLDER_MASK) ? 0 : FILE_USER_FOLDER);
}

namespace {

std::string ResolvedDiskName(const char* name, uint32_t flags)
{
    CJString resolved;
    ResolveFileName(resolved, name, flags);
    return DiskName(resolved.GetString());
}

std::string WithoutTrailingSlash(std::string path)
{
    if (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

} // namespace

bool DeleteFileByName(const char* name, uint32_t flags)
{
    return plat::DeleteFile(ResolvedDiskName(name, flags));
}

bool FolderExists(const char* name, uint32_t flags)
{
    // Any entry of that name answers, a file too.
    return plat::PathExists(WithoutTrailingSlash(ResolvedDiskName(name, flags)));
}

bool CreateFolderForName(const char* name, uint32_t flags)
{
    if (FolderExists(name, flags))
        return true;
    return CreateFolderChain(WithoutTrailingSlash(ResolvedDiskName(name, flags)).c_str());
}

bool IsFileWritable(const char* name, uint32_t flags)
{
    if (ArchivesUsable(flags)) {
        bool writable = false;
        if (GetArchiveLayer().IsWritable(name, writable))
            return writable;
    }
    const std::string diskName = ResolvedDiskName(name, flags);
    plat::FileStatus status;
    if (plat::GetFileStatus(diskName, status))
        return !status.isFolder && !status.isReadOnly;
    const std::string folder = FolderPartOf(diskName);
    return folder.empty() || plat::IsFolder(folder);
}

void GetRealPath(CJString& out, const char* name, uint32_t flags)
{
    if (GetArchiveLayer().IsMounted() && GetArchiveLayer().GetArchivePath(name, out))
        return;
    ResolveFileName(out, name, flags);
}

bool IsNewer(const char* nameA, uint32_t flagsA, const char* nameB, uint32_t flagsB)
{
    if (IsNewerOnDisk(ResolvedDiskName(nameA, flagsA).c_str(), ResolvedDiskName(nameB, flagsB).c_str()))
        return true;
    return GetArchiveLayer().IsMounted() && GetArchiveLayer().IsNewer(nameA, nameB);
}

bool GetFileIdentity(const char* name, uint32_t flags, SFileIdentity& identity)
{
    plat::FileStatus status;
    if (!name || !plat::GetFileStatus(ResolvedDiskName(name, flags), status) || status.isFolder)
        return false;
    identity.size = status.size;
    identity.writeTime = status.writeTime;
    return true;
}

bool SetFileWriteTime(const char* name, uint32_t flags, uint64_t writeTime)
{
    return name && plat::SetFileWriteTime(ResolvedDiskName(name, flags), writeTime);
}

bool IsNewerFile(const char* nameA, const char* nameB)
{
    return IsNewer(nameA, 0, nameB, 0);
}

bool MakeUniqueFileName(char* out, uint32_t size, const char* pattern, uint32_t flags)
{
    if (!out || size == 0 || !pattern || !HasOneIntegerConversion(pattern))
        return false;
    out[0] = 0;
    CJString resolvedPattern;
    ResolveFileName(resolvedPattern, pattern, flags);
    const int baseLength = FileNameIsAbsolute(pattern) ? 0 : GetBaseFolder(flags).GetLength();
    std::string candidate;
    for (int i = 0; i < kMaxUniqueNameAttempts; ++i) {
        // The pattern was checked to hold exactly one integer conversion.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        const int length = std::snprintf(nullptr, 0, resolvedPattern.GetString(), i);
        candidate.assign(size_t(std::max(length, 0)) + 1, '\0');
        std::snprintf(candidate.data(), candidate.size(), resolvedPattern.GetString(), i);
#pragma GCC diagnostic pop
        candidate.resize(size_t(std::max(length, 0)));
        if (plat::PathExists(DiskName(candidate.c_str())))
            continue;
        const std::string relative = candidate.substr(std::min<size_t>(size_t(baseLength), candidate.size()));
        if (relative.size() + 1 > size)
            return false;
        std::memcpy(out, relative.c_str(), relative.size() + 1);
        return true;
    }
    return false;
}

bool FileExists(const char* name, uint32_t flags)
{
    CFile file;
    return file.Open(name, (flags & FILE_BASE_FOLDER_MASK) | FILE_NO_NOTIFY | FILE_READ);
}
