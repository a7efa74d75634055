#include "game/world/CGameApp.h"

#include "blit/CColorProperty.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "objects/CPointProperty.h"
#include "images/CFrame.h"
#include "objects/CListProperty.h"
#include "objects/CSlotProperty.h"
#include "sequences/CSequenceList.h"
#include "shell/CLoadingScreenPresenter.h"

OMBRISALT_IMPLEMENT_CLASS(CLoadingFeedbackDisplayOptions, 1)

namespace {

CGameApp* g_Instance = nullptr;
bool g_Initialised = false;
CGameAppHooks g_DefaultHooks;
CGameAppHooks* g_Hooks = nullptr;

} // namespace

CGameAppHooks* SetGameAppHooks(CGameAppHooks* hooks)
{
    CGameAppHooks* previous = g_Hooks;
    g_Hooks = hooks;
    return previous;
}

CGameAppHooks& GetGameAppHooks()
{
    return g_Hooks ? *g_Hooks : g_DefaultHooks;
}

void CLoadingFeedbackDisplayOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLoadingFeedbackDisplayOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_SequenceToUse, "Sequence To Use", &GetSequenceList(), nullptr);
    d.Add(&C::m_SequencePosition, "Sequence Position", CPoint{512, 384});
    d.Add(&C::m_FillColor, "Fill Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_OutLineColor, "Out Line Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_LoadingBarPosition, "Loading Bar Position", CPoint{412, 650});
    d.Add(&C::m_LoadingBarWidth, "Loading Bar Width", 200);
    d.Add(&C::m_LoadingBarHeight, "Loading Bar Height", 10);
}

CLoadingFeedbackDisplayOptions::CLoadingFeedbackDisplayOptions()
{
    InitDeclaredProperties();
}

CLoadingFeedbackDisplayOptions::~CLoadingFeedbackDisplayOptions()
{
    DestroyDeclaredProperties();
}

CGameApp::CGameApp(CLoadingScreenPresenter* presenter)
    : CGameBase(1.0f / 60.0f, 1.0f / 60.0f, 1.0f / 12.0f, presenter, nullptr, nullptr)
    , m_GameSprites(std::make_unique<CSpriteArray>())
{
    g_Instance = this;
    SetKeepRunningInBackground(false);
}

CGameApp::~CGameApp()
{
    g_Initialised = false;
    if (g_Instance == this)
        g_Instance = nullptr;
}

CGameApp* CGameApp::SGetInstance()
{
    return g_Instance;
}

bool CGameApp::SIsInitialised()
{
    return g_Initialised;
}

bool CGameApp::OnMessage(CMessage& message)
{
    return CGameBase::OnMessage(message);
}

void CGameApp::Init(CLoadingScreenPresenter* presenter)
{
    CGameBase::Init(presenter);
    g_Initialised = true;
}

void CGameApp::Update(float seconds)
{
    CGameBase::Update(seconds);
}

bool CGameApp::Draw()
{
    return CGameBase::Draw();
}

bool CGameApp::SetActive(bool active)
{
    return CGameBase::SetActive(active);
}

bool CGameApp::OnCommand(uint32_t command)
{
    return CGameBase::OnCommand(command);
}

bool CGameApp::IsNamedOptionSet(const char* name)
{
    return IsDeveloperOptionSet(name);
}

void CGameApp::AfterUpdate(float) {}

bool IsDeveloperOptionSet(const char*)
{
    return true;
}
