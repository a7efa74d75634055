#pragma once
// The level editor's selection as an object: one entry per selected object
// with the name of the layer whose sprite list holds it, in the order of
// selecting. Being reflected, a selection is what the editor copies to the
// clipboard and what the scrap book keeps.
//
// An entry owns its object the way every owned-object property does: written
// whole, read back whole, destroyed with the entry. A selection made over
// the level's own sprites must therefore null each entry's object before it
// destroys the entries; a selection read from the clipboard or a file owns
// its copies and frees them.

#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CSelectedObjectInfo : public CObject {
    OMBRISALT_REFLECTED(CSelectedObjectInfo, CObject)
public:
    CSelectedObjectInfo();
    ~CSelectedObjectInfo() override;

    CObject* m_pSelectedObject = nullptr;
    CJString m_LayerObjectIsOn;
};

class CSelectedObjects : public CObject {
    OMBRISALT_REFLECTED(CSelectedObjects, CObject)
public:
    CSelectedObjects();
    ~CSelectedObjects() override;

    // Empty: the base description. Else the count and " Objects: " for more
    // than one, the first object's comment in double quotes and a blank when
    // it has one, the first object's description, and "..." for more than one.
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    uint32_t GetCount() const { return m_pSelectedObjectsArray.GetCount(); }
    // Null for an index past the end.
    CSelectedObjectInfo* GetEntry(uint32_t index) const;
    // The entry's object; null for an index past the end.
    CObject* GetObject(uint32_t index) const;
    // Appends an entry; the entry takes the object.
    CSelectedObjectInfo* Append(CObject* object, const CJString& layerName);

    CPropertyArray<CSelectedObjectInfo*> m_pSelectedObjectsArray;
};
