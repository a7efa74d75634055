#pragma once
// The registry of named blit types. Data files store a blit type by its index
// here, so the seven names are registered in one function, in this fixed
// order, when the list is first used (never by static initialisation):
//   0 "Transparent Mask", 1 "Blend Black Bias", 2 "Blend Test Light",
//   3 "Blit As Shadow", 4 "Normal", 5 "Blend Amplify Light", 6 "Normal Scale".
// The list owns the blit type objects; they live until process exit.

#include "foundation/CVirtualArray.h"

#include <memory>
#include <vector>

class CBlitType;

class CBlitTypeList : public CSimpleVirtualArray {
public:
    static CBlitTypeList& SGetInstance();

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Entries.size()); }

    // Appends a named type (the list takes it) and returns its index.
    int32_t Add(const char* name, std::unique_ptr<CBlitType> type);
    using CSimpleVirtualArray::Add; // a name alone is refused
    // Null for an index outside the list (indices come from data files).
    CBlitType* GetBlitType(int32_t index) const;
    // Index of a registered object; -1 when absent.
    int32_t FindValue(const CBlitType* type) const;

private:
    CBlitTypeList();

    struct Entry {
        CJString name;
        std::unique_ptr<CBlitType> type;
    };
    std::vector<Entry> m_Entries;
};

// The registered instances code refers to directly.
CBlitType& GetTransparentMaskBlitType();
CBlitType& GetBlackBiasBlitType();
CBlitType& GetNormalBlitType();
