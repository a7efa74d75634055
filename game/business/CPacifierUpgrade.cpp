#include "game/business/CPacifierUpgrade.h"

#include "game/business/CCustomer.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CPlayfield.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CFloatProperty.h"
#include "objects/CMessage.h"
#include "objects/CPointProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"

OMBRISALT_IMPLEMENT_CLASS(CPacifierUpgrade, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CPacifierUpgradeButton, 1.0)

namespace {

template <typename Declared>
void ReferToSequences(Declared declared)
{
    static_cast<CDataReferenceProperty*>(declared.Get().GetElementProperty())->SetList(&GetSequenceList());
}

// The entry of the current level's period; false when there is no level or
// the list stops before it.
bool EntryOfPeriod(const CPropertyArray<int32_t>& perPeriod, int32_t& entry)
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level || level->m_Period < 0 || uint32_t(level->m_Period) >= perPeriod.GetCount())
        return false;
    entry = perPeriod[uint32_t(level->m_Period)];
    return true;
}

} // namespace

void CPacifierUpgrade::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPacifierUpgrade;
    d.Add(&C::m_HeartsToAdd, "Hearts To Add", 2.0f).Units("hearts");
    d.Add(&C::m_NumberOfUses, "Number Of Uses", 1u);
    ReferToSequences(d.AddArray<CDataReferenceProperty>(&C::m_ImagePerPeriod, "Image Per Period", "Image", 0));
    ReferToSequences(d.AddArray<CDataReferenceProperty>(&C::m_BuyCloseUpImagePerPeriod, "Buy Close Up Image Per Period",
                                                        "Close Up Image", 0));
    d.Add(&C::m_UsesRemainingText, "Uses Remaining Text", "X %s[UsesRemaining]");
    d.AddListReference<CDataReferenceProperty>(&C::m_UsesRemainingFont, "Uses Remaining Font", &GetFontList(), nullptr);
    d.Add(&C::m_UsesRemainingOffset, "Uses Remaining Offset", CPoint{0, 0});
}

CPacifierUpgrade::CPacifierUpgrade()
{
    InitDeclaredProperties();
}

CPacifierUpgrade::~CPacifierUpgrade()
{
    DestroyDeclaredProperties();
}

CSpriteAI* CPacifierUpgrade::CreateButtonAI(int32_t /*slot*/)
{
    auto* button = new CPacifierUpgradeButton;
    button->ResetToDefaults();
    // The level start places the button in this upgrade's own slot.
    button->m_UpgradeSlot = m_UpgradeSlot;
    return button;
}

bool CPacifierUpgrade::DropOnLot(int32_t /*upgradeIndex*/, CLot* /*lot*/)
{
    GetIllegalMoveDisplay().Show("CantDropOnLot");
    return false;
}

bool CPacifierUpgrade::DropOnCustomer(int32_t /*upgradeIndex*/, CCustomer* customer)
{
    if (!customer)
        return false;
    const CCustomerOptions& options = GetCustomerOptions();
    const float most = float(options.m_PacifierMaxHearts) - options.m_PacifierMaxHeartPercentToFill;
    if (customer->GetHeartsLeft() <= most) {
        customer->AddHearts(m_HeartsToAdd);
        if (CSprite* sprite = customer->GetSprite()) {
            CMessage used = CMessage::CMessageByName("PacifierUsed");
            sprite->HandleMessage(used);
        }
        return true;
    }
    GetIllegalMoveDisplay().Show("CustomerTooHappyForPacifier");
    return false;
}

int32_t CPacifierUpgrade::GetAppearance()
{
    int32_t image = 0;
    return EntryOfPeriod(m_ImagePerPeriod, image) ? image : CUpgrade::GetAppearance();
}

int32_t CPacifierUpgrade::GetCloseUp()
{
    int32_t image = 0;
    return EntryOfPeriod(m_BuyCloseUpImagePerPeriod, image) ? image : CUpgrade::GetCloseUp();
}

void CPacifierUpgradeButton::DeclareProperties(CPropertyDeclarer&) {}

CPacifierUpgradeButton::CPacifierUpgradeButton()
{
    InitDeclaredProperties();
}

CPacifierUpgradeButton::~CPacifierUpgradeButton()
{
    DestroyDeclaredProperties();
}

CPacifierUpgrade* CPacifierUpgradeButton::GetPacifier() const
{
    return dynamic_cast<CPacifierUpgrade*>(GetUpgrade());
}

uint32_t CPacifierUpgradeButton::GetUsesLeft() const
{
    CPacifierUpgrade* pacifier = GetPacifier();
    return pacifier && pacifier->m_NumberOfUses > m_UsesSoFar ? pacifier->m_NumberOfUses - m_UsesSoFar : 0;
}

CJString CPacifierUpgradeButton::GetUsesRemainingText() const
{
    CPacifierUpgrade* pacifier = GetPacifier();
    if (!pacifier)
        return CJString();
    CJString left;
    left.SetInt(int32_t(GetUsesLeft()));
    CTextSubstitutionList values;
    values.AddText("%s[UsesRemaining]", left);
    return values.Apply(pacifier->m_UsesRemainingText.GetTranslation());
}

bool CPacifierUpgradeButton::DropOnCustomer(CCustomer* customer)
{
    CPacifierUpgrade* pacifier = GetPacifier();
    if (!pacifier || m_UsesSoFar >= pacifier->m_NumberOfUses)
        return false;
    if (!CUpgradeButton::DropOnCustomer(customer))
        return false;
    ++m_UsesSoFar;
    if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
        ++stats->m_PacifierUsed;
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage pacified = CMessage::CMessageByName("Customer Pacified");
        playfield->BroadcastMessage(pacified);
    }
    if (m_UsesSoFar >= pacifier->m_NumberOfUses)
        if (CSprite* sprite = GetSprite())
            sprite->MarkForDeletion();
    return true;
}

void CPacifierUpgradeButton::HandleMessage(CMessage& message)
{
    if (message.IsType("LevelComplete"))
        if (CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent())
            stats->m_LeftoverPacifiers = int32_t(GetUsesLeft());
    CUpgradeButton::HandleMessage(message);
}

void CPacifierUpgradeButton::Draw(CSpriteDrawRecord& record)
{
    CUpgradeButton::Draw(record);
    CPacifierUpgrade* pacifier = GetPacifier();
    CFrameInterface* target = record.spriteFrame ? record.spriteFrame : record.destination;
    if (!pacifier || !target || pacifier->m_UsesRemainingText.GetTranslation().IsEmpty())
        return;
    CFontList& fonts = GetFontList();
    const int32_t index = pacifier->m_UsesRemainingFont;
    CFont* font = index >= 0 && index < fonts.GetCount() ? fonts.GetObject(index) : nullptr;
    if (font)
        font->DrawText(*target, pacifier->m_UsesRemainingOffset.x, pacifier->m_UsesRemainingOffset.y,
                       GetUsesRemainingText());
}

bool CPacifierUpgradeButton::RefusesPickup(CUpgrade& /*upgrade*/)
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level || !level->m_PacifierPickupDisabled)
        return false;
    GetIllegalMoveDisplay().Show("PacifierDisabled");
    return true;
}
