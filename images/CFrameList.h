#pragma once
// Frame lists: a folder of source images ("TGA,RLA,PNG", case-blind) seen as
// a sorted list of frames built on first use, each with the list's filter
// chain. A folder without source images lists its cached frames instead, so
// a game shipped without sources still finds every frame. The frame library
// is the global list of stand-alone frames that objects pick frames from by
// name.

#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "objects/CObjectFileArray.h"

class CClassInfo;

class CFrameList : public CObjectArrayBaseTemplate<CFrame, CFrame> {
public:
    // Frames the list makes are of frameClass (CFrame when null).
    explicit CFrameList(CClassInfo* frameClass);
    ~CFrameList() override;

    // Copies the filters of chain; the list builds with them from now on.
    void SetFilters(const CFrameFilter& chain);
    const CFrameFilter& GetFilters() const { return m_Filters; }

    // The item's frame, built from folder/fileName with a copy of the list's
    // chain (the default chain copied once, when none was set).
    CObject* LoadObject(const CJString& folder, const CJString& fileName, CObject** slot) override;
    const char* GetCacheEnding() override;
    // "<folder>/<item>.txt" for a frame of the list.
    bool GetObjectFileName(const CObject* object, CJString& name) override;
    ImageBrowserItemFactory GetItemFactory() override;
    // A new frame is its object file, "<name>.txt" beside the images (the
    // file LoadObject reads), never a file under an image ending.
    CNewFileOptions* GetNewFileOptions() override;
    // The scan lists a frame by its picture, so a new frame gets one beside
    // its object file: a copy of the template item's picture, or a blank
    // one. -1, and nothing left on disk, when there is no picture to copy or
    // a picture of the name is there already.
    int32_t AddItemFromNewFileOptions(CNewFileOptions& options) override;

private:
    CFrameFilter m_Filters;
    CClassInfo* m_pFrameClass;
    bool m_bFiltersSet = false;
};

// The frame library and the second global list, both of CStandAloneFrame
// objects; their folders are set by the game at start-up.
CFrameList& GetFrameLibrary();
CFrameList& GetSecondFrameLibrary();
