#include "game/screens/CNeighborhoodViewer.h"

#include "game/business/CBuildablePackage.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CPlayfield.h"
#include "objects/CClassInfo.h"
#include "objects/CPropertyArrayProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

#include <array>
#include <cstdint>

namespace {

CNeighborhoodViewer* g_Viewer = nullptr;

CFrameOverlayOptions* ViewerOverlay()
{
    return FindFrameOverlayOptions("Neighborhood Viewer Overlay");
}

uint32_t LevelCount()
{
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetCount() : 0;
}

// The profile's record of the level when it has one; never makes one, so
// looking does not change the profile.
CPlayerStatsForLevel* RecordOf(uint32_t level)
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    return player && level < LevelCount() ? player->FindLevelStats(level) : nullptr;
}

void WriteParts(CLot& lot, const std::array<int32_t, 4>& parts)
{
    if (!lot.m_Building) {
        lot.m_Building = new CBuildablePackage;
        lot.m_Building->ResetToDefaults();
    }
    CBuildablePackage& building = *lot.m_Building;
    if (building.m_Parts.GetCount() < parts.size()) {
        auto* list = static_cast<CPropertyArrayProperty*>(CBuildablePackage::SGetClassInfo()->FindProperty("Parts List"));
        list->ArrayProperty_SetCount(&building, uint32_t(parts.size()));
    }
    for (uint32_t i = 0; i < parts.size(); ++i)
        building.m_Parts[i] = parts[i];
}

bool HideIfShown(CJWindow* window)
{
    if (!window || !window->IsVisible())
        return false;
    window->Show(false, false);
    return true;
}

} // namespace

CNeighborhoodViewer::CNeighborhoodViewer(CJWindow* parent)
    : CMenuWindow(parent)
{
    g_Viewer = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));

    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    m_ViewedLevel = player ? player->m_SelectedLevel : 0;
    // A stale "Selected Level" past the set views the last level.
    const uint32_t count = LevelCount();
    if (count == 0)
        m_ViewedLevel = 0;
    else if (m_ViewedLevel >= count)
        m_ViewedLevel = count - 1;
    if (m_ViewedLevel != 0 && !HasSavedLotInfo(m_ViewedLevel) && HasSavedLotInfo(m_ViewedLevel - 1))
        --m_ViewedLevel;
    BuildView();
    // A level's results may wait behind the trophy room this viewer was
    // opened from; the viewer does not cover all of them, and they would
    // show through with buttons nobody can reach.
    m_HidResults = HideIfShown(GetEndOfLevelWindow());
    m_HidTutorialResults = HideIfShown(GetTutorialEndOfLevelWindow());
}

CNeighborhoodViewer::~CNeighborhoodViewer()
{
    // The level flow's own level is current again from here on.
    if (g_Viewer == this)
        g_Viewer = nullptr;
    CLevelOptions* copy = m_LevelCopy;
    m_LevelCopy = nullptr;
    delete copy;
    CJWindow* results = m_HidResults ? GetEndOfLevelWindow() : nullptr;
    if (results)
        results->Show(true, false);
    CJWindow* tutorialResults = m_HidTutorialResults ? GetTutorialEndOfLevelWindow() : nullptr;
    if (tutorialResults)
        tutorialResults->Show(true, false);
}

bool CNeighborhoodViewer::HasSavedLotInfo(uint32_t level)
{
    CPlayerStatsForLevel* record = RecordOf(level);
    return record && record->HasSavedLotInfo();
}

void CNeighborhoodViewer::BuildView()
{
    ClearOverlayButtons(*this);
    m_ContinueButton = m_NextButton = m_PrevButton = nullptr;

    // The old copy goes before the new one is made: while none is there the
    // level flow's level stands in.
    CLevelOptions* old = m_LevelCopy;
    m_LevelCopy = nullptr;
    delete old;
    CLevelSet* levels = FindLevels();
    CLevelOptions* level = levels && m_ViewedLevel < levels->GetCount() ? levels->GetLevel(m_ViewedLevel) : nullptr;
    if (CObject* copy = level ? level->Clone() : nullptr) {
        if (copy->IsKindOf(CLevelOptions::SGetClassInfo()))
            m_LevelCopy = static_cast<CLevelOptions*>(copy);
        else
            delete copy;
    }

    if (m_LevelCopy) {
        if (CPlayerStatsForLevel* record = RecordOf(m_ViewedLevel))
            for (uint32_t i = 0; i < m_LevelCopy->m_OptionalGoals.GetCount(); ++i) {
                CGoal* goal = m_LevelCopy->m_OptionalGoals[i];
                if (goal && record->IsOptionalGoalAchieved(i)) {
                    goal->m_AchievedThisTime = true;
                    goal->m_AwardedThisTime = true;
                }
            }
        RestoreLots();
    }
    CreateButtons();
}

void CNeighborhoodViewer::RestoreLots()
{
    CPlayfieldLayer* found = m_LevelCopy->GetPlayfield().FindLayer("Lot");
    if (!found || !found->IsKindOf(CLotPlayfieldLayer::SGetClassInfo()))
        return;
    CPlayerStatsForLevel* record = RecordOf(m_ViewedLevel);
    const uint32_t saved = record ? record->m_SavedLevelInfoForScrapbook.GetCount() : 0;
    uint32_t k = 0;
    for (uint32_t i = 0; i < found->GetSpriteCount(); ++i) {
        CSprite* sprite = found->GetSprite(i);
        CLot* lot = sprite ? CLot::SFromSprite(sprite) : nullptr;
        if (!lot)
            continue;
        lot->SetSprite(sprite);
        // A lot past the saved entries is taken as one nobody lived on.
        const CJString entry = k < saved ? record->m_SavedLevelInfoForScrapbook[k] : CJString();
        ++k;
        if (entry.IsEmpty()) {
            sprite->SetVisible(false);
        } else {
            // The lot draws its building from the parts list each frame; its
            // ground is still the level's (a vacant lot's, sign and all).
            WriteParts(*lot, CPlayerStatsForLevel::SPartsOfLotInfo(entry));
            lot->ShowAsLivedIn();
        }
    }
}

void CNeighborhoodViewer::CreateButtons()
{
    CFrameOverlayOptions* overlay = ViewerOverlay();
    if (!overlay)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    m_ContinueButton = AddOverlayButton(*this, *overlay, "Continue", values, &CNeighborhoodViewer::Continue);
    if (HasSavedLotInfo(m_ViewedLevel + 1))
        m_NextButton = AddOverlayButton(*this, *overlay, "Next", values, &CNeighborhoodViewer::Next);
    if (m_ViewedLevel > 0 && HasSavedLotInfo(m_ViewedLevel - 1))
        m_PrevButton = AddOverlayButton(*this, *overlay, "Prev", values, &CNeighborhoodViewer::Prev);
    if (m_ContinueButton) {
        BringChildToFront(m_ContinueButton);
        m_ContinueButton->SetFocus(true);
        SetDefaultButton(m_ContinueButton);
        SetCancelButton(m_ContinueButton);
    }
}

void CNeighborhoodViewer::FillSubstitutions(CTextSubstitutionList& values) const
{
    // The viewed level is the current one while the viewer is open.
    const CLevelOptions* level = m_LevelCopy;
    values.AddText("%s[LevelName]", level ? level->m_DisplayName.GetTranslation() : CJString());
    values.AddNumber("%s[Decade]", level ? level->m_Period + 1 : 1);
    values.AddNumber("%s[HasNextButton]", m_NextButton ? 1 : 0);
    values.AddNumber("%s[HasPrevButton]", m_PrevButton ? 1 : 0);
}

void CNeighborhoodViewer::Update(float seconds)
{
    m_OverlayTime += seconds;
    CMenuWindow::Update(seconds);
}

void CNeighborhoodViewer::Draw(CFrameInterface& frame)
{
    if (CFrameOverlayOptions* overlay = ViewerOverlay()) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        DrawOverlaySet(overlay, frame, values, m_OverlayTime);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

bool CNeighborhoodViewer::OnKeyDown(uint32_t key)
{
    if (!GetDefaultButton() && IsMenuCloseKey(key)) {
        Continue();
        return true;
    }
    return CMenuWindow::OnKeyDown(key);
}

void CNeighborhoodViewer::Continue()
{
    Close();
}

void CNeighborhoodViewer::Next()
{
    if (!HasSavedLotInfo(m_ViewedLevel + 1))
        return;
    ++m_ViewedLevel;
    BuildView();
}

void CNeighborhoodViewer::Prev()
{
    // Only to a level that kept its lots, as the button is offered.
    if (m_ViewedLevel == 0 || !HasSavedLotInfo(m_ViewedLevel - 1))
        return;
    --m_ViewedLevel;
    BuildView();
}

CNeighborhoodViewer* GetNeighborhoodViewer()
{
    return g_Viewer;
}

CNeighborhoodViewer* OpenNeighborhoodViewer()
{
    AddGameScreenWindow(new CNeighborhoodViewer(nullptr));
    // Without a screen window the viewer is already gone.
    return g_Viewer;
}

void InstallNeighborhoodViewerScreen()
{
    SGameScreenEntry entry;
    entry.open = [] { return OpenNeighborhoodViewer() != nullptr; };
    entry.close = [] {
        if (CNeighborhoodViewer* viewer = GetNeighborhoodViewer())
            viewer->Close();
    };
    entry.isOpen = [] { return GetNeighborhoodViewer() != nullptr; };
    SetGameScreenEntry(EGameScreen::NeighbourhoodViewer, entry);
}
