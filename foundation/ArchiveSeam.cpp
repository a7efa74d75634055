#include "foundation/ArchiveSeam.h"

namespace {

CArchiveLayer*& CurrentLayer()
{
    static CArchiveLayer* layer = nullptr;
    return layer;
}

} // namespace

CArchiveLayer& GetArchiveLayer()
{
    // The default layer: nothing mounted.
    static CArchiveLayer noArchives;
    CArchiveLayer* layer = CurrentLayer();
    return layer ? *layer : noArchives;
}

CArchiveLayer* SetArchiveLayer(CArchiveLayer* layer)
{
    CArchiveLayer* previous = CurrentLayer();
    CurrentLayer() = layer;
    return previous;
}
