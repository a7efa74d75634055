#pragma once
// The mount tree: archives hang at mount points below one or more roots; the
// archive of the deepest node along a name's folder is the one asked, and
// later roots are asked before earlier ones.

#include "foundation/ArchiveSeam.h"
#include "foundation/CZipArchive.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CJString;
class CEnumerateFilesCallback;
struct CEnumerateFilesOptions;

struct CArchiveNode {
    CArchiveNode* parent = nullptr;
    std::string name; // one path component; "" for a root
    std::vector<std::unique_ptr<CArchiveNode>> children;
    std::unique_ptr<CZipArchive> archive;

    std::string GetPath() const; // components joined by "/", no trailing "/"
};

enum class MountRoot { New, Last };        // a new root, or the last one made
enum class MountLoading { Now, Deferred }; // a deferred archive is read at first use

class CMountedArchiveTable {
public:
    static CMountedArchiveTable& Get();

    bool Mount(const char* path, MountRoot root, ArchiveAccess access, const char* mountPoint, MountLoading loading,
               uint32_t flags);
    void UnmountAll();
    bool IsMounted() const { return m_Mounted; }

    CFileBuf* OpenMember(const char* name, uint32_t flags);
    bool Contains(const char* name);
    bool IsWritable(const char* name, bool& writable);
    bool IsNewer(const char* nameA, const char* nameB);
    bool GetArchivePath(const char* name, CJString& path);
    void Enumerate(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options);

    uint32_t GetRootCount() const { return uint32_t(m_Roots.size()); }
    CArchiveNode* GetRoot(uint32_t i) { return m_Roots[i].get(); }
    // The archive of the deepest node along the name's folder part.
    static CZipArchive* ArchiveForName(CArchiveNode& root, const char* name);

private:
    CMountedArchiveTable() = default;
    void EnumerateNode(CArchiveNode& node, CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options);

    std::vector<std::unique_ptr<CArchiveNode>> m_Roots;
    bool m_Mounted = false;
};

enum class ProgramArchives { Mount, Skip }; // the program file, "<program>.ZIP"/".DAT" and "*.QVX"
enum class DataZips { Mount, Skip };        // every zip below the data folder

// Mounts the program's archives and every zip under the data folder (name).
// Called once at start; a second call while mounted is fatal.
void MountArchives(const char* name, ProgramArchives programs, DataZips zips);

// The archive layer of the file layer over this table (ArchiveSeam.h).
CArchiveLayer& GetMountedArchiveLayer();
