#pragma once
// A customer: the behaviour of one sprite on the playfield's "Customers"
// layer. It waits in line with its hearts and balloon, is answered, thinks,
// settles on an order, and is dragged onto a matching house, where it poses,
// walks home and lets the lot pay; one ignored too long leaves. It reads
// "Customer Options" and its own style sheet from "Customer.txt".
#include "foundation/CFPoint.h"
#include "game/scripting/CSpriteAI.h"

#include <cstdint>

class CBuildablePackage;
class CCodeTableList;
class CCustomerOptions;
class CCustomerStyleSheet;
class CFrameInterface;
class CLot;
class CMessage;
class CSprite;

class CCustomer : public CSpriteAI {
    OMBRISALT_REFLECTED(CCustomer, CSpriteAI)
public:
    enum EState : int32_t { kIdle = 0, kInVictoryPose = 1, kMovingIn = 2, kArrivedHome = 3 };

    CCustomer();
    // Deletes the order.
    ~CCustomer() override;

    void OnAddedToSprite(CSprite* sprite) override;
    void Update(CSpriteUpdateRecord& record) override;
    void PreDraw(CSpriteDrawRecord& record) override;
    void Draw(CSpriteDrawRecord& record) override;
    void HandleMessage(CMessage& message) override;

    virtual void DrawAngryFlash(CSpriteDrawRecord& record);
    virtual void DrawWantedItems(CSpriteDrawRecord& record);
    virtual void DrawHearts(CSpriteDrawRecord& record);
    // ceil(hearts) hearts from at, stepping by "Hearts/Offset Between
    // Hearts"; the last one cut to its fraction.
    virtual void DrawHeartRow(CFrameInterface& target, float hearts, CFPoint at);

    // Handled or not: an unhandled click reaches the layers below.
    bool OnClicked(bool isMouseUp, CFPoint point);
    void Arrive();
    void StartThinking();
    void DecideOrder();
    // The lot takes it: pose, then a sprite script's "MoveCustomerIn".
    void StartVictoryPose();
    void SetHome(CLot* lot, float x, float y);
    void PlayCantMoveInSound();
    void PlayNotWhatIOrderedSound();
    void ReleaseDrag();
    // True when the lot would take this customer now.
    bool NoteHoverOverLot(CLot* lot);
    void Leave();
    // Never lifts the hearts above the pacifier's maximum.
    void AddHearts(float hearts);
    // May be fractional or negative.
    float GetHeartsLeft() const;
    float GetMoveInBonus() const;
    bool IsWaitingToBeAnswered() const;
    bool IsDecidingOrder() const;
    void HighlightBriefly();
    // "Customer Style Sheet"; an index outside the list reads entry 0.
    CCustomerStyleSheet* GetStyleSheet() const;
    // Some active, unoccupied lot already holds a house with a part of the order.
    bool IsOrderAlreadyBuilt() const;
    // Whether the customer's own image (no balloon, hearts or highlight)
    // covers that playfield pixel.
    bool IsOpaqueAt(int32_t x, int32_t y);

    CBuildablePackage* GetPackageWanted() const { return m_PackageWanted; }
    int32_t GetState() const { return m_CustomerState; }
    CFPoint GetDestination() const { return m_Destination; }
    // Where "Moving In" walks to, the home lot kept.
    void SetDestination(CFPoint at) { m_Destination = at; }
    int32_t GetHomeColumn() const { return m_HomeColumn; }
    int32_t GetHomeRow() const { return m_HomeRow; }
    uint32_t GetHoverCounter() const { return m_HoverCounter; }
    uint32_t GetHighlightCountdown() const { return m_HighlightCountdown; }

    CBuildablePackage* m_PackageWanted = nullptr;    // "Package Wanted", owned; null until decided
    int32_t m_CustomerStyleSheet = 0;                // "Customer Style Sheet"; 0 none
    float m_TimeWaited = 0.0f;                       // "Time Waited", seconds
    float m_TimeLeftToDecideWhatToOrder = 0.0f;      // "Time Left To Decide What To Order"
    float m_SecondsOfBlinkingLeft = 0.0f;            // "Seconds Of Blinking Left"
    int32_t m_CustomerState = kIdle;                 // "Customer State"
    bool m_Highlighted = false;                      // "Highlighted"
    float m_SecondsUntilSelectionAllowed = 0.0f;     // "Seconds Until Selection Allowed"

private:
    // The steps of Update, by state.
    void UpdatePatience(CSprite& sprite, float seconds, const CCustomerOptions& options,
                        const CCustomerStyleSheet& style);
    void TakePlaceInLine(CSprite& sprite, float seconds, const CCustomerOptions& options);
    void UpdateThinking(CSprite& sprite, float seconds, const CCustomerOptions& options,
                        const CCustomerStyleSheet& style);
    void WalkHome(CSprite& sprite, float seconds, const CCustomerOptions& options);

    uint32_t m_HoverCounter = 0;       // updates
    int32_t m_HomeColumn = 0;          // the home lot's grid place
    int32_t m_HomeRow = 0;
    CFPoint m_Destination{0.0f, 0.0f};
    uint32_t m_HighlightCountdown = 0; // updates
};

// "Idle", "In Victory Pose", "Moving In", "Arrived Home".
CCodeTableList& GetCustomerStateList();

// The first customer of the sprite's AI chain, or null.
CCustomer* FindCustomer(CSprite* sprite);
// The same while the customer has not left (its sprite still shows).
CCustomer* FindWaitingCustomer(CSprite* sprite);
// The customer being dragged with the mouse, or null when the dragged AI is
// something else.
CCustomer* GetDraggedCustomer();
// The same, and the drag is released; null (the drag kept) for anything else.
CCustomer* TakeDraggedCustomer();
// A dragged customer goes back to its place; anything else dragged stays.
void DropDraggedCustomer();
// The customers of the "Customers" layer whose order holds the upgrade, or
// of the style, are highlighted briefly.
void HighlightCustomersWanting(int32_t upgrade);
void HighlightCustomersOfStyle(int32_t style);
// Both axes within d, bounds included.
bool IsPointWithinDistance(CFPoint a, CFPoint b, float d);

// The place in line the next waiting customer takes; the arrivals set it to
// 0 at the start of each frame.
uint32_t GetCustomerLinePosition();
void SetCustomerLinePosition(uint32_t position);
// On only while IsOpaqueAt draws a customer for its pixel test.
bool IsCustomerHitTestDrawing();
void SetCustomerHitTestDrawing(bool on);
