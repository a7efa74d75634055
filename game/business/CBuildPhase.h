#pragma once
// Build phases ("Frame", "Garage", "Add On"...): the list's order is the
// phase order of every building's parts list and of the game state's crews.
#include "blit/CColor.h"
#include "foundation/CFPoint.h"
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CBuildablePart;
class CCodeTableList;

class CBuildPhase : public CObject {
    OMBRISALT_REFLECTED(CBuildPhase, CObject)
public:
    enum OptionKind : int32_t { kOptional = 0, kRequired = 1 };

    CBuildPhase();
    ~CBuildPhase() override;

    // The slot whose upgrade is the phase's crew skill; -1 without slots.
    int32_t GetCrewSlot() const { return m_UpgradeSlotIndexArray.GetCount() ? m_UpgradeSlotIndexArray[0] : -1; }
    bool IsRequired() const { return m_OptionIndex == kRequired; }

    CTranslatedText m_Name;                          // "Name"
    int32_t m_OptionIndex = kOptional;               // "Option Index"
    uint32_t m_MinimumNumberOfSlots = 0;             // "Minimum Number Of Slots"
    bool m_GetsColored = false;                      // "Gets Colored": built parts wait for paint
    bool m_CanBeReDone = false;                      // "Can Be ReDone": a built part may be replaced
    float m_BuildButtonScale = 1.0f;                 // "Build Button Scale"
    CPropertyArray<int32_t> m_UpgradeSlotIndexArray; // "Upgrade Slot List", into the upgrade-slot list
    float m_SpaceBetweenIdleCrews = 55.0f;           // "Space Between Idle Crews", pixels
    // "Default Part Values", owned: its sounds stand in for a part's unset ones.
    CBuildablePart* m_DefaultPartValues = nullptr;
    float m_CustomerWantedScale = 0.5f;                       // "Customer Wanted Scale"
    CFPoint m_CustomerWantedPosition{0.0f, 0.0f};             // "Customer Wanted Position"
    CColor m_ProgressBarColor{255, 255, 255, 255};            // "Progress Bar Color"
    CColor m_ProgressBarBackgroundColor{0, 0, 0, 255};        // "Progress Bar Background Color"
    CColor m_BuildButtonDisabledTint{120, 120, 120, 255};     // "Build Button Disabled Tint"
    // Sequences of a click assist on a part of this phase (0: none).
    int32_t m_ClickAssistHoverCursor = 0; // "Click Assist Hover Cursor"
    int32_t m_ClickAssistUsedCursor = 0;  // "Click Assist Used Cursor"
    int32_t m_ClickAssistEffect = 0;      // "Click Assist Effect"

    // Idle crews of the phase counted this frame and in the frame before.
    uint32_t m_IdleCrewsThisFrame = 0;
    uint32_t m_IdleCrewsLastFrame = 0;
};

// "Optional", "Required".
CCodeTableList& GetBuildPhaseOptionList();

class CBuildPhaseList : public CObjectArrayBaseTemplate<CBuildPhase> {
public:
    CBuildPhaseList();
};
// "Build Phase" under "Resources", "BuildPhase.txt"; made on first use.
CBuildPhaseList& GetBuildPhaseList();
// The index of the phase of that name, -1 when there is none.
int32_t FindBuildPhase(const char* name);
// The phase of that index; null outside the list.
CBuildPhase* GetBuildPhaseAt(int32_t phase);
// The phases the code knows by name; -1 when the data has no such phase.
int32_t GetFramePhase();
int32_t GetGaragePhase();
int32_t GetAddOnPhase();
int32_t GetColorPhase();
