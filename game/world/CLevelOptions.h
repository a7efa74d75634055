#pragma once
// One level as the designers write it: period, customer count, revenue goal
// and optional goals, which customers may come and in which order, how many
// may wait at once, tutorial switches, and the playfield it embeds. Levels
// live in the level set "Levels"; the game plays on a clone (the level
// holder), so the counters under "Debug" and the future orders belong to a
// level in play and are properties only so that one can be saved and shown.
//
// Older files: "Goal" is read as "Goals/Required Revenue"; "Max Simultaneous
// Customers In Line" becomes the only entry of "Max In Line List"; "Expert
// Goal" becomes a revenue goal appended to the optional goals. Any other key
// the properties do not know is named with its file on the error log (the
// next save would drop it) and then left to the base reader.
//
// Every random draw (future orders, the customer pool) comes from one
// generator passed in, so a seeded generator repeats a level exactly.
#include "foundation/CArrayPOD.h"
#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/UpwardHook.h"
#include "game/world/CPlayfield.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>
#include <vector>

class CBuildablePackage;
class CGameState;
class CGoal;
class CLevelPlayStats;
class CMessage;
class CTextSubstitutionList;
class CUpgrade;

// "Tutorial/Must Build At Grid Coordinate" while no constraint is set.
inline constexpr CPoint kNoMustBuildCoordinate{-100, -100};
// The most customers a level may have; a larger count in its file reads as this.
inline constexpr uint32_t kMaxLevelCustomers = 1000;

// The level's auxiliary record: made on first request, owned by the level;
// nothing here reads its words.
struct CLevelAuxiliaryRecord {
    CJString m_Text;
    uint32_t m_Words[5] = {};
};

// The undo history the editors keep for a level. The editor layer makes it
// (through the factory hook below); the level only owns it and destroys it
// with itself.
class CLevelUndoHistory {
public:
    virtual ~CLevelUndoHistory() = default;
};
using LevelUndoHistoryFactory = CLevelUndoHistory* (*)();
LevelUndoHistoryFactory SetLevelUndoHistoryFactory(LevelUndoHistoryFactory factory);
OMBRISALT_UPWARD_HOOK(SetLevelUndoHistoryFactory);

class CLevelOptions : public CObject {
    OMBRISALT_REFLECTED(CLevelOptions, CObject)
public:
    CLevelOptions();
    ~CLevelOptions() override;

    // The level in play (the level holder's), or null.
    static CLevelOptions* SGetCurrent();

    // The level's own start, update, messages and statistics text while it
    // is played (CLevelPlay.cpp). Update runs every frame; with a window
    // open over the playfield only the revenue count-up goes on.
    void StartPlay();
    void Update(float seconds, bool screenOpen);
    void HandleMessage(CMessage& message);
    void AddLevelStats(CTextSubstitutionList& list);

    void ResetToDefaults() override;
    void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream) override;

    // Customers allowed to wait at once now: the "Max In Line List" entry of
    // the current interval, the last past the end; an empty list gets 3.
    int32_t GetMaxCustomersInLine();

    // One order per customer; each build phase's parts of the current game
    // state spread evenly over "Customers" × its frequency orders (never more
    // than "Customers"), then shuffled per phase.
    void GenerateFutureOrders(CRandomGenerator& random = CRandomGenerator::Global());
    // The next order for a new customer (the caller owns it); null when none.
    CBuildablePackage* PopFutureOrder();
    int32_t FindOrderWantedByNoCustomer();
    int32_t FindOrderContainingPart(int32_t upgrade);
    void ReplaceOrderPart(int32_t slot, int32_t oldPart, int32_t newPart);
    // Four part slots; a missing entry counts as none.
    void ApplyPartChanges(const CArrayPOD<int32_t>& oldParts, const CArrayPOD<int32_t>& newParts);
    bool IsPartWantedByWaitingCustomer(int32_t upgrade);

    // The pool of random customer styles, kept by name: a style a designer
    // adds while it lasts moves the rows of the list, not the pool.
    void BuildCustomerStylePool(CRandomGenerator& random = CRandomGenerator::Global());
    // A row of the customer style sheet list; -1 when no style can be had.
    int32_t NextRandomCustomerStyle(CRandomGenerator& random = CRandomGenerator::Global());
    // The pool's rows in the list as it is; a style gone from it is -1.
    std::vector<int32_t> GetCustomerStylePool() const;

    float GetRevenueGoalTarget();
    int32_t CountEmptyLots();
    bool HasMustBuildCoordinate() const;
    void ClearMustBuildCoordinate() { m_MustBuildAtGridCoordinate = kNoMustBuildCoordinate; }
    void AddPendingRevenue(float amount) { m_PendingRevenue += amount; }
    bool IsPlayerInteractionComplete() const { return m_PlayerInteractionComplete; }
    void EnsureDefaultLayers();
    bool AnyOptionalGoalAccepts(int32_t value);
    void CopyPlayerHistoryTexts(CTextSubstitutionList& list);
    void MarkPreviouslyAchievedGoals();
    CLevelAuxiliaryRecord& GetAuxiliaryRecord();
    // Made on first request; null while no editor installed the factory.
    CLevelUndoHistory* GetUndoHistory();
    // Once the level's values are replaced from elsewhere (its file merged in),
    // no step taken before may put the old ones back.
    void ForgetUndoHistory();

    CPlayfield& GetPlayfield() { return m_Playfield; }
    // A sprite the editor took out of the playfield: game objects may still
    // point at it, so it is freed with the level, not at once.
    void KeepRemovedSprite(CSprite* sprite);
    uint32_t GetRemovedSpriteCount() const { return m_RemovedSprites.GetCount(); }

    CTranslatedText m_DisplayName;
    int32_t m_Period = 0; // period list index
    CJString m_Comment;
    uint32_t m_Customers = 12;
    float m_RequiredRevenue = 500.0f;       // thousands
    CPropertyArray<CGoal*> m_OptionalGoals; // owned
    int32_t m_FamesPerNewCustomer = 240;    // 60ths of a second
    CPropertyArray<int32_t> m_CustomerStylesWhitelist;
    CPropertyArray<int32_t> m_CustomerStylesBlacklist;
    CPropertyArray<int32_t> m_ForcedOrderedCustomerStylesScript;
    float m_CustomerIntervalDuration = 60.0f;
    CPropertyArray<int32_t> m_MaxSimultaneousCustomersInLineInterval;
    int32_t m_Background = 0; // background style sheet list index
    bool m_IsTutorialLevel = false;
    bool m_IsLastTutorialLevel = false;
    CGameState* m_ForcedGameState = nullptr; // owned
    bool m_CustomerSpawningDisabled = false;
    bool m_CustomerDeliveryDisabled = false;
    bool m_PacifierPickupDisabled = false;
    bool m_RequireClickAssist = false;
    bool m_RequireMegaClickAssist = false;
    bool m_CustomersNeverOrderWhatYouHave = false;
    int32_t m_FirstCustomerWillOrder = 0; // upgrade list index, 0 for none
    CPoint m_MustBuildAtGridCoordinate = kNoMustBuildCoordinate;
    bool m_MustBuildWhatCustomerWants = false;
    CPropertyArray<CBuildablePackage*> m_FutureOrders; // owned
    CPropertyArray<float> m_BuildPhaseFrequency;       // one per build phase
    float m_ScalePercent = 100.0f;
    CPlayfield m_Playfield;
    float m_SecondsPlayed = 0.0f;
    int32_t m_CustomersSpawned = 0;
    bool m_PlayerInteractionComplete = false;
    CJString m_LevelIntro;
    bool m_AllowClickAssist = true;
    CLevelPlayStats* m_PlayStats = nullptr; // owned
    bool m_AllowGenericMegaClickAssistTutorial = true;
    bool m_IsLastStandardLevel = false;
    bool m_IsSpeedRound = false;
    float m_PendingRevenue = 0.0f;

private:
    std::vector<CJString> m_RandomCustomerPool;
    CLevelAuxiliaryRecord* m_AuxiliaryRecord = nullptr; // owned
    CLevelUndoHistory* m_UndoHistory = nullptr;         // owned
    CArrayPOD<CSprite*> m_RemovedSprites;               // owned
};
