#pragma once
// Sequence lists: the animations of one folder, each entry a sub-folder
// named "-" and the sequence name ("Actors/-Walk" is the entry Walk, its
// settings in "Actors/-Walk/Properties.txt"); other sub-folders are no
// entries. A folder without such sub-folders lists the cache files
// "Cache/<folder>/<name>.Sequence" instead, so a game shipped with its caches
// only still finds every sequence.
//
// The list keeps one filter chain, filled from the default sequence chain on
// its first load; every sequence loads with a copy of it, so what one
// sequence's settings change never reaches the next.

#include "foundation/CFPoint.h"
#include "images/CFrameFilter.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequence.h"

#include <cstdint>

class CSequenceList : public CObjectArrayBaseTemplate<CSequence, CSequence> {
public:
    CSequenceList();
    ~CSequenceList() override;

    CObject* LoadObject(const CJString& folder, const CJString& fileName, CObject** slot) override;
    bool EnumeratesFolders() override { return true; }
    // The ending every cache file is written with.
    const char* GetCacheEnding() override { return "Sequence"; }
    void AdjustSearch(CEnumerateFilesOptions& options) override;
    // "<folder>/-<name>/Properties.txt".
    bool GetObjectFileName(const CObject* object, CJString& name) override;
    ImageBrowserItemFactory GetItemFactory() override;

    const CFrameFilter& GetFilters() const { return m_Filters; }
    // Fetches every entry once, in order.
    void LoadAllEntries();

private:
    CFrameFilter m_Filters;
    bool m_bFiltersFilled = false;
};

// The game's one sequence list; its folder is set at start-up.
CSequenceList& GetSequenceList();
// Lets sequences answer for their files (see ObjectFileCallbacks.h): the
// game list's sequences name their "Properties.txt", and a sequence is saved
// with its cache kept in step (CSequence::SaveSettings).
void RegisterSequenceFileCallbacks();

// Per-frame points of a sequence (where a hand or an attachment sits),
// relative to each frame's hot spot.
class CSequenceOfCoordinates : public CObject {
    OMBRISALT_REFLECTED(CSequenceOfCoordinates, CObject)
public:
    CSequenceOfCoordinates();
    ~CSequenceOfCoordinates() override;

    CPropertyArray<CFPoint> m_Coordinates;
};

// The sequence's points, made (at defaults) and attached on first request.
CSequenceOfCoordinates* GetSequenceCoordinates(CSequence& sequence);
// Whether the sequence holds a value of its "Sequence of Coordinates" property.
bool HasSequenceCoordinatesProperty(const CSequence& sequence);

// "Sequence of Coordinates" and "Image/Y-Sort", given to CSequence at start-up.
void AttachSequenceDynamicProperties();

// A 24-bit frame as a BMP file (bottom-up rows, each padded to 4 bytes),
// written whole or not at all.
bool WriteBmpFile(const char* path, const CFrame& frame24);
