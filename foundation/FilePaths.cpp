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

// Each folder as the system gave it (its bytes kept, whatever characters
// they spell) and in the 8-bit form, which names and measures it for the
// engine but may have lost characters on the way.
struct SBaseFolder {
    std::string disk;
    CJString engine;
};

struct BaseFolders {
    SBaseFolder user;
    SBaseFolder folderB;
    SBaseFolder folderC;
    SBaseFolder data{"./", CJString("./")};
};

BaseFolders& Folders()
{
    static BaseFolders folders;
    return folders;
}

void SetFolder(SBaseFolder& folder, const char* name)
{
    folder.disk = name ? name : "";
    if (!folder.disk.empty() && folder.disk.back() != '/')
        folder.disk += '/';
    folder.engine.Set(Utf8ToWindows1252(folder.disk).c_str());
}

const SBaseFolder& BaseFolderOf(uint32_t flags)
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

bool FileNameIsAbsolute(const char* name)
{
    return name[0] == '/' || name[0] == '\\' || (name[0] != 0 && name[1] == ':');
}

std::string FolderPartOf(const std::string& path)
{
    // Disk paths separate with "/" only.
    const std::size_t slash = path.rfind('/');
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

std::string DiskNameOf(const char* name)
{
    std::string disk = Windows1252ToUtf8(name ? name : "");
    std::replace(disk.begin(), disk.end(), '\\', '/');
    return disk;
}

std::string EngineNameOfDiskPath(const std::string& path)
{
    const auto survives = [](const std::string& disk) {
        const std::string engine = Utf8ToWindows1252(disk);
        return disk.find('\\') == std::string::npos && Windows1252ToUtf8(engine) == disk;
    };
    if (survives(path))
        return Utf8ToWindows1252(path);
    const std::string here = plat::GetCurrentFolder() + "/";
    if (path.compare(0, here.size(), here) == 0 && survives(path.substr(here.size())))
        return "./" + Utf8ToWindows1252(path.substr(here.size()));
    return std::string();
}

CJString GetBaseFolder(uint32_t flags)
{
    return BaseFolderOf(flags).engine;
}

std::string GetBaseDiskFolder(uint32_t flags)
{
    return BaseFolderOf(flags).disk;
}

std::string ResolveDiskPath(const char* name, uint32_t flags)
{
    if (!name)
        name = "";
    if (FileNameIsAbsolute(name))
        return DiskNameOf(name);
    const std::string& base = BaseFolderOf(flags).disk;
    if (!base.empty() && name[0] == '.' && name[1] == '/')
        name += 2;
    return base + DiskNameOf(name);
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

std::string WithoutTrailingSlash(std::string path)
{
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

bool DeleteFileByName(const char* name, uint32_t flags)
{
    return plat::DeleteFile(ResolveDiskPath(name, flags));
}

bool FolderExists(const char* name, uint32_t flags)
{
    // Any entry of that name answers, a file too.
    return plat::PathExists(WithoutTrailingSlash(ResolveDiskPath(name, flags)));
}

std::string UnreadableFolderPath(const char* name, uint32_t flags)
{
    std::string path = ResolveDiskPath(name, flags);
    if (plat::CanListFolder(path))
        return std::string();
    if (path.empty() || path[0] != '/')
        path = plat::GetCurrentFolder() + "/" + (path.compare(0, 2, "./") == 0 ? path.substr(2) : path);
    return WithoutTrailingSlash(path);
}

bool CreateFolderForName(const char* name, uint32_t flags)
{
    if (FolderExists(name, flags))
        return true;
    return CreateDiskFolderChain(WithoutTrailingSlash(ResolveDiskPath(name, flags)));
}

bool IsFileWritable(const char* name, uint32_t flags)
{
    if (ArchivesUsable(flags)) {
        bool writable = false;
        if (GetArchiveLayer().IsWritable(name, writable))
            return writable;
    }
    const std::string diskName = ResolveDiskPath(name, flags);
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
    if (IsDiskPathNewer(ResolveDiskPath(nameA, flagsA), ResolveDiskPath(nameB, flagsB)))
        return true;
    return GetArchiveLayer().IsMounted() && GetArchiveLayer().IsNewer(nameA, nameB);
}

bool GetFileIdentity(const char* name, uint32_t flags, SFileIdentity& identity)
{
    plat::FileStatus status;
    if (!name || !plat::GetFileStatus(ResolveDiskPath(name, flags), status) || status.isFolder)
        return false;
    identity.size = status.size;
    identity.writeTime = status.writeTime;
    return true;
}

bool SetFileWriteTime(const char* name, uint32_t flags, uint64_t writeTime)
{
    return name && plat::SetFileWriteTime(ResolveDiskPath(name, flags), writeTime);
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
    // Formatted relative to the base folder, which joins it only on disk.
    if (!FileNameIsAbsolute(pattern) && !BaseFolderOf(flags).disk.empty() && pattern[0] == '.' && pattern[1] == '/')
        pattern += 2;
    std::string candidate;
    for (int i = 0; i < kMaxUniqueNameAttempts; ++i) {
        // The pattern was checked to hold exactly one integer conversion.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        const int length = std::snprintf(nullptr, 0, pattern, i);
        candidate.assign(size_t(std::max(length, 0)) + 1, '\0');
        std::snprintf(candidate.data(), candidate.size(), pattern, i);
#pragma GCC diagnostic pop
        candidate.resize(size_t(std::max(length, 0)));
        if (plat::PathExists(ResolveDiskPath(candidate.c_str(), flags)))
            continue;
        if (candidate.size() + 1 > size)
            return false;
        std::memcpy(out, candidate.c_str(), candidate.size() + 1);
        return true;
    }
    return false;
}

bool FileExists(const char* name, uint32_t flags)
{
    CFile file;
    return file.Open(name, (flags & FILE_BASE_FOLDER_MASK) | FILE_NO_NOTIFY | FILE_READ);
}
