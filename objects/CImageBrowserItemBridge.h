#pragma once
// What a thumbnail knows of one list entry: the list (for the entry's name)
// and its index, and how to draw, measure, animate and click its image.
// Asset types derive their own; the browser and previews use only these
// operations. Bounds are relative to the image origin.

#include "foundation/CPoint.h"
#include "foundation/CRect.h"
#include "foundation/CMemoryPool.h"

#include <cstdint>
#include <memory>

class CFrameInterface;
class CVirtualArray;

class CImageBrowserItemBridge : public CPooledClassBase {
public:
    CImageBrowserItemBridge(CVirtualArray* list, uint32_t index)
        : m_List(list)
        , m_Index(index)
    {
    }
    CImageBrowserItemBridge(const CImageBrowserItemBridge&) = delete;
    CImageBrowserItemBridge& operator=(const CImageBrowserItemBridge&) = delete;
    virtual ~CImageBrowserItemBridge() = default;

    virtual void Draw(CFrameInterface& target, CPoint point);
    virtual void Update(float seconds);
    virtual bool Click(uint32_t button, CPoint point);
    virtual void GetBounds(CRect& out);

    CVirtualArray* GetList() const { return m_List; }
    uint32_t GetIndex() const { return m_Index; }

private:
    CVirtualArray* m_List;
    uint32_t m_Index;
};

// Makes the bridge of entry index of list; what a browsable list hands the
// browser through the list registry.
using ImageBrowserItemFactory = std::unique_ptr<CImageBrowserItemBridge> (*)(CVirtualArray* list, uint32_t index);
