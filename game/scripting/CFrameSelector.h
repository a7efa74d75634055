#pragma once
// Frame selectors: what a property that may hold a still image or an
// animation draws at each moment. The owner keeps one in an owned-object
// property, advances it with elapsed time and asks it for the frame.
//
// The animated selectors keep their running position in "Start Frame" (and
// the ping-pong its direction in the sign of "Speed"), so a saved object
// stores where it was. A sequence without frames selects no frame.
#include "foundation/UpwardHook.h"
#include "objects/CObject.h"

#include <cstdint>

class CFrame;
class CFrameInterface;
class CSequence;

// What Update is given and what it reports.
struct CSelectorUpdate {
    float seconds = 0.0f;
    bool wrapped = false; // set when the animation passed an end
};

// Whether the level editor is open: loops then follow the wall clock, so
// animations move in the editor whatever the selector's state. Empty: never.
using LevelEditorOpenQuery = bool (*)();
LevelEditorOpenQuery SetLevelEditorOpenQuery(LevelEditorOpenQuery query);
OMBRISALT_UPWARD_HOOK(SetLevelEditorOpenQuery);

class CFrameSelector : public CObject {
    OMBRISALT_REFLECTED(CFrameSelector, CObject)
public:
    CFrameSelector();
    ~CFrameSelector() override;

    // The frame to draw now, or null; argument is the owner's, passed through.
    virtual CFrame* SelectFrame(intptr_t argument) = 0;
    // Draws SelectFrame's frame, when there is one, with its hot spot at (x, y).
    virtual void Draw(CFrameInterface& destination, int32_t x, int32_t y, intptr_t argument);
    // The name of the list item referred to.
    virtual void GetImageName(CJString& out) = 0;
    virtual void SetImageByName(const char* name) = 0;
    // Advances animated selectors; the others ignore it.
    virtual void Update(CSelectorUpdate&) {}
};

class CFrameSelectorFromSequence : public CFrameSelector {
    OMBRISALT_REFLECTED(CFrameSelectorFromSequence, CFrameSelector)
public:
    CFrameSelectorFromSequence();
    ~CFrameSelectorFromSequence() override;

    void GetImageName(CJString& out) override;
    void SetImageByName(const char* name) override;
    // A still selector's image is taken over, so a change of selector class keeps
    // it.
    void CopyFrom(CObject* other) override;
    CSequence* GetSequence();

    int32_t m_Image = 0; // sequence-list reference
};

class CNonAnimatedFrameSelector : public CFrameSelector {
    OMBRISALT_REFLECTED(CNonAnimatedFrameSelector, CFrameSelector)
public:
    CNonAnimatedFrameSelector();
    ~CNonAnimatedFrameSelector() override;
};

class CLoopFrameSelector : public CFrameSelectorFromSequence {
    OMBRISALT_REFLECTED(CLoopFrameSelector, CFrameSelectorFromSequence)
public:
    CLoopFrameSelector();
    ~CLoopFrameSelector() override;

    CFrame* SelectFrame(intptr_t argument) override;
    void Update(CSelectorUpdate& record) override;

    float m_Speed = 0.0f;
    float m_StartFrame = 0.0f; // the running position
};

class CPingPongFrameSelector : public CFrameSelectorFromSequence {
    OMBRISALT_REFLECTED(CPingPongFrameSelector, CFrameSelectorFromSequence)
public:
    CPingPongFrameSelector();
    ~CPingPongFrameSelector() override;

    CFrame* SelectFrame(intptr_t argument) override;
    void Update(CSelectorUpdate& record) override;

    float m_Speed = 0.0f;      // its sign is the direction
    float m_StartFrame = 0.0f; // the running position
    float m_EaseInOut = 0.0f;  // percent of the time spent accelerating and decelerating
};

class CFrameFrameSelector : public CNonAnimatedFrameSelector {
    OMBRISALT_REFLECTED(CFrameFrameSelector, CNonAnimatedFrameSelector)
public:
    CFrameFrameSelector();
    ~CFrameFrameSelector() override;

    CFrame* SelectFrame(intptr_t argument) override;
    void GetImageName(CJString& out) override;
    void SetImageByName(const char* name) override;

    int32_t m_Frame = 0; // frame-library reference
};

// One frame of a sequence; past the end, the last.
class CStillFrameSelector : public CNonAnimatedFrameSelector {
    OMBRISALT_REFLECTED(CStillFrameSelector, CNonAnimatedFrameSelector)
public:
    CStillFrameSelector();
    ~CStillFrameSelector() override;

    CFrame* SelectFrame(intptr_t argument) override;
    void GetImageName(CJString& out) override;
    void SetImageByName(const char* name) override;
    // A sequence-based selector's image is taken over.
    void CopyFrom(CObject* other) override;
    CSequence* GetSequence();

    int32_t m_Image = 0; // sequence-list reference
    uint32_t m_Frame = 0;
};
