#include "sequences/program/SequenceShowcase.h"

#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"

namespace {

// Where each demo sequence's hot spot goes on the 1024 x 768 screen.
struct SPlacement {
    const char* name;
    int32_t x;
    int32_t y;
};
constexpr SPlacement kPlacements[] = {
    {"Walk", 260, 600},
    {"Flag", 420, 660},
    {"Coin", 600, 600},
};
constexpr int32_t kRecolouredCoinX = 680;

// Kept for the whole run: the mouse state points at it.
CSequenceCursor* g_Cursor = nullptr;

CSequence* FindSequence(const char* name)
{
    CSequenceList& list = GetSequenceList();
    const int32_t index = list.Find(name);
    return index < 0 ? nullptr : list.GetObject(index);
}

void Init()
{
    GetFrameLibrary().SetSource("Frames", "Resources/Frames", 0);
    CSequenceList& list = GetSequenceList();
    list.SetSource("Sequences", "Resources/Sequences", 0);
    list.LoadAllEntries();
    if (CSequence* cursor = FindSequence("Mouse Cursor")) {
        g_Cursor = new CSequenceCursor(*cursor);
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetCursor(g_Cursor, CursorStart::Started, CursorStop::Running, CursorFrameSource::Sequence);
        mouse.ShowCursor();
        // The pointer starts beside the demo, where it is seen at once.
        mouse.SetPosition(760, 560);
    }
}

void Draw(CFrameInterface& screen)
{
    for (const SPlacement& place : kPlacements)
        if (CSequence* sequence = FindSequence(place.name))
            sequence->DrawCurrentFrame(screen, place.x, place.y);
    CSequence* coin = FindSequence("Coin");
    const int32_t sheet = GetHueRemapperStyleSheetList().Find("Coin Blue");
    if (coin && sheet >= 0)
        if (CFrame* frame = coin->GetCurrentFrame())
            BlitAt(screen, *GetHueRemappedFrame(*frame, sheet), kRecolouredCoinX, 600, coin->GetBlitType());
    CMouseState::SGetInstance().DrawCursor(screen);
}

} // namespace

void InstallSequenceShowcase()
{
    SStandInHooks hooks;
    hooks.init = &Init;
    hooks.draw = &Draw;
    SetStandInHooks(hooks);
}
