#include "game/world/CPeriod.h"

#include "foundation/CRandomGenerator.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/scripting/CAudio.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CRules.h"
#include "objects/CListProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "sequences/CSequenceList.h"
#include "sound/CMusicPlayer.h"

#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CPeriod, 1)

void CPeriod::DeclareProperties(CPropertyDeclarer& d)
{
    // The list exists before any period refers into or lives in it.
    GetPeriodList();
    using C = CPeriod;
    d.Add(&C::m_PeriodYear, "Period Year", "");
    d.AddListReference<CDataReferenceProperty>(&C::m_HudBackground, "Hud Background", &GetSequenceList(), nullptr);
    auto customers = d.AddArray<CDataReferenceProperty>(&C::m_CustomerStyles, "Customers List", "Customer", 0);
    static_cast<CDataReferenceProperty*>(customers.Get().GetElementProperty())->SetList(&GetCustomerStyleSheetList());
    d.AddListReference<CDataReferenceProperty>(&C::m_OptionalGoalAchievedAudio, "Sounds/Optional Goal Achieved Audio", &GetAudioList(), nullptr)
        .AlternateName("Expert Goal Achieved Audio");
    d.AddListReference<CDataReferenceProperty>(&C::m_PhoneRingAudio, "Sounds/Phone Ring Audio", &GetAudioList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_GreeterRingAudio, "Sounds/Greeter Ring Audio", &GetAudioList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_IntroMusic, "Music/Intro Music", &GetSongList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MainLoopMusic, "Music/Main Loop Music", &GetSongList(), nullptr);
    d.AddArray<CStringProperty>(&C::m_LevelFailedStrings, "End Level Strings/Level Failed Strings", "Failed String",
                                "default");
    d.AddArray<CStringProperty>(&C::m_LevelSuccessBasicStrings, "End Level Strings/Level Success Basic Strings",
                                "Basic String", "default");
    d.AddArray<CStringProperty>(&C::m_LevelSuccessExpertStrings, "End Level Strings/Level Success Expert Strings",
                                "Expert String", "default");
}

CPeriod::CPeriod()
{
    InitDeclaredProperties();
}

CPeriod::~CPeriod()
{
    DestroyDeclaredProperties();
}

CJString CPeriod::DealFrom(const CPropertyArray<CJString>& texts, std::vector<uint32_t>& deck)
{
    const uint32_t count = texts.GetCount();
    if (count == 0)
        return CJString();
    // A deck dealt from a longer array (edited since) holds no stale card.
    for (uint32_t card : deck) {
        if (card >= count) {
            deck.clear();
            break;
        }
    }
    if (deck.empty()) {
        deck.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            deck[i] = i;
        CRandomGenerator& random = GameRandom();
        for (uint32_t i = 0; i < count; ++i)
            std::swap(deck[i], deck[random.Next(count)]);
    }
    const uint32_t card = deck.back();
    deck.pop_back();
    return texts[card];
}

CJString CPeriod::GetNextLevelFailedString()
{
    return DealFrom(m_LevelFailedStrings, m_FailedDeck);
}

CJString CPeriod::GetNextLevelSuccessBasicString()
{
    return DealFrom(m_LevelSuccessBasicStrings, m_BasicDeck);
}

CJString CPeriod::GetNextLevelSuccessExpertString()
{
    return DealFrom(m_LevelSuccessExpertStrings, m_ExpertDeck);
}

CFrameOverlayPositionMarker* CPeriod::FindLevelSelectElement()
{
    CFrameOverlayOptionsList& overlays = GetFrameOverlayOptionsList();
    const int32_t index = CRules::SGetInstance().m_LevelSelectMenuFrameOverlay;
    if (index < 0 || index >= overlays.GetCount())
        return nullptr;
    CFrameOverlayOptions* set = overlays.GetObject(index);
    return set ? set->FindPositionMarker(m_PeriodYear) : nullptr;
}

CPeriodList::CPeriodList()
    : CObjectArrayBaseTemplate<CPeriod>("Period.txt")
{
}

CPeriodList& GetPeriodList()
{
    // Lives to the end of the process, as the registry of lists expects.
    static CPeriodList* list = [] {
        auto* made = new CPeriodList;
        made->SetSource("Period", "Resources", 0);
        return made;
    }();
    return *list;
}

CPeriod* GetCurrentPeriod()
{
    // An index past the list gives its first period, as every list does.
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level ? GetPeriodList().GetObject(level->m_Period) : nullptr;
}
