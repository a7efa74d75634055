#include "game/screens/CTutorialPopUp.h"

#include "game/screens/CStats.h"
#include "game/screens/OverlayScreen.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "game/world/CTutorial.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/DeclaredClassBody.h"
#include "overlays/CFrameOverlay.h"
#include "render/CBlitXParams.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CKeyboardState.h"

#include <memory>

OMBRISALT_IMPLEMENT_CLASS(CTutorialDisplayOptions, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CTutorialHistory, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CTutorialPopUpSpriteAI, 1.0)
OMBRISALT_DECLARED_CLASS(CShowTutorialPopUpSpritePlugIn, 1.0)
OMBRISALT_DECLARED_CLASS(CSetLevelTextSpritePlugIn, 1.0)

namespace {

// Scan indices of the two Shift keys.
constexpr uint32_t kLeftShiftKey = 42;
constexpr uint32_t kRightShiftKey = 54;

// Where a new pop-up's sprite stands: the middle of the 1024x768 playfield.
constexpr float kPopUpX = 512.0f;
constexpr float kPopUpY = 384.0f;

CTypedPObjectProperty<CTutorialHistory>* g_HistoryProperty = nullptr;

// The history that the street being played adds to, and how long it was
// when the play began.
struct SThisPlay {
    const CTutorialHistory* history = nullptr;
    uint32_t shownBefore = 0;
};
SThisPlay g_ThisPlay;

// The message a pop-up is answering while it opens its follow-up. The
// playfield goes on delivering it to the sprites appended meanwhile; the
// follow-up must not take it as its own answer, or a chain waiting for the
// same message (a click, say) would run through to its end at one click.
CMessage* g_MessageOpeningFollowUp = nullptr;

void ShowFollowUp(int32_t index, CMessage* answered)
{
    CMessage* outer = g_MessageOpeningFollowUp;
    g_MessageOpeningFollowUp = answered;
    ShowTutorial(index, false);
    g_MessageOpeningFollowUp = outer;
}

bool IsShiftDown()
{
    const CKeyboardState& keys = CKeyboardState::SGetInstance();
    return keys.IsKeyDown(kLeftShiftKey) || keys.IsKeyDown(kRightShiftKey);
}

// A context of the pop-up's sprite alone: no plug-in asks.
struct CPopUpContext : CSpriteScriptContext {
    explicit CPopUpContext(CSprite* owner)
        : CSpriteScriptContext(owner, nullptr)
    {
        chain.RemoveAll();
    }
};

bool ExpressionHolds(CExpression* expression, CSprite* sprite)
{
    CPopUpContext context(sprite);
    CScriptValue value;
    expression->Evaluate(&context, value);
    return value.AsBoolean();
}

template <typename T>
T* ListObject(CObjectArrayBaseTemplate<T>& list, int32_t index)
{
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

void DrawArrow(CFrameInterface& target, CFrame& arrow, const CFPoint& point, float degrees)
{
    // (0, 0) is the "no arrow" value, whatever the angle.
    if (point.x == 0.0f && point.y == 0.0f)
        return;
    CBlitXParams params(&arrow, point.x, point.y, degrees, 1.0f, 1.0f, CColor(255, 255, 255, 255),
                        CBlitXParams::kFiltered, 0.0f, 0.0f, true);
    target.Render(params);
}

} // namespace

// --- display options ---

void CTutorialDisplayOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CTutorialDisplayOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_TitleFont, "Title Font", &GetFontList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_OpenSound, "Open Sound", &GetAudioList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_CloseSound, "Close Sound", &GetAudioList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_FrameOverlayOptions, "Frame Overlay Options",
                                               &GetFrameOverlayOptionsList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_ArrowSequence, "Arrow Sequence", &GetSequenceList(), nullptr);
}

CTutorialDisplayOptions::CTutorialDisplayOptions()
{
    InitDeclaredProperties();
}

CTutorialDisplayOptions::~CTutorialDisplayOptions()
{
    DestroyDeclaredProperties();
}

CTutorialDisplayOptions& GetTutorialDisplayOptions()
{
    // Found by name once; the entry is checked again in case the general
    // objects were reloaded since.
    static int32_t index = -1;
    CGeneralObjectsList& objects = GetGeneralObjects();
    if (index < 0 || index >= objects.GetCount()
        || CJString(objects.GetItemName(index)).CompareNoCase("Tutorial Display Options") != 0)
        index = objects.FindOrReportMissing("Tutorial Display Options");
    auto* options = dynamic_cast<CTutorialDisplayOptions*>(objects.GetObjectAt(index));
    return options ? *options : GetGeneralObjectAs<CTutorialDisplayOptions>("Tutorial Display Options");
}

// --- history ---

void CTutorialHistory::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CTutorialHistory;
    auto shown = d.AddArray<CListProperty>(&C::m_TutorialIndexesHaveBeenDisplayed, "Have Been Displayed",
                                           "Has Been Displayed", 0);
    static_cast<CListProperty*>(shown.Get().GetElementProperty())->SetList(&GetTutorialList());
}

CTutorialHistory::CTutorialHistory()
{
    InitDeclaredProperties();
}

CTutorialHistory::~CTutorialHistory()
{
    DestroyDeclaredProperties();
}

bool CTutorialHistory::HasBeenDisplayed(int32_t index) const
{
    if (IsShiftDown())
        return false;
    for (uint32_t i = 0; i < m_TutorialIndexesHaveBeenDisplayed.GetCount(); ++i)
        if (m_TutorialIndexesHaveBeenDisplayed[i] == index)
            return true;
    return false;
}

void CTutorialHistory::AddDisplayed(int32_t index)
{
    const uint32_t count = m_TutorialIndexesHaveBeenDisplayed.GetCount();
    for (uint32_t i = 0; i < count; ++i)
        if (m_TutorialIndexesHaveBeenDisplayed[i] == index)
            return;
    // Through the array property so the element storage stays its own.
    auto* property = dynamic_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Have Been Displayed"));
    property->ArrayProperty_SetCount(this, count + 1, -1, CPropertyArrayProperty::Exact::No);
    m_TutorialIndexesHaveBeenDisplayed[count] = index;
}

void CTutorialHistory::KeepFirst(uint32_t count)
{
    if (count >= m_TutorialIndexesHaveBeenDisplayed.GetCount())
        return;
    auto* property = dynamic_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Have Been Displayed"));
    property->ArrayProperty_SetCount(this, count);
}

void RegisterTutorialProperties()
{
    if (g_HistoryProperty)
        return;
    g_HistoryProperty = new CSlotProperty<CTypedPObjectProperty<CTutorialHistory>>("Tutorial History", nullptr);
    g_HistoryProperty->AddAsDynamicProperty(CPlayerStats::SGetClassInfo(), DynamicKind::Optional);
}

CTutorialHistory* GetTutorialHistory(CPlayerStats& player)
{
    RegisterTutorialProperties();
    if (auto* held = dynamic_cast<CTutorialHistory*>(g_HistoryProperty->GetDynamicValue(&player)))
        return held;
    auto* made = new CTutorialHistory;
    made->ResetToDefaults();
    g_HistoryProperty->SetDynamicValue(&player, made);
    return made;
}

CTutorialHistory* GetTutorialHistory()
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    return player ? GetTutorialHistory(*player) : nullptr;
}

// --- showing and drawing ---

void BeginTutorialPlay()
{
    const CTutorialHistory* history = GetTutorialHistory();
    g_ThisPlay.history = history;
    g_ThisPlay.shownBefore = history ? history->m_TutorialIndexesHaveBeenDisplayed.GetCount() : 0;
}

void ForgetTutorialsOfThisPlay()
{
    CTutorialHistory* history = GetTutorialHistory();
    // Another player's history is no part of this play.
    if (!history || history != g_ThisPlay.history
        || history->m_TutorialIndexesHaveBeenDisplayed.GetCount() <= g_ThisPlay.shownBefore)
        return;
    history->KeepFirst(g_ThisPlay.shownBefore);
    CStats::SMarkChanged();
}

void EndTutorialPlay()
{
    g_ThisPlay.history = nullptr;
}

void ShowTutorial(int32_t index, bool skipIfShown)
{
    CTutorial* tutorial = GetTutorialAt(index);
    if (!tutorial)
        return;
    CTutorialHistory* history = GetTutorialHistory();
    if (history) {
        if (skipIfShown && history->HasBeenDisplayed(index))
            return;
        history->AddDisplayed(index);
        CStats::SMarkChanged();
    }
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        auto sprite = std::make_unique<CSprite>();
        sprite->AddAI(new CTutorialPopUpSpriteAI(index));
        sprite->SetPosition(kPopUpX, kPopUpY);
        sprite->SetImageSequence(0);
        // The pop-up draws itself; the first sequence's blit type is the
        // one every effect sprite is handed.
        if (CSequence* first = ListObject(GetSequenceList(), 0))
            sprite->SetBlitType(&first->GetBlitType());
        playfield->AddSprite(sprite.release(), "Effects");
    }
    if (!tutorial->m_MessageToSend.IsEmpty())
        if (CLevelOptions* level = CLevelOptions::SGetCurrent()) {
            CMessage message = CMessage::CMessageByName(tutorial->m_MessageToSend.GetString());
            level->HandleMessage(message);
        }
}

void DrawTutorialPopUp(int32_t index, CFrameInterface& target, float secondsShown)
{
    if (CTutorial* tutorial = GetTutorialAt(index))
        DrawTutorialPopUp(*tutorial, target, secondsShown);
}

void DrawTutorialPopUp(CTutorial& tutorial, CFrameInterface& target, float secondsShown)
{
    CTutorialDisplayOptions& options = GetTutorialDisplayOptions();
    CTextSubstitutionList values;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    values.AddNumber("%s[Decade]", (level ? level->m_Period : 0) + 1);
    values.AddText("%s[Message]", tutorial.m_Text.GetTranslation());
    if (CSequence* arrows = ListObject(GetSequenceList(), options.m_ArrowSequence))
        if (arrows->GetFrameCount() > 0)
            if (CFrame* arrow = arrows->GetFrame(0)) {
                DrawArrow(target, *arrow, tutorial.m_ArrowPoint, tutorial.m_ArrowAngle);
                DrawArrow(target, *arrow, tutorial.m_Arrow2Point, tutorial.m_Arrow2Angle);
            }
    if (CFrameOverlayOptions* set = ListObject(GetFrameOverlayOptionsList(), options.m_FrameOverlayOptions)) {
        DrawOverlaySet(set, target, values, secondsShown);
    }
}

// --- the pop-up ---

void CTutorialPopUpSpriteAI::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddListReference<CNoneableListProperty>(&CTutorialPopUpSpriteAI::m_Tutorial, "Tutorial", &GetTutorialList(),
                                              nullptr);
}

CTutorialPopUpSpriteAI::CTutorialPopUpSpriteAI()
{
    InitDeclaredProperties();
}

CTutorialPopUpSpriteAI::CTutorialPopUpSpriteAI(int32_t tutorial)
    : CTutorialPopUpSpriteAI()
{
    m_Tutorial = tutorial;
    m_MessageBeingAnswered = g_MessageOpeningFollowUp;
}

CTutorialPopUpSpriteAI::~CTutorialPopUpSpriteAI()
{
    DestroyDeclaredProperties();
}

void CTutorialPopUpSpriteAI::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
    // That delivery is over; the address may come back for another message.
    m_MessageBeingAnswered = nullptr;
    m_SecondsShown += record.seconds;
    CSprite* sprite = record.sprite ? record.sprite : GetSprite();
    CTutorial* tutorial = GetTutorialAt(m_Tutorial);
    if (!sprite || !tutorial)
        return;
    // Success is looked at first and marks the sprite, so it wins a frame
    // where both hold.
    if (tutorial->m_SuccessExpressionToWaitFor && !sprite->IsMarkedForDeletion()
        && ExpressionHolds(tutorial->m_SuccessExpressionToWaitFor, sprite)) {
        sprite->MarkForDeletion();
        ShowTutorial(tutorial->m_NextTutorialAfterSuccess, false);
    }
    if (tutorial->m_FailureExpressionToWaitFor && !sprite->IsMarkedForDeletion()
        && ExpressionHolds(tutorial->m_FailureExpressionToWaitFor, sprite)) {
        sprite->MarkForDeletion();
        ShowTutorial(tutorial->m_TutorialAfterFailure, false);
    }
}

void CTutorialPopUpSpriteAI::Draw(CSpriteDrawRecord& record)
{
    CSpriteAI::Draw(record);
    // A closed card lingers until the next update removes it; a street
    // paused meanwhile would show it under its follow-up.
    CSprite* sprite = GetSprite();
    if (record.destination && !(sprite && sprite->IsMarkedForDeletion()))
        DrawTutorialPopUp(m_Tutorial, *record.destination, m_SecondsShown);
}

void CTutorialPopUpSpriteAI::HandleMessage(CMessage& message)
{
    CSpriteAI::HandleMessage(message);
    CSprite* sprite = GetSprite();
    CTutorial* tutorial = GetTutorialAt(m_Tutorial);
    if (!sprite || !tutorial)
        return;
    const char* name = GetMessageTypeName(message.GetType());
    const CJString received(name ? name : "");
    auto waitedFor = [&](const CJString& wanted) {
        return &message != m_MessageBeingAnswered && !wanted.IsEmpty() && received.CompareNoCase(wanted) == 0
            && !sprite->IsMarkedForDeletion();
    };
    if (waitedFor(tutorial->m_SuccessMessageToWaitFor)) {
        sprite->MarkForDeletion();
        ShowFollowUp(tutorial->m_NextTutorialAfterSuccess, &message);
    }
    if (waitedFor(tutorial->m_FailureMessageToWaitFor)) {
        sprite->MarkForDeletion();
        ShowFollowUp(tutorial->m_TutorialAfterFailure, &message);
    }
    if (message.IsType("PlayerInteractionComplete"))
        sprite->MarkForDeletion();
}

// --- plug-ins ---

void CShowTutorialPopUpSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CShowTutorialPopUpSpritePlugIn;
    d.AddListReference<CNoneableListProperty>(&C::m_Tutorial, "Tutorial", &GetTutorialList(), nullptr);
    d.Add(&C::m_SkipIfShownBefore, "Skip If Shown Before", false);
}

void CShowTutorialPopUpSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    ShowTutorial(m_Tutorial, m_SkipIfShownBefore);
    record.done = true;
}

void CSetLevelTextSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CSetLevelTextSpritePlugIn::m_LevelText, "Level Text", "New version of text");
}

void CSetLevelTextSpritePlugIn::Update(CPlugInUpdateRecord&)
{
    // The level keeps one text: the one the player reads.
    if (CLevelOptions* level = CLevelOptions::SGetCurrent())
        level->m_LevelIntro = m_LevelText.GetTranslation();
}

void RegisterTutorialClasses()
{
    CTutorialDisplayOptions::SGetClassInfo();
    CTutorialHistory::SGetClassInfo();
    CTutorialPopUpSpriteAI::SGetClassInfo();
    CShowTutorialPopUpSpritePlugIn::SGetClassInfo();
    CSetLevelTextSpritePlugIn::SGetClassInfo();
    RegisterTutorialProperties();
}
