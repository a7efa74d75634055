#include "game/screens/CTips.h"

#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "game/screens/CStats.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/world/CGeneralObjects.h"
#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

namespace {

CTipsMenu* g_TipsMenu = nullptr;

CTipsOptions* Options()
{
    return CTipsOptions::SGetInstance();
}

uint32_t TipCount()
{
    CTipsOptions* options = Options();
    return options ? options->GetTipCount() : 0;
}

bool IsTipEmpty(uint32_t index)
{
    CTipsOptions* options = Options();
    return !options || options->GetTipText(index).IsEmpty();
}

// Without "Tips Options" the set of the property's default name.
CFrameOverlayOptions* MenuOverlay()
{
    CTipsOptions* options = Options();
    return options ? GetFrameOverlayOptionsList().GetObject(options->m_TipsMenuOverlay)
                   : FindFrameOverlayOptions("Tips Menu Overlay");
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CTipsOptions, 1.0)

void CTipsOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CTipsOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_FrameOverlay, "Frame Overlay", &GetFrameOverlayOptionsList(),
                                               "Tips Overlay");
    d.Add(&C::m_SecondsToShowTips, "Seconds To Show Tips", 10.0f).Units("seconds");
    d.Add(&C::m_FrontOfLineOffset, "Front Of Line Offset", 200.0f).Units("pixels");
    d.AddListReference<CDataReferenceProperty>(&C::m_TipsMenuOverlay, "Tips Menu Overlay",
                                               &GetFrameOverlayOptionsList(), "Tips Menu Overlay");
    d.AddArray<CJStringPropertyTranslated>(&C::m_TipsList, "Tips List", "Tip", "default");
}

CTipsOptions::CTipsOptions()
{
    InitDeclaredProperties();
}

CTipsOptions::~CTipsOptions()
{
    DestroyDeclaredProperties();
}

CTipsOptions* CTipsOptions::SGetInstance()
{
    // The entry is looked up by name once; its object is fetched each time.
    static int32_t index = -1;
    CGeneralObjectsList& objects = GetGeneralObjects();
    // Looked up again only when the list no longer holds it there.
    if (index < 0 || index >= objects.GetCount() || CJString(objects.GetItemName(index)).CompareNoCase("Tips Options") != 0)
        index = objects.Find("Tips Options");
    return index >= 0 ? dynamic_cast<CTipsOptions*>(objects.GetObjectAt(index)) : nullptr;
}

CJString CTipsOptions::GetTipText(uint32_t index) const
{
    return index < m_TipsList.GetCount() ? m_TipsList[index].GetTranslation() : CJString();
}

// --- CTipsMenu ---

CTipsMenu::CTipsMenu(CJWindow* parent)
    : CMenuWindow(parent)
{
    g_TipsMenu = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    m_Index = player ? player->m_SelectedLevel : 0;
    // With no tips at all the menu stays on 0: counting back from the end
    // would wrap.
    const uint32_t count = TipCount();
    if (count == 0)
        m_Index = 0;
    else if (m_Index >= count)
        m_Index = count - 1;
    while (m_Index > 0 && IsTipEmpty(m_Index))
        --m_Index;
    CreateButtons();
}

CTipsMenu::~CTipsMenu()
{
    if (g_TipsMenu == this)
        g_TipsMenu = nullptr;
}

void CTipsMenu::CreateButtons()
{
    ClearOverlayButtons(*this);
    CFrameOverlayOptions* overlay = MenuOverlay();
    if (!overlay)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    auto add = [&](const char* name, void (CTipsMenu::*action)()) {
        return AddOverlayButton(*this, *overlay, name, values, action);
    };
    if (CJButton* done = add("Done", &CTipsMenu::Done)) {
        BringChildToFront(done);
        SetDefaultButton(done);
        SetCancelButton(done);
    }
    const uint32_t count = TipCount();
    if (m_Index > 0)
        add("Prev", &CTipsMenu::Prev);
    if (count > 0 && m_Index < count - 1)
        add("Next", &CTipsMenu::Next);
}

void CTipsMenu::FillSubstitutions(CTextSubstitutionList& values) const
{
    CTipsOptions* options = Options();
    const uint32_t count = TipCount();
    values.AddText("%s[Tip]", options ? options->GetTipText(m_Index) : CJString());
    values.AddNumber("%s[CanDoPrevious]", m_Index > 0 ? 1 : 0);
    values.AddNumber("%s[CanDoNext]", count > 0 && m_Index < count - 1 ? 1 : 0);
}

void CTipsMenu::Update(float seconds)
{
    m_Timer += seconds;
    // The window's own update too, so the buttons hover and a requested
    // close is carried out; it may end this window.
    CMenuWindow::Update(seconds);
}

void CTipsMenu::Draw(CFrameInterface& frame)
{
    if (CFrameOverlayOptions* overlay = MenuOverlay()) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        DrawOverlaySet(overlay, frame, values, m_Timer);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

bool CTipsMenu::OnKeyDown(uint32_t key)
{
    if (!GetDefaultButton() && IsMenuCloseKey(key)) {
        Done();
        return true;
    }
    return CMenuWindow::OnKeyDown(key);
}

void CTipsMenu::Done()
{
    Close();
}

void CTipsMenu::Prev()
{
    if (m_Index > 0)
        --m_Index;
    while (m_Index > 0 && IsTipEmpty(m_Index))
        --m_Index;
    CreateButtons();
}

void CTipsMenu::Next()
{
    const uint32_t count = TipCount();
    if (count == 0)
        return;
    if (m_Index < count - 1)
        ++m_Index;
    while (m_Index < count - 1 && IsTipEmpty(m_Index))
        ++m_Index;
    CreateButtons();
}

CTipsMenu* GetTipsMenu()
{
    return g_TipsMenu;
}

CTipsMenu* OpenTipsMenu(CJWindow* parent)
{
    auto* menu = new CTipsMenu(parent);
    AddGameScreenWindow(menu);
    // Without a screen window the menu is already gone.
    return g_TipsMenu;
}
