#pragma once
// The calls the file layer makes into the mounted archives. The layer in use
// is the mounted-archive table (CZipArchive.h), which answers "no archives
// mounted" until archives are mounted; appending a member to an archive file
// works without mounts. Tests install fakes to check the look-up order.

#include "foundation/CJString.h"

#include <cstdint>

class CFileBuf;

class CArchiveLayer {
public:
    virtual ~CArchiveLayer() = default;

    // Whether any archive is mounted; when false nothing below is asked.
    virtual bool IsMounted() const { return false; }
    // A buffer for the member of that name, or null. With FILE_PREENUMERATED
    // in the flags only members an enumeration listed count; with
    // FILE_CREATE the member is rewritten from empty.
    virtual CFileBuf* OpenMember(const char* /*name*/, uint32_t /*flags*/) { return nullptr; }
    // A buffer adding a new member at the end of an archive file ("archive
    // path;member name" opened with FILE_WRITE and FILE_CREATE), or null.
    virtual CFileBuf* OpenAppendedMember(const char* /*archivePath*/, const char* /*memberName*/) { return nullptr; }
    virtual bool Contains(const char* /*name*/) { return false; }
    // True when an archive covering the name holds it; writable then says
    // whether the member may be rewritten.
    virtual bool IsWritable(const char* /*name*/, bool& /*writable*/) { return false; }
    // Whether the archive file holding nameA is newer than nameB.
    virtual bool IsNewer(const char* /*nameA*/, const char* /*nameB*/) { return false; }
    // The archive file of the most recent mount holding the name; false if none.
    virtual bool GetArchivePath(const char* /*name*/, CJString& /*path*/) { return false; }
};

// The layer in use (never null); Set returns the previous one. Null restores
// the default. The caller keeps ownership of the layer it installs.
CArchiveLayer& GetArchiveLayer();
CArchiveLayer* SetArchiveLayer(CArchiveLayer* layer);
