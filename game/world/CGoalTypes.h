#pragma once
// The goal kinds a designer puts into a level beside the revenue goal. Hearts
// of a customer count as its hearts left rounded up.
#include "foundation/CPoint.h"
#include "game/world/CGoal.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CLot;

// Every lot filled, each resident with at least the hearts; fails when any
// customer leaves, but may still be achieved afterwards.
class CEveryHeartGoal : public CGoal {
    OMBRISALT_REFLECTED(CEveryHeartGoal, CGoal)
public:
    CEveryHeartGoal();
    ~CEveryHeartGoal() override;

    void Draw(CGoalLayout& layout) override;
    void HandleMessage(CMessage& message) override;

    int32_t m_HeartsRequired = 3;
};

// A run of lots built alike with the part now in the slot.
class CXInARowGoal : public CGoal {
    OMBRISALT_REFLECTED(CXInARowGoal, CGoal)
public:
    CXInARowGoal();
    ~CXInARowGoal() override;

    void Draw(CGoalLayout& layout) override;
    void HandleMessage(CMessage& message) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    int32_t m_NumberOfLotsInARow = 3;
    int32_t m_UpgradeSlot = 0;
};

// One customer moving in with at least the hearts.
class CHeartGoal : public CGoal {
    OMBRISALT_REFLECTED(CHeartGoal, CGoal)
public:
    CHeartGoal();
    ~CHeartGoal() override;

    void Draw(CGoalLayout& layout) override;
    void HandleMessage(CMessage& message) override;

    int32_t m_HeartsRequired = 4;
};

// The level's play over within the time.
class CTimeGoal : public CGoal {
    OMBRISALT_REFLECTED(CTimeGoal, CGoal)
public:
    CTimeGoal();
    ~CTimeGoal() override;

    void Draw(CGoalLayout& layout) override;
    void Update(float seconds) override;
    void HandleMessage(CMessage& message) override;

    // Whole seconds of the goal less whole seconds played, at least 0.
    int32_t GetSecondsLeft() const;

    float m_TimeGoal = 60.0f;
};

// The two at-location kinds: something at some of the listed lots. They
// share the location test and the text fix-ups; each says what "contains
// the thing" means.
class CBuildableAtLocationGoal : public CGoal {
    OMBRISALT_REFLECTED(CBuildableAtLocationGoal, CGoal)
public:
    CBuildableAtLocationGoal();
    ~CBuildableAtLocationGoal() override;

    void Draw(CGoalLayout& layout) override;
    void HandleMessage(CMessage& message) override;
    void OnLoaded(CUntypedCObjectPointer* holder) override;
    bool LotContainsThing(CLot* lot);

    int32_t m_UpgradeSlot = 0;
    CTranslatedText m_LegacyText;
    int32_t m_LocationImage = -1;
    CTranslatedText m_Text;
    CPropertyArray<CPoint> m_GridLocations; // lot columns and rows
    bool m_RequireAll = false;
    bool m_FailIfPlacedAnywhereElse = false;
};

class CCustomerAtLocationGoal : public CGoal {
    OMBRISALT_REFLECTED(CCustomerAtLocationGoal, CGoal)
public:
    CCustomerAtLocationGoal();
    ~CCustomerAtLocationGoal() override;

    void Draw(CGoalLayout& layout) override;
    void HandleMessage(CMessage& message) override;
    void OnLoaded(CUntypedCObjectPointer* holder) override;
    bool LotContainsThing(CLot* lot);
    bool RefersToCustomer(int32_t customerStyle) override;

    int32_t m_Customer = 0;
    CTranslatedText m_LegacyText;
    int32_t m_LocationImage = -1;
    CTranslatedText m_Text;
    CPropertyArray<CPoint> m_GridLocations; // lot columns and rows
    bool m_RequireAll = false;
    bool m_FailIfPlacedAnywhereElse = false;
};
