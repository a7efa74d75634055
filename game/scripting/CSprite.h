#pragma once
// CSprite: the game's actor. It shows one frame of a sequence at a float
// position, turned, scaled, tinted and faded, and carries two behaviours: a
// chain of code-written AIs (CSpriteAI.h) and a block of data-written script
// plug-ins (CSpritePlugIn.h). Layers keep sprites in CSpriteArrays, which own
// them, update them once per game step and draw them in three passes.
//
// Update order of one step: restart the plug-ins once; the AI chain (which
// may destroy the sprite: nothing of it is touched afterwards); motion unless
// kSpriteNoMotion; plug-ins unless the neighbourhood viewer is open.
//
// Drawing: an unturned, unscaled sprite lands on whole pixels (its position
// rounded), copied with its blit type or tinted; a turned or scaled one is
// resampled through its sprite-space proxy.
//
// A sprite marked for deletion lives to the end of its array's update pass.
// The destructor lets go of the held sprite and of the sprite being updated
// when they are this one, so neither is left dangling.
#include "blit/CColor.h"
#include "foundation/CArrayPOD.h"
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "foundation/CRect.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <vector>

class CBlitType;
class CFrame;
class CFrameInterface;
class CMessage;
class CPointPath;
class CSequence;
class CSpriteAI;
struct CSpriteDrawRecord;

// Bits of "Flags".
constexpr uint32_t kSpriteVisible = 1;
constexpr uint32_t kSpriteSolid = 2;
constexpr uint32_t kSpriteMarkedForDeletion = 4;
constexpr uint32_t kSpriteNoMotion = 8;
constexpr uint32_t kSpriteNoPlainDraw = 32;
// Alive and solid: flags AND kSpriteAliveMask == kSpriteVisible | kSpriteSolid.
constexpr uint32_t kSpriteAliveMask = 7;

// What FillMotionRecord hands to a caller that moves things along with a sprite.
struct CSpriteMotionRecord {
    CFPoint direction{0.0f, 0.0f};
    CFPoint velocity{0.0f, 0.0f};
    float factors[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

class CSprite : public CObject {
    OMBRISALT_REFLECTED(CSprite, CObject)
public:
    CSprite();
    ~CSprite() override;

    // A loaded or copied block is told its sprite, so that plug-ins of a sprite
    // saved after its restart (which is not repeated) still know it.
    void OnLoaded(CUntypedCObjectPointer* holder) override;
    bool ReadExtraBinary(CObjectStream& stream) override;
    void CopyFrom(CObject* other) override;

    // Draw passes; each draws through an offset-rotate-scale proxy of the
    // destination, so that hooks draw in sprite space.
    virtual void DrawImage(CFrameInterface& destination);
    virtual void PreDraw(CFrameInterface& destination);
    virtual void PostDraw(CFrameInterface& destination);
    virtual void DrawAllPasses(CFrameInterface& destination);
    // The current frame at the whole-pixel position plus (10, 10), unturned.
    virtual void DrawPlain(CFrameInterface& destination);
    virtual void NotifyAI(intptr_t value);
    // The current frame while visible, else null.
    virtual CFrame* GetDrawnFrame();
    virtual void Update();
    // The AI chain, then the plug-ins; both always run.
    virtual void HandleMessage(CMessage& message);
    virtual void FillMotionRecord(CSpriteMotionRecord& record);
    virtual void CopyVelocity(CSprite* other);
    virtual void ScaleAbout(float sx, float sy, const CFPoint& pivot, bool keepScale);
    virtual void SetScale(const CFPoint& scale);
    virtual void SetUniformScale(float scale);
    virtual CFPoint GetScale();
    // True for a sprite that is not solid, else the AI chain's answer.
    virtual bool QueryAI(intptr_t a, intptr_t b);
    virtual void GetBounds(CRect& out);
    virtual CFPoint* GetPositionRef();
    virtual bool IsNear(CSprite* other);
    virtual bool OverlapsSprite(CSprite* other);
    // The point path the AI chain supplies for hit tests, or null.
    virtual CPointPath* GetHitArea();
    // Parts: a derived sprite may draw and hit-test as several frames at
    // offsets; a plain sprite has one part, its current frame at (0, 0).
    virtual CFrame* GetPartFrame(uint32_t index);
    virtual CFrame* GetCurrentFrame();
    virtual uint32_t GetPartCount();
    virtual CFPoint GetPartOffset(uint32_t index);
    virtual bool PartHasFlags(uint32_t index, uint32_t mask);
    virtual void SetVisible(bool visible);
    virtual void SetNoPlainDraw(bool noPlainDraw);

    // Appends to the chain; the chain is deleted with the sprite.
    void AddAI(CSpriteAI* ai);
    // The first AI that is or derives from the class, or null.
    CSpriteAI* FindAI(const CClassInfo* info);
    CSpriteAI* GetAI() const { return m_AI; }
    // Appends to the plug-in block, which owns it, and restarts it.
    void AddPlugIn(CSpritePlugIn* plugIn);
    void RestartPlugIns();
    CSpritePlugInSimultaneous& GetPlugIns() { return m_PlugIns; }

    void MarkForDeletion() { m_Flags |= kSpriteMarkedForDeletion; }
    bool IsMarkedForDeletion() const { return (m_Flags & kSpriteMarkedForDeletion) != 0; }
    bool IsAliveAndSolid() const { return (m_Flags & kSpriteAliveMask) == (kSpriteVisible | kSpriteSolid); }
    bool IsVisible() const { return (m_Flags & kSpriteVisible) != 0; }
    uint32_t GetFlags() const { return m_Flags; }
    void SetFlags(uint32_t flags) { m_Flags = flags; }

    void SetPosition(float x, float y) { m_Position = {x, y}; }
    const CFPoint& GetPosition() const { return m_Position; }
    void SetVelocity(float x, float y) { m_Velocity = {x, y}; }
    const CFPoint& GetVelocity() const { return m_Velocity; }
    void SetAcceleration(float x, float y) { m_Acceleration = {x, y}; }
    const CFPoint& GetAcceleration() const { return m_Acceleration; }
    void SetAngle(float radians) { m_Angle = radians; }
    float GetAngle() const { return m_Angle; }

    void SetImageSequence(uint32_t index) { m_ImageSequence = int32_t(index); }
    uint32_t GetImageSequenceIndex() const { return m_ImageSequence > 0 ? uint32_t(m_ImageSequence) : 0; }
    // Null for index 0 or an index past the list.
    CSequence* GetImageSequence() const;
    // Also sets the frame index, the position rounded down.
    void SetFramePosition(float position);
    float GetFramePosition() const { return m_FramePosition; }
    uint32_t GetFrameIndex() const { return m_FrameIndex; }

    void SetHueStyle(int32_t index) { m_HueStyle = index; }
    int32_t GetHueStyle() const { return m_HueStyle; }
    // Alpha = fraction * 255 rounded to nearest; the tint stays.
    void SetOpacity(float fraction);
    void SetColor(const CColor& colour) { m_Color = colour; }
    const CColor& GetColor() const { return m_Color; }
    void SetBlitType(CBlitType* blitType) { m_BlitType = blitType; }
    CBlitType* GetBlitType() const { return m_BlitType; }
    void SetName(const CJString& name) { m_Name = name; }
    const CJString& GetName() const { return m_Name; }
    bool HasRestartBeenCalled() const { return m_RestartDone; }

    // Steps toward target, landing on it when it is nearer than step.
    void MoveToward(const CFPoint& target, float step);
    void RotateAbout(float angle, const CFPoint& pivot, bool keepAngle);
    // Position y less the sequence's "Image/Y-Sort".
    float GetSortY() const;

    // Screen point in the sprite's layer: the AI's hit area when there is
    // one, else the pixel drawn there by all three passes.
    bool HitTest(int32_t x, int32_t y);
    // The solid parts' own frame tests, the point taken into sprite space.
    bool HitTestFrames(int32_t x, int32_t y);
    // Pixel-exact overlap of this sprite's solid parts with frame placed at
    // (x, y) (its hot spot there).
    bool OverlapsFrame(CFrame& frame, int32_t x, int32_t y);

    // The sprite whose Update runs now (null between updates).
    static CSprite* GetSpriteBeingUpdated();

private:
    // Whether an AI or a plug-in may draw; the passes skip building their
    // sprite-space proxy when none can.
    bool HasDrawHooks();
    // PreDraw and PostDraw: the AI's pass, then the plug-ins', in sprite space.
    void DrawHookPass(CFrameInterface& destination, void (CSpriteAI::*aiPass)(CSpriteDrawRecord&),
                      void (CSpritePlugIn::*plugInPass)(CPlugInDrawRecord&));

    CSpriteAI* m_AI = nullptr;
    CBlitType* m_BlitType = nullptr;
    CFPoint m_Velocity{0.0f, 0.0f};
    CFPoint m_Acceleration{0.0f, 0.0f};
    CJString m_Name;
    bool m_RestartDone = false;
    float m_FramePosition = 0.0f;
    uint32_t m_FrameIndex = 0;
    CFPoint m_Position{0.0f, 0.0f};
    float m_Angle = 0.0f;
    CFPoint m_Scale{1.0f, 1.0f};
    CColor m_Color{255, 255, 255, 255};
    int32_t m_ImageSequence = 0; // sequence-list reference; 0 = none
    int32_t m_HueStyle = -1;
    uint32_t m_Flags = kSpriteVisible | kSpriteSolid;
    CSpritePlugInSimultaneous m_PlugIns;
};

// A growable array that owns its sprites. Its storage is that of an array
// property (blocks from ::operator new, capacity kept), so a layer reads and
// writes it as its "Sprites List".
class CSpriteArray : public CPropertyArray<CSprite*> {
public:
    CSpriteArray() = default;
    CSpriteArray(const CSpriteArray&) = delete;
    CSpriteArray& operator=(const CSpriteArray&) = delete;
    // Deletes every sprite, last first.
    virtual ~CSpriteArray();

    void Add(CSprite* sprite);
    void InsertAtFront(CSprite* sprite);
    // Takes the sprite out without deleting it; false when it is not held.
    bool Remove(CSprite* sprite);
    CSprite* GetAt(uint32_t index) const;
    CSprite* GetFirst() const { return count ? (*this)[0] : nullptr; }
    // Every sprite's Update, following the array when an update changes it,
    // then deletes the sprites marked for deletion.
    void Update();
    // Three whole passes, each from the last sprite to the first.
    void Draw(CFrameInterface& destination);
    // Every sprite in array order.
    virtual void BroadcastMessage(CMessage& message);

private:
    void Grow();
};

// Sprites held across calls that may delete sprites (a script action's
// targets while each one's handlers run). A watched sprite destroyed
// meanwhile becomes null in the list, and one marked for deletion since it
// was added reads as deleted too: either is skipped, never touched. Lists
// nest; each lives on its holder's stack.
class CWatchedSprites {
public:
    CWatchedSprites();
    ~CWatchedSprites();
    CWatchedSprites(const CWatchedSprites&) = delete;
    CWatchedSprites& operator=(const CWatchedSprites&) = delete;

    // Fill through this, then call Watch.
    CArrayPOD<CSprite*>& GetList() { return m_Sprites; }
    // Takes note of which sprites are already marked for deletion.
    void Watch();
    uint32_t GetCount() const { return m_Sprites.GetCount(); }
    // Null once destroyed or marked for deletion after Watch.
    CSprite* GetLive(uint32_t i) const;

private:
    friend class CSprite;
    void Forget(const CSprite* sprite);

    CArrayPOD<CSprite*> m_Sprites;
    std::vector<bool> m_MarkedBefore;
    CWatchedSprites* m_Outer;
};

// The one sprite the player may hold on the cursor.
void SetDraggedSprite(CSprite* sprite, const CFPoint& grabOffset);
// Grab offset = sprite position - mouse; null clears the hold and the offset.
void StartDraggingSprite(CSprite* sprite, int32_t mouseX, int32_t mouseY);
CSprite* GetDraggedSprite();
CSpriteAI* GetDraggedSpriteAI();
void ReleaseDraggedSpriteIfIs(CSprite* sprite);
void ClearDraggedSprite();
// Draws the held sprite's image at the mouse point (x, y) less the grab offset.
void DrawDraggedSprite(CFrameInterface& destination, int32_t x, int32_t y);
