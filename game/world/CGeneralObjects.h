#pragma once
// The general objects list: every named tuning object of the game ("Rules",
// "Levels", "Lot Options"...) is one entry of this list, each of its own
// class, loaded the first time it is fetched. Code reaches its options by
// name through GetGeneralObject; a name the data lacks ends the program
// with the list's missing-item report at that first fetch, never at
// start-up. Fetches keep no cache: each one searches again, and the list
// hands back the object it loaded the first time.
//
// The song list (music files that periods and rules refer to by index) is
// kept here too: one process-wide file list, built empty.
#include "game/world/ListReferences.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"

class CSoundFileList;

class CGeneralObjectsList : public CObjectArrayBaseTemplate<CObject> {
public:
    CGeneralObjectsList();

    // A level set read notes itself as its file's.
    CObject* LoadObject(const CJString& folder, const CJString& fileName, CObject** slot) override;
};

// Built empty on first use, destroyed at process exit.
CGeneralObjectsList& GetGeneralObjects();

// A reference of the game's data objects into one of the game's lists: the
// empty name reads as its default, and a default the data set lacks leaves
// it at -1 (none) rather than stopping the game when an object is made. Any
// other name the list lacks is the list's missing-item report.
class CDataReferenceProperty : public CNoneableListProperty {
public:
    using CNoneableListProperty::CNoneableListProperty;
    void SetToDefault(CObject* object) const override { Value(object) = GetDefaultIndex(); }
};

// Points the list at "Resources" under the name "General Objects" and fills
// the song list from "Music/" (the game object does this once at start-up).
void InitGeneralObjects();

// The object of that name, loaded on first use. A missing name is the fatal
// missing-item report; an object that is not a required (null: any class)
// is the fatal invalid-class report, so a caller never gets null.
CObject* GetGeneralObject(const char* name, CClassInfo* required = nullptr);

template <typename T>
T& GetGeneralObjectAs(const char* name)
{
    return *static_cast<T*>(GetGeneralObject(name, T::SGetClassInfo()));
}

// Built empty on first use, destroyed at process exit.
CSoundFileList& GetSongList();
