#include "game/world/CLevelTimer.h"

#include "game/world/CGeneralObjects.h"
#include "objects/CListProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"

OMBRISALT_IMPLEMENT_CLASS(CLevelTimer, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CLevelTimerOptions, 1.0)

namespace {

CLevelTimer* g_LevelTimer = nullptr;

} // namespace

void CLevelTimer::DeclareProperties(CPropertyDeclarer&) {}

CLevelTimer::CLevelTimer()
{
    InitDeclaredProperties();
    g_LevelTimer = this;
}

CLevelTimer::~CLevelTimer()
{
    if (g_LevelTimer == this)
        g_LevelTimer = nullptr;
    DestroyDeclaredProperties();
}

CLevelTimer* GetLevelTimer()
{
    return g_LevelTimer;
}

void CLevelTimerOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLevelTimerOptions;
    d.Add(&C::m_NumberOfPages, "Number Of Pages", 0u);
    d.AddListReference<CDataReferenceProperty>(&C::m_TimerSequence, "Timer Sequence", &GetSequenceList(), nullptr);
    auto hues = d.AddArray<CDataReferenceProperty>(&C::m_HueRemapperStyleSheetArray, "Hue Remaps Over Time", "Hue", 0);
    static_cast<CDataReferenceProperty*>(hues.Get().GetElementProperty())->SetList(&GetHueRemapperStyleSheetList());
    d.AddListReference<CDataReferenceProperty>(&C::m_ClosedSequence, "Closed Sequence", &GetSequenceList(), nullptr);
}

CLevelTimerOptions::CLevelTimerOptions()
{
    InitDeclaredProperties();
}

CLevelTimerOptions::~CLevelTimerOptions()
{
    DestroyDeclaredProperties();
}
