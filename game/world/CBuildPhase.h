#pragma once
// Build phases ("Frame", "Garage", "Add On"...): the list's order is the
// phase order of every building's parts list and of the game state's crews.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

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
    CPropertyArray<int32_t> m_UpgradeSlotIndexArray; // "Upgrade Slot List", into the upgrade-slot list
    // Sequences of a click assist on a part of this phase (0: none).
    int32_t m_ClickAssistHoverCursor = 0; // "Click Assist Hover Cursor"
    int32_t m_ClickAssistUsedCursor = 0;  // "Click Assist Used Cursor"
    int32_t m_ClickAssistEffect = 0;      // "Click Assist Effect"
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
