#include "game/world/program/WorldShowcase.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/CCommand.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CPlayfield.h"
#include "images/CFrameList.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequenceList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr const char* kEffectsLayer = "Effects";
constexpr const char* kBirdSequence = "Swallow";
constexpr const char* kBurstSequence = "Spark Burst";
constexpr CFPoint kBirdStart{40.0f, 60.0f};
constexpr float kBirdSpeed = 300.0f; // pixels per second
constexpr uint32_t kLeftButton = 1;
// F9 opens the Level Sorter.
constexpr uint32_t kSorterKey = 67;

struct SShowcase {
    SStandInHooks previous;
    // The held copy's playfield; the level holder owns it.
    CPlayfield* playfield = nullptr;
    uint32_t heldIndex = 0;
    const CLevelOptions* heldSource = nullptr; // compared, never used
    CLevelSorterWindow* sorter = nullptr;      // checked against the screen's children before use
    CSprite* underMouse = nullptr;             // found each update, never kept past it
    // The windows the layers below opened before the level: the level covers
    // them. Compared, never used.
    std::vector<const CJWindow*> underLevel;
    bool leftDown = false;
    bool sorterKeyDown = false;
};
SShowcase* g_Showcase = nullptr;

uint32_t SequenceIndex(const char* name)
{
    const int32_t index = GetSequenceList().Find(name);
    return index < 0 ? 0u : uint32_t(index);
}

// The look that the data cannot carry: the far trees blue with distance
// and a little faded, the autumn trees orange.
void Dress(CPlayfield& playfield)
{
    struct STint {
        const char* layer;
        CColor colour;
    };
    const STint tints[] = {{"Far Trees", CColor(150, 170, 255, 200)}, {"Autumn Trees", CColor(255, 150, 70, 255)}};
    for (const STint& tint : tints) {
        CPlayfieldLayer* layer = playfield.FindLayer(tint.layer);
        for (uint32_t j = 0; layer && j < layer->GetSpriteCount(); ++j)
            layer->GetSprite(j)->SetColor(tint.colour);
    }
}

// Where the bird lands: a burst that plays once.
class CBurstCommand final : public CCommand {
public:
    explicit CBurstCommand(CFPoint where)
        : m_Where(where)
    {
    }
    void Execute() override
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        if (!playfield)
            return;
        auto* burst = new CSprite;
        auto* ai = new CSpriteAIPlayAnimationOnce;
        ai->m_Sequence = int32_t(SequenceIndex(kBurstSequence));
        ai->m_FadeFraction = 0.3f;
        burst->SetImageSequence(uint32_t(ai->m_Sequence));
        burst->AddAI(ai);
        burst->SetPosition(m_Where.x, m_Where.y);
        playfield->InsertSpriteFirst(burst, kEffectsLayer);
    }

private:
    CFPoint m_Where;
};

void SendBird(CPlayfield& playfield, CFPoint target)
{
    auto* bird = new CSprite;
    bird->SetImageSequence(SequenceIndex(kBirdSequence));
    bird->SetPosition(kBirdStart.x, kBirdStart.y);
    auto* fly = new CSpriteAIFlyToPoint(target.x, target.y, kBirdSpeed, new CBurstCommand(target));
    fly->SetAnimationSequence(SequenceIndex(kBirdSequence));
    bird->AddAI(fly);
    playfield.AddSprite(bird, kEffectsLayer);
}

// The top sprite at the point: layers from the top, each layer's first
// sprite first, as they are drawn.
CSprite* SpriteAt(CPlayfield& playfield, CFPoint point)
{
    for (uint32_t i = playfield.GetLayerCount(); i-- > 0;) {
        CPlayfieldLayer* layer = playfield.GetLayer(i);
        if (!layer || !layer->m_VisibleInEditor)
            continue;
        const CFPoint inLayer = layer->ScreenToLayer(point);
        for (uint32_t j = 0; j < layer->GetSpriteCount(); ++j) {
            CSprite* sprite = layer->GetSprite(j);
            if (sprite && !sprite->IsMarkedForDeletion() && sprite->HitTest(inLayer.x, inLayer.y))
                return sprite;
        }
    }
    return nullptr;
}

// Holds a copy of the current level of "Levels", as a level start does.
void HoldCurrentLevel()
{
    g_Showcase->playfield = nullptr;
    g_Showcase->heldIndex = GetCurrentLevelIndex();
    CLevelSet* levels = FindLevels();
    CLevelOptions* level = levels ? levels->GetLevel(g_Showcase->heldIndex) : nullptr;
    g_Showcase->heldSource = level;
    if (!level) {
        GetLevelHolder().Release();
        return;
    }
    GetLevelHolder().HoldCopyOf(level);
    if (CLevelOptions* held = CLevelOptions::SGetCurrent()) {
        g_Showcase->playfield = &held->GetPlayfield();
        Dress(*g_Showcase->playfield);
    }
}

bool IsSorterOpen()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen || !g_Showcase->sorter)
        return false;
    for (const CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling())
        if (child == g_Showcase->sorter)
            return true;
    g_Showcase->sorter = nullptr;
    return false;
}

bool IsChildOf(const CJWindow& parent, const CJWindow* window)
{
    for (const CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
        if (child == window)
            return true;
    return false;
}

// Whether a window opened after the level was taken up is shown: the
// sorter, and what opens from it once it has closed (an object editor, a
// message box), lie over the level.
bool HasWindowOverLevel()
{
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return false;
    // A window gone is forgotten, so that a new one at its address is not
    // taken for it.
    std::vector<const CJWindow*>& under = g_Showcase->underLevel;
    under.erase(std::remove_if(under.begin(), under.end(),
                               [screen](const CJWindow* window) { return !IsChildOf(*screen, window); }),
                under.end());
    for (const CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling())
        if (child->IsVisible() && std::find(under.begin(), under.end(), child) == under.end())
            return true;
    return false;
}

// The level's picture, in the top right corner behind its playfield.
void DrawBackground(CFrameInterface& screen)
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CBackgroundStyleSheetList& sheets = GetBackgroundStyleSheetList();
    if (!level || level->m_Background < 0 || level->m_Background >= sheets.GetCount())
        return;
    CBackgroundStyleSheet* sheet = sheets.GetObject(level->m_Background);
    CFrameList& frames = GetFrameLibrary();
    if (!sheet || sheet->m_BackgroundImage < 0 || sheet->m_BackgroundImage >= frames.GetCount())
        return;
    if (CFrame* picture = frames.GetObject(sheet->m_BackgroundImage))
        BlitAt(screen, *picture, int32_t(screen.GetWidth()) - int32_t(picture->GetWidth()), 0,
               GetTransparentMaskBlitType());
}

void Init()
{
    if (g_Showcase->previous.init)
        g_Showcase->previous.init();
    // The trees name their poke sound in the audio list.
    GetAudioList().SetSource("Resources/Audio");
    InitGeneralObjects();
    HoldCurrentLevel();
    g_Showcase->underLevel.clear();
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
        for (const CJWindow* child = screen->GetFirstChild(); child; child = child->GetNextSibling())
            g_Showcase->underLevel.push_back(child);
}

void Update(float seconds)
{
    if (g_Showcase->previous.update)
        g_Showcase->previous.update(seconds);
    const bool sorterKey = CKeyboardState::SGetInstance().IsKeyDown(kSorterKey);
    if (sorterKey && !g_Showcase->sorterKeyDown && !IsSorterOpen() && FindLevels())
        g_Showcase->sorter = OpenLevelSorter();
    g_Showcase->sorterKeyDown = sorterKey;
    // The sorter may have put another level at the current index.
    if (IsSorterOpen() || GetCurrentLevelIndex() != g_Showcase->heldIndex) {
        CLevelSet* levels = FindLevels();
        const CLevelOptions* current = levels ? levels->GetLevel(GetCurrentLevelIndex()) : nullptr;
        if (GetCurrentLevelIndex() != g_Showcase->heldIndex || current != g_Showcase->heldSource)
            HoldCurrentLevel();
    }
    CPlayfield* playfield = g_Showcase->playfield;
    if (!playfield)
        return;
    // A press that no window of the window tree lies under reaches the town.
    CMouseState& mouse = CMouseState::SGetInstance();
    const bool down = (mouse.GetButtons() & kLeftButton) != 0;
    if (down && !g_Showcase->leftDown) {
        CScreenWindow* windows = CScreenWindow::GetScreenWindow();
        if (!windows || !windows->GetChildAt(mouse.GetPositionPoint()))
            SendBird(*playfield, mouse.GetPositionFloat());
    }
    g_Showcase->leftDown = down;
    g_Showcase->underMouse = nullptr;
    playfield->Update(seconds);
    g_Showcase->underMouse = SpriteAt(*playfield, mouse.GetPositionFloat());
}

void Draw(CFrameInterface& screen)
{
    if (g_Showcase->previous.draw)
        g_Showcase->previous.draw(screen);
    CPlayfield* playfield = g_Showcase->playfield;
    if (!playfield)
        return;
    DrawBackground(screen);
    playfield->Draw(screen);
    if (CSprite* sprite = g_Showcase->underMouse) {
        CRect bounds{0, 0, 0, 0};
        sprite->GetBounds(bounds);
        const CFPoint scale = sprite->GetScale();
        const CFPoint at = sprite->GetPosition();
        const float sx = scale.x < 0 ? -scale.x : scale.x;
        const float sy = scale.y < 0 ? -scale.y : scale.y;
        const int32_t left = int32_t(at.x + float(bounds.left) * sx) - 2;
        const int32_t top = int32_t(at.y + float(bounds.top) * sy) - 2;
        const int32_t right = int32_t(at.x + float(bounds.right) * sx) + 2;
        const int32_t bottom = int32_t(at.y + float(bounds.bottom) * sy) + 2;
        CColor mark(255, 240, 80, 255);
        screen.DrawLine(left, top, right, top, mark);
        screen.DrawLine(right, top, right, bottom, mark);
        screen.DrawLine(right, bottom, left, bottom, mark);
        screen.DrawLine(left, bottom, left, top, mark);
    }
    if (HasWindowOverLevel())
        CScreenWindow::GetScreenWindow()->DrawToScreen();
}

} // namespace

void InstallWorldShowcase()
{
    // Kept for the whole run, as the hooks are; installing again starts afresh.
    if (g_Showcase)
        *g_Showcase = SShowcase();
    else
        g_Showcase = new SShowcase;
    g_Showcase->previous = GetStandInHooks();
    SStandInHooks hooks;
    hooks.init = &Init;
    hooks.update = &Update;
    hooks.draw = &Draw;
    SetStandInHooks(hooks);
}

CPlayfield* GetWorldShowcasePlayfield()
{
    return g_Showcase ? g_Showcase->playfield : nullptr;
}
