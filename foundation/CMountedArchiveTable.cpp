#include "foundation/CMountedArchiveTable.h"

#include "foundation/CJString.h"
#include "foundation/CStartupTextLog.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "foundation/TextEncoding.h"
#include "platform/Debug.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>

std::string CArchiveNode::GetPath() const
{
    std::string path;
    for (const CArchiveNode* node = this; node && node->parent; node = node->parent)
        path = path.empty() ? node->name : node->name + "/" + path;
    return path;
}

namespace {

// The layer the file layer asks once archives are mounted.
class CMountedArchiveLayer : public CArchiveLayer {
public:
    bool IsMounted() const override { return CMountedArchiveTable::Get().IsMounted(); }
    CFileBuf* OpenMember(const char* name, uint32_t flags) override
    {
        return CMountedArchiveTable::Get().OpenMember(name, flags);
    }
    CFileBuf* OpenAppendedMember(const char* archivePath, const char* memberName) override
    {
        auto* buffer = new CFileAppendedToZipArchiveFileBuf;
        if (!buffer->Open(archivePath, memberName)) {
            delete buffer;
            return nullptr;
        }
        return buffer;
    }
    bool Contains(const char* name) override { return CMountedArchiveTable::Get().Contains(name); }
    bool IsWritable(const char* name, bool& writable) override
    {
        return CMountedArchiveTable::Get().IsWritable(name, writable);
    }
    bool IsNewer(const char* nameA, const char* nameB) override
    {
        return CMountedArchiveTable::Get().IsNewer(nameA, nameB);
    }
    bool GetArchivePath(const char* name, CJString& path) override
    {
        return CMountedArchiveTable::Get().GetArchivePath(name, path);
    }
};

CArchiveNode* FindChild(CArchiveNode& node, const char* name, size_t length)
{
    for (auto& child : node.children)
        if (child->name.size() == length && StartsWithNoCase(child->name.c_str(), name, length))
            return child.get();
    return nullptr;
}

} // namespace

CArchiveLayer& GetMountedArchiveLayer()
{
    static CMountedArchiveLayer layer;
    return layer;
}

CMountedArchiveTable& CMountedArchiveTable::Get()
{
    static CMountedArchiveTable table;
    return table;
}

bool CMountedArchiveTable::Mount(const char* path, MountRoot root, ArchiveAccess access, const char* mountPoint,
                                 MountLoading loading, uint32_t flags)
{
    std::unique_ptr<CArchiveNode> newRoot;
    CArchiveNode* node = nullptr;
    if (root == MountRoot::New || m_Roots.empty()) {
        newRoot = std::make_unique<CArchiveNode>();
        node = newRoot.get();
    } else {
        node = m_Roots.back().get();
    }
    if (!mountPoint)
        mountPoint = "/";
    // Each "/"-terminated component is a tree level; "/" is the node itself.
    std::vector<CArchiveNode*> created;
    for (const char* start = mountPoint; *start;) {
        const char* slash = std::strchr(start, '/');
        if (!slash)
            break;
        const size_t length = size_t(slash - start);
        if (length > 0) {
            CArchiveNode* child = FindChild(*node, start, length);
            if (!child) {
                auto made = std::make_unique<CArchiveNode>();
                made->parent = node;
                made->name.assign(start, length);
                child = made.get();
                node->children.push_back(std::move(made));
                created.push_back(child);
            }
            node = child;
        }
        start = slash + 1;
    }
    auto archive = std::make_unique<CZipArchive>(path, mountPoint, flags, access);
    if (loading == MountLoading::Now) {
        archive->SetKeepOpen(true);
        if (!archive->Load()) {
            plat::DebugOutput("Not mounted: " + archive->GetLoadError() + "\n");
            // Take back the nodes made for the failed mount, deepest first.
            for (auto it = created.rbegin(); it != created.rend(); ++it) {
                CArchiveNode* parent = (*it)->parent;
                auto& siblings = parent->children;
                siblings.erase(
                    std::remove_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == *it; }),
                    siblings.end());
            }
            return false;
        }
    }
    // A second archive on one node replaces the first.
    node->archive = std::move(archive);
    if (newRoot)
        m_Roots.push_back(std::move(newRoot));
    m_Mounted = true;
    return true;
}

void CMountedArchiveTable::UnmountAll()
{
    m_Roots.clear();
    m_Mounted = false;
}

CZipArchive* CMountedArchiveTable::ArchiveForName(CArchiveNode& root, const char* name)
{
    CArchiveNode* node = &root;
    CZipArchive* found = root.archive.get();
    for (const char* start = name; *start;) {
        const char* slash = std::strchr(start, '/');
        if (!slash)
            break;
        node = FindChild(*node, start, size_t(slash - start));
        if (!node)
            break;
        if (node->archive)
            found = node->archive.get();
        start = slash + 1;
    }
    return found;
}

CFileBuf* CMountedArchiveTable::OpenMember(const char* name, uint32_t flags)
{
    if (!name)
        return nullptr;
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name))
            if (CFileBuf* buffer = archive->OpenMember(name, flags))
                return buffer;
    }
    return nullptr;
}

bool CMountedArchiveTable::Contains(const char* name)
{
    if (!name)
        return false;
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name)) {
            archive->EnsureLoaded();
            if (archive->Find(name))
                return true;
        }
    }
    return false;
}

bool CMountedArchiveTable::IsWritable(const char* name, bool& writable)
{
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name)) {
            archive->EnsureLoaded();
            if (!archive->Find(name))
                return false;
            writable = archive->IsWritable() && IsFileWritable(archive->GetPath().c_str(), archive->GetFlags());
            return true;
        }
    }
    return false;
}

bool CMountedArchiveTable::IsNewer(const char* nameA, const char* nameB)
{
    for (size_t i = m_Roots.size(); i-- > 0;) {
        CZipArchive* archive = ArchiveForName(*m_Roots[i], nameA);
        if (archive && !archive->GetMountPoint().empty())
            return IsNewerFile(archive->GetPath().c_str(), nameB);
    }
    return false;
}

bool CMountedArchiveTable::GetArchivePath(const char* name, CJString& path)
{
    for (size_t i = m_Roots.size(); i-- > 0;) {
        if (CZipArchive* archive = ArchiveForName(*m_Roots[i], name)) {
            archive->EnsureLoaded();
            if (archive->Find(name)) {
                path.Set(archive->GetPath().c_str());
                return true;
            }
        }
    }
    return false;
}

// --- MountArchives ---

namespace {

constexpr uint32_t kMaxProgramArchives = 200;
constexpr uint32_t kProgramArchiveNameWidth = 80;

bool MountProgramArchive(const char* path)
{
    return CMountedArchiveTable::Get().Mount(path, MountRoot::New, ArchiveAccess::ReadOnly, "/", MountLoading::Now,
                                             FILE_USER_FOLDER);
}

} // namespace

void MountArchives(const char* name, ProgramArchives programs, DataZips dataZips)
{
    CMountedArchiveTable& table = CMountedArchiveTable::Get();
    if (table.IsMounted())
        FatalDataError("FATAL ERROR IN ZIP", "The archives are already mounted.");
    SetFileOpenNotificationsEnabled(programs == ProgramArchives::Mount);
    bool mounted = false;
    if (programs == ProgramArchives::Mount) {
        SetDataFolder(".");
        CEnumerateFilesOptions options;
        options.SetFilesWithExtension("", "QVX");
        options.SetRecurse(2);
        options.namesOnly = 1;
        std::vector<char> names(kMaxProgramArchives * kProgramArchiveNameWidth, 0);
        const uint32_t count = EnumerateFilesToStaticArray(options, names.data(), nullptr, kProgramArchiveNameWidth,
                                                           kMaxProgramArchives, FILE_USER_FOLDER);
        std::vector<const char*> sorted;
        for (uint32_t i = 0; i < count; ++i)
            sorted.push_back(&names[i * kProgramArchiveNameWidth]);
        std::sort(sorted.begin(), sorted.end(),
                  [](const char* a, const char* b) { return CompareNameNoCase(a, b) < 0; });

        const std::string module = EngineNameOfDiskPath(plat::GetProgramPath());
        if (!module.empty())
            mounted = MountProgramArchive(module.c_str()) || MountProgramArchive((module + ".ZIP").c_str())
                || MountProgramArchive((module + ".DAT").c_str());
        for (const char* archive : sorted)
            mounted = MountProgramArchive(archive) || mounted;
    }
    (void)mounted;
    SetDataFolder(DiskNameOf(name).c_str());
    if (dataZips == DataZips::Skip)
        return;
    CStartupTextLog& log = CStartupTextLog::Instance();
    log.Print("Enumerating Zip Files", LogLineEnd::EndLine, 0);
    CFileNameArray zips;
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("", "zip");
    options.SetRecurse(1);
    zips.Enumerate(options, 0);
    if (zips.GetCount() == 0) {
        log.Print("No zip files found", LogLineEnd::EndLine, 0);
        return;
    }
    log.Print("Opening Zip Files and Retrieving File Lists", LogLineEnd::EndLine, 0);
    for (int32_t i = 0; i < zips.GetCount(); ++i) {
        const char* zip = zips.GetItemName(i);
        const size_t length = std::strlen(zip);
        if (length <= 4)
            continue;
        const std::string mountPoint = std::string(zip, length - 4) + "/";
        table.Mount(zip, i == 0 ? MountRoot::New : MountRoot::Last, ArchiveAccess::Writable, mountPoint.c_str(),
                    MountLoading::Deferred, 0);
    }
    log.Print("Done Opening Zip Files and Retrieving File Lists", LogLineEnd::EndLine, 0);
}

// --- Enumeration ---

void CMountedArchiveTable::Enumerate(CEnumerateFilesCallback& callback, const CEnumerateFilesOptions& options)
{
    const char* folder = options.folder ? options.folder : "";
    for (size_t r = m_Roots.size(); r-- > 0;) {
        CArchiveNode* node = m_Roots[r].get();
        CArchiveNode* withArchive = node->archive ? node : nullptr;
        for (const char* start = folder; *start;) {
            const char* slash = std::strchr(start, '/');
            if (!slash)
                break;
            CArchiveNode* child = FindChild(*node, start, size_t(slash - start));
            if (!child)
                break;
            node = child;
            if (node->archive)
                withArchive = node;
            start = slash + 1;
        }
        EnumerateNode(withArchive ? *withArchive : *node, callback, options);
    }
}

void CMountedArchiveTable::EnumerateNode(CArchiveNode& node, CEnumerateFilesCallback& callback,
                                         const CEnumerateFilesOptions& options)
{
    const char* folder = options.folder ? options.folder : "";
    const size_t folderLength = std::strlen(folder);
    const size_t prefixLength = std::strlen(options.prefix ? options.prefix : "");
    std::string nodePath = node.GetPath();
    if (!nodePath.empty())
        nodePath += "/";
    for (auto& child : node.children) {
        const std::string childPath = nodePath + child->name + "/";
        if (childPath.size() <= folderLength) {
            // Still above the folder: follow only the way down to it.
            if (StartsWithNoCase(folder, childPath.c_str(), childPath.size()))
                EnumerateNode(*child, callback, options);
            continue;
        }
        if (!StartsWithNoCase(childPath.c_str(), folder, folderLength))
            continue;
        if (options.folders == 1 && StartsWithNoCase(child->name.c_str(), options.prefix, prefixLength)) {
            const std::string reported = options.namesOnly ? child->name : childPath.substr(0, childPath.size() - 1);
            if (!callback.HasEntry(reported.c_str()))
                callback.AddEntry(reported.c_str(), CEnumerateFilesInfo());
        }
        if (options.recursion == 0 || (options.recursion == 1 && child->name[0] != '-'))
            EnumerateNode(*child, callback, options);
    }
    if (node.archive)
        node.archive->Enumerate(callback, options);
}
