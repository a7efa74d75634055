#include "foundation/ArchiveSeam.h"

#include "foundation/CMountedArchiveTable.h"

namespace {

CArchiveLayer*& CurrentLayer()
{
    static CArchiveLayer* layer = nullptr;
    return layer;
}

} // namespace

CArchiveLayer& GetArchiveLayer()
{
    // The default layer is the mounted-archive table; it answers "nothing
    // mounted" until MountArchives (or a Mount) succeeds.
    CArchiveLayer* layer = CurrentLayer();
    return layer ? *layer : GetMountedArchiveLayer();
}

CArchiveLayer* SetArchiveLayer(CArchiveLayer* layer)
{
    CArchiveLayer* previous = CurrentLayer();
    CurrentLayer() = layer;
    return previous;
}
