#pragma once
// The records a sequence cache keeps beside its atlas: where each frame lies
// in the atlas and how the sequence was built. Written and read only as
// object text inside the cache's compressed block.

#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CFrameInfo : public CObject {
    OMBRISALT_REFLECTED(CFrameInfo, CObject)
public:
    CFrameInfo();
    ~CFrameInfo() override;

    // The frame's rectangle in the atlas, right and bottom exclusive.
    int32_t m_Left = 0;
    int32_t m_Top = 0;
    int32_t m_Right = 0;
    int32_t m_Bottom = 0;
    // The frame's upper-left offset from its hot spot.
    int32_t m_UpperLeftXOffset = 0;
    int32_t m_UpperLeftYOffset = 0;
};

class CSequenceFrameInfoList : public CObject {
    OMBRISALT_REFLECTED(CSequenceFrameInfoList, CObject)
public:
    CSequenceFrameInfoList();
    ~CSequenceFrameInfoList() override;

    // "BlitType" (the key of old caches) gives the index; other unknown keys
    // are dropped.
    void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream) override;

    // Appends an entry the list then owns; null stands for a frame that
    // could not be read.
    void Append(CFrameInfo* info);
    uint32_t GetCount() const { return m_ChildList.GetCount(); }
    CFrameInfo* GetAt(uint32_t i) const { return m_ChildList[i]; }

    CPropertyArray<CFrameInfo*> m_ChildList; // owned, entries may be null
    bool m_WasRLE = false;
    uint32_t m_Flags = 0;
    int32_t m_BlitType = 0;
    float m_FPS = 0.0f;
};
