#include "game/scripting/CSprite.h"

#include "SpriteFixture.h"
#include "game/scripting/CFrameSelector.h"
#include "game/scripting/ScriptingHooks.h"
#include "images/CFrame.h"
#include "objects/CMessage.h"
#include "render/CPointPath.h"
#include "sequences/CSequence.h"
#include "support/ScopedHooks.h"
#include "support/objects/ObjectRoundTrip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr float kPi = 3.14159265f;

class CCountingPlugIn : public CSpritePlugIn {
public:
    explicit CCountingPlugIn(std::vector<std::string>* log = nullptr)
        : m_Log(log)
    {
    }
    void Restart(CPlugInUpdateRecord&) override { ++m_Restarts; }
    void Update(CPlugInUpdateRecord& record) override
    {
        ++m_Updates;
        m_Seconds = record.seconds;
        if (m_Log)
            m_Log->push_back("plug-in:update");
    }
    void Draw(CPlugInDrawRecord&) override
    {
        if (m_Log)
            m_Log->push_back("plug-in:draw");
    }
    void HandleMessage(CMessage&) override
    {
        if (m_Log)
            m_Log->push_back("plug-in:message");
    }

    int m_Restarts = 0;
    int m_Updates = 0;
    float m_Seconds = 0.0f;

private:
    std::vector<std::string>* m_Log;
};

class CViewerHooks : public CScriptingHooks {
public:
    bool IsNeighborhoodViewerOpen() override { return m_ViewerOpen; }
    bool DrawSpriteInEditor(CSprite&, CFrameInterface&) override
    {
        ++m_EditorDraws;
        return true;
    }
    bool m_ViewerOpen = false;
    int m_EditorDraws = 0;
};

using Sprites = SpriteFixture;

TEST_F(Sprites, UpdateRestartsOnceRunsTheAIMovesAndRunsPlugInsInThatOrder)
{
    std::vector<std::string> log;
    CSprite sprite;
    auto* ai = new CRecordingAI(log, "ai");
    CFPoint seenPosition{-1.0f, -1.0f};
    ai->m_OnUpdate = [&](CSpriteUpdateRecord& record) { seenPosition = record.sprite->GetPosition(); };
    sprite.AddAI(ai);
    auto* plugIn = new CCountingPlugIn(&log);
    sprite.AddPlugIn(plugIn);
    EXPECT_EQ(plugIn->m_Restarts, 1);
    EXPECT_EQ(plugIn->GetSprite(), &sprite);
    sprite.SetVelocity(1.0f, 2.0f);
    sprite.SetAcceleration(0.5f, 0.0f);

    sprite.Update();
    EXPECT_TRUE(sprite.HasRestartBeenCalled());
    EXPECT_EQ(plugIn->m_Restarts, 2);
    EXPECT_EQ(ai->m_Seconds, 0.016666668f);
    EXPECT_EQ(plugIn->m_Seconds, 0.016666668f);
    EXPECT_EQ(seenPosition, (CFPoint{0.0f, 0.0f})) << "the AI runs before the motion";
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{1.5f, 2.0f}));
    EXPECT_EQ(log, (std::vector<std::string>{"ai:update", "plug-in:update"}));

    sprite.Update();
    EXPECT_EQ(plugIn->m_Restarts, 2) << "a restart only happens again through RestartPlugIns";
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{3.5f, 4.0f}));
    sprite.RestartPlugIns();
    EXPECT_EQ(plugIn->m_Restarts, 3);
    EXPECT_EQ(CSprite::GetSpriteBeingUpdated(), nullptr);
}

TEST_F(Sprites, NoMotionFlagAndTheNeighbourhoodViewerStopOnlyTheirOwnStep)
{
    CViewerHooks hooks;
    CScopedHook<SetScriptingHooks> installed(&hooks);
    std::vector<std::string> log;
    CSprite sprite;
    sprite.AddAI(new CRecordingAI(log, "ai"));
    auto* plugIn = new CCountingPlugIn;
    sprite.AddPlugIn(plugIn);
    sprite.SetVelocity(1.0f, 1.0f);
    sprite.SetFlags(kSpriteVisible | kSpriteSolid | kSpriteNoMotion);
    sprite.Update();
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{0.0f, 0.0f}));
    EXPECT_EQ(plugIn->m_Updates, 1);
    EXPECT_EQ(log.size(), 1u);

    hooks.m_ViewerOpen = true;
    sprite.SetFlags(kSpriteVisible | kSpriteSolid);
    sprite.Update();
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{1.0f, 1.0f}));
    EXPECT_EQ(plugIn->m_Updates, 1) << "scripts pause while the viewer shows";
    EXPECT_EQ(log.size(), 2u) << "the AI still runs";
}

TEST_F(Sprites, ArrayDeletesMarkedSpritesAfterThePassAndFollowsChangesMadeDuringIt)
{
    std::vector<std::string> log;
    auto array = std::make_unique<CSpriteArray>();
    CSprite* a = MakeSprite("Block", 0, 0);
    CSprite* b = MakeSprite("Block", 0, 0);
    CSprite* c = MakeSprite("Block", 0, 0);
    auto* aAI = new CRecordingAI(log, "a");
    auto* bAI = new CRecordingAI(log, "b");
    a->AddAI(aAI);
    b->AddAI(bAI);
    c->AddAI(new CRecordingAI(log, "c"));
    array->Add(a);
    array->Add(b);
    array->Add(c);

    // a marks itself: it still moves this step and goes after the whole pass.
    a->SetVelocity(2.0f, 0.0f);
    aAI->m_OnUpdate = [&](CSpriteUpdateRecord& record) {
        record.sprite->MarkForDeletion();
        EXPECT_EQ(array->GetCount(), 3u);
    };
    array->Update();
    EXPECT_EQ(log, (std::vector<std::string>{"a:update", "b:update", "c:update"}));
    ASSERT_EQ(array->GetCount(), 2u);
    EXPECT_EQ(array->GetAt(0), b);

    // b inserts a newcomer in front of itself: b moved one place on, c still
    // gets its one update, the newcomer waits for the next pass.
    log.clear();
    CSprite* newcomer = MakeSprite("Block", 0, 0);
    newcomer->AddAI(new CRecordingAI(log, "new"));
    bool inserted = false;
    bAI->m_OnUpdate = [&](CSpriteUpdateRecord&) {
        if (!inserted)
            array->InsertAtFront(newcomer);
        inserted = true;
    };
    array->Update();
    EXPECT_EQ(log, (std::vector<std::string>{"b:update", "c:update"}));
    ASSERT_EQ(array->GetCount(), 3u);

    // b takes itself out and destroys itself: its update stops at once and
    // the pass goes on with the sprite that followed it.
    log.clear();
    bAI->m_OnUpdate = [&](CSpriteUpdateRecord& record) {
        CSprite* self = record.sprite;
        array->Remove(self);
        delete self;
    };
    array->Update();
    EXPECT_EQ(log, (std::vector<std::string>{"new:update", "b:update", "c:update"}));
    EXPECT_EQ(array->GetCount(), 2u);
    EXPECT_EQ(CSprite::GetSpriteBeingUpdated(), nullptr);
    // The rest are deleted with the array (the sanitizer build sees leaks).
    array.reset();
}

TEST_F(Sprites, ArrayDrawsThreeWholePassesLastSpriteFirstSoTheFirstIsOnTop)
{
    std::vector<std::string> log;
    CSpriteArray array;
    const char* names[] = {"one", "two", "three"};
    CSprite* first = nullptr;
    for (const char* name : names) {
        CSprite* sprite = MakeSprite("Block", 6, 6);
        sprite->AddAI(new CRecordingAI(log, name));
        array.Add(sprite);
        if (!first)
            first = sprite;
    }
    // The last sprite is tinted, so its pixels differ from the first's.
    array.GetAt(2)->SetColor(CColor(0, 0, 255, 255));
    auto target = CFrame::MakeOwned(16, 16, 32);
    array.Draw(*target);
    EXPECT_EQ(log,
              (std::vector<std::string>{"three:pre", "two:pre", "one:pre", "three:draw", "two:draw", "one:draw",
                                        "three:post", "two:post", "one:post"}));
    CFrame* frame = first->GetCurrentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(target->GetRawPixel(5, 5), frame->GetRawPixel(0, 0));
    EXPECT_EQ(target->GetRawPixel(1, 1), 0u);

    // While the level editor is open the editor draws the image pass.
    CViewerHooks hooks;
    CScopedHook<SetScriptingHooks> installed(&hooks);
    CScopedHook<SetLevelEditorOpenQuery> editor([] { return true; });
    log.clear();
    array.Draw(*target);
    EXPECT_EQ(hooks.m_EditorDraws, 3);
    EXPECT_EQ(log.size(), 6u) << "pre and post passes only";
}

TEST_F(Sprites, UnturnedSpritesAreCopiedAtWholePixelsTurnedOnesResampled)
{
    std::unique_ptr<CSprite> sprite(MakeSprite("Block", 8.4f, 7.6f));
    const uint32_t pixel = sprite->GetCurrentFrame()->GetRawPixel(0, 0);
    auto target = CFrame::MakeOwned(24, 24, 32);
    sprite->DrawImage(*target);
    EXPECT_EQ(target->GetRawPixel(4, 4), pixel);
    EXPECT_EQ(target->GetRawPixel(11, 11), pixel);
    EXPECT_EQ(target->GetRawPixel(12, 11), 0u);
    EXPECT_EQ(target->GetRawPixel(3, 4), 0u);

    target->Clear();
    sprite->SetUniformScale(2.0f);
    sprite->DrawImage(*target);
    EXPECT_EQ(target->GetRawPixel(8, 8), pixel) << "inside the doubled image";
    EXPECT_NE(target->GetRawPixel(1, 8), 0u) << "reaches the doubled edge";
    EXPECT_EQ(target->GetRawPixel(17, 8), 0u);
}

TEST_F(Sprites, TintedAndFadedSpritesDrawThroughTheTransformedBlit)
{
    CSprite* sprite = MakeSprite("Block", 4, 4);
    std::unique_ptr<CSprite> owner(sprite);
    sprite->SetOpacity(0.5f);
    EXPECT_EQ(sprite->GetColor().GetAlpha(), 128);
    EXPECT_EQ(sprite->GetColor().GetRed(), 255);
    auto target = CFrame::MakeOwned(8, 8, 32);
    sprite->DrawImage(*target);
    CColor drawn;
    ASSERT_TRUE(target->GetPixel(4, 4, drawn));
    EXPECT_NEAR(drawn.GetAlpha(), 128, 8);
    EXPECT_NE(target->GetRawPixel(4, 4), sprite->GetCurrentFrame()->GetRawPixel(0, 0));
    sprite->SetOpacity(3.0f);
    EXPECT_EQ(sprite->GetColor().GetAlpha(), 255);
    sprite->SetOpacity(-1.0f);
    EXPECT_EQ(sprite->GetColor().GetAlpha(), 0);
}

TEST_F(Sprites, ScaleAboutRotateAboutAndMoveToward)
{
    CSprite sprite;
    sprite.SetPosition(10.0f, 20.0f);
    sprite.SetAngle(1.0f);
    sprite.ScaleAbout(-1.0f, 2.0f, {4.0f, 4.0f}, false);
    EXPECT_EQ(sprite.GetScale(), (CFPoint{1.0f, 2.0f}));
    EXPECT_FLOAT_EQ(sprite.GetAngle(), 2.0f * kPi - 1.0f);
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{-2.0f, 36.0f}));
    sprite.ScaleAbout(3.0f, 3.0f, {0.0f, 0.0f}, true);
    EXPECT_EQ(sprite.GetScale(), (CFPoint{1.0f, 2.0f})) << "keep scale moves only the position";
    EXPECT_EQ(sprite.GetPosition(), (CFPoint{-6.0f, 108.0f}));

    CSprite turning;
    turning.SetPosition(3.0f, 2.0f);
    turning.SetAngle(6.0f);
    turning.RotateAbout(kPi / 2.0f, {1.0f, 2.0f}, false);
    EXPECT_NEAR(turning.GetPosition().x, 1.0f, 1e-5f);
    EXPECT_NEAR(turning.GetPosition().y, 4.0f, 1e-5f);
    EXPECT_NEAR(turning.GetAngle(), 6.0f + kPi / 2.0f - 2.0f * kPi, 1e-5f);
    EXPECT_GE(turning.GetAngle(), 0.0f);
    turning.RotateAbout(kPi, {1.0f, 2.0f}, true);
    EXPECT_NEAR(turning.GetAngle(), 6.0f + kPi / 2.0f - 2.0f * kPi, 1e-5f);
    EXPECT_NEAR(turning.GetPosition().y, 0.0f, 1e-5f);

    CSprite walker;
    walker.MoveToward({30.0f, 40.0f}, 10.0f);
    EXPECT_EQ(walker.GetPosition(), (CFPoint{6.0f, 8.0f}));
    walker.MoveToward({7.0f, 8.5f}, 10.0f);
    EXPECT_EQ(walker.GetPosition(), (CFPoint{7.0f, 8.5f})) << "a near target is reached exactly";
    walker.MoveToward({7.0f, 8.5f}, 10.0f);
    EXPECT_EQ(walker.GetPosition(), (CFPoint{7.0f, 8.5f}));
}

TEST_F(Sprites, FramesBoundsSortAndQueries)
{
    std::unique_ptr<CSprite> sprite(MakeSprite("Ten", 0.0f, 30.0f));
    sprite->SetFramePosition(3.75f);
    EXPECT_EQ(sprite->GetFrameIndex(), 3u);
    EXPECT_EQ(sprite->GetCurrentFrame(), sprite->GetImageSequence()->GetFrame(3));
    sprite->SetFramePosition(10.0f);
    EXPECT_EQ(sprite->GetCurrentFrame(), nullptr) << "past the last frame nothing is drawn";
    EXPECT_EQ(sprite->GetSortY(), 30.0f);
    sprite->SetImageSequence(Index("Block"));
    sprite->SetFramePosition(0.0f);
    EXPECT_EQ(sprite->GetSortY(), 25.0f);
    sprite->SetImageSequence(Index("!None"));
    EXPECT_EQ(sprite->GetImageSequence(), nullptr) << "index 0 is no sequence";

    sprite->SetImageSequence(Index("Block"));
    std::vector<std::string> log;
    CRect bounds;
    sprite->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{-4, -4, 4, 4})) << "hot spots are centred";
    sprite->AddAI(new CRecordingAI(log, "first"));
    sprite->AddAI(new CRecordingAI(log, "second"));
    sprite->GetBounds(bounds);
    EXPECT_EQ(bounds, (CRect{-4, -4, 104, 4}));
    EXPECT_EQ(log, (std::vector<std::string>{"first:bounds"}));

    EXPECT_FALSE(sprite->QueryAI(1, 2)) << "no AI of the chain answers";
    sprite->SetFlags(kSpriteVisible);
    EXPECT_TRUE(sprite->QueryAI(1, 2)) << "a sprite that is not solid answers true";
    sprite->SetVisible(false);
    EXPECT_EQ(sprite->GetDrawnFrame(), nullptr);

    log.clear();
    std::unique_ptr<CSprite> messaged(MakeSprite("Block", 0, 0));
    messaged->AddAI(new CRecordingAI(log, "ai"));
    messaged->AddPlugIn(new CCountingPlugIn(&log));
    CMessage message = CMessage::CMessageByName("Hello");
    messaged->HandleMessage(message);
    EXPECT_EQ(log, (std::vector<std::string>{"ai:message", "plug-in:message"}));
}

TEST_F(Sprites, PlainDrawIsUnturnedAtTheRoundedPositionPlusTen)
{
    std::unique_ptr<CSprite> sprite(MakeSprite("Block", 1.4f, 2.6f));
    sprite->SetAngle(1.0f);
    sprite->SetUniformScale(3.0f);
    auto target = CFrame::MakeOwned(32, 32, 32);
    sprite->DrawPlain(*target);
    const uint32_t pixel = sprite->GetCurrentFrame()->GetRawPixel(0, 0);
    EXPECT_EQ(target->GetRawPixel(7, 9), pixel);
    EXPECT_EQ(target->GetRawPixel(14, 16), pixel);
    EXPECT_EQ(target->GetRawPixel(15, 16), 0u);
    EXPECT_EQ(target->GetRawPixel(6, 9), 0u);
    target->Clear();
    sprite->SetNoPlainDraw(true);
    sprite->DrawPlain(*target);
    EXPECT_EQ(target->GetRawPixel(11, 13), 0u);
}

TEST_F(Sprites, LoadedAndCopiedSpritesTellTheirPlugInsWhoTheyAre)
{
    // Saved after its restart, so its first update will not restart it again.
    CSprite source;
    source.SetImageSequence(Index("Block"));
    source.AddPlugIn(new CSpritePlugInSequence);
    source.Update();
    ASSERT_TRUE(source.HasRestartBeenCalled());
    auto expectOwnSprite = [](CSprite& sprite) {
        ASSERT_EQ(sprite.GetPlugIns().GetChildCount(), 1u);
        EXPECT_EQ(sprite.GetPlugIns().GetChild(0)->GetSprite(), &sprite);
        EXPECT_TRUE(sprite.HasRestartBeenCalled());
    };
    std::unique_ptr<CObject> fromText(
        ObjectFromText(ObjectToText(&source, IdMode::WithoutIds), IdMode::WithoutIds, StreamReports::Fatal));
    auto* textSprite = dynamic_cast<CSprite*>(fromText.get());
    ASSERT_NE(textSprite, nullptr);
    expectOwnSprite(*textSprite);
    EXPECT_EQ(textSprite->GetImageSequenceIndex(), Index("Block"));
    CSprite fromBinary;
    ASSERT_TRUE(ObjectFromBinary(fromBinary, ObjectToBinary(&source, IdMode::WithoutIds), IdMode::WithoutIds,
                                 StreamReports::Fatal));
    expectOwnSprite(fromBinary);
    std::unique_ptr<CObject> clone(source.Clone());
    expectOwnSprite(*static_cast<CSprite*>(clone.get()));

    // An empty block is not written.
    CSprite plain;
    EXPECT_EQ(ObjectToText(&plain, IdMode::WithoutIds).find("PlugIns"), std::string::npos);
}

// --- Hits ---------------------------------------------------------------------

class CHitAreaAI : public CSpriteAI {
public:
    CHitAreaAI()
    {
        m_Path.InsertPoint(-5.0f, -5.0f, CPointPath::kAppend);
        m_Path.InsertPoint(5.0f, -5.0f, CPointPath::kAppend);
        m_Path.InsertPoint(5.0f, 5.0f, CPointPath::kAppend);
        m_Path.InsertPoint(-5.0f, 5.0f, CPointPath::kAppend);
        m_Path.Close();
    }
    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
    CPointPath* GetHitArea(CSprite*) override { return &m_Path; }

private:
    CPointPath m_Path;
};

TEST_F(Sprites, HitTestUsesTheAIsPointPathElseTheOnePixelDraw)
{
    std::unique_ptr<CSprite> sprite(MakeSprite("Block", 20.0f, 20.0f));
    EXPECT_TRUE(sprite->HitTest(16, 16));
    EXPECT_TRUE(sprite->HitTest(23, 23));
    EXPECT_FALSE(sprite->HitTest(24, 23));
    EXPECT_FALSE(sprite->HitTest(15, 20));
    // Turned and scaled: the drawing decides, not the frame's rectangle.
    sprite->SetUniformScale(2.0f);
    EXPECT_TRUE(sprite->HitTest(26, 26));
    sprite->SetVisible(false);
    EXPECT_FALSE(sprite->HitTest(21, 21));
    sprite->SetVisible(true);

    std::unique_ptr<CSprite> empty(MakeSprite("Empty", 20.0f, 20.0f));
    EXPECT_FALSE(empty->HitTest(20, 20)) << "the pixel stays transparent black";

    std::unique_ptr<CSprite> pathed(MakeSprite("Empty", 100.0f, 100.0f));
    pathed->AddAI(new CHitAreaAI);
    EXPECT_TRUE(pathed->HitTest(96, 103));
    EXPECT_FALSE(pathed->HitTest(94, 100));
}

TEST_F(Sprites, HitTestFramesTakesThePointIntoTurnedAndScaledSpriteSpace)
{
    // "Wide" is 8 x 4 about its centred hot spot.
    std::unique_ptr<CSprite> sprite(MakeSprite("Wide", 50.0f, 50.0f));
    EXPECT_TRUE(sprite->HitTestFrames(53, 51));
    EXPECT_FALSE(sprite->HitTestFrames(50, 52));
    EXPECT_FALSE(sprite->HitTestFrames(48, 56));
    // A quarter turn lays the frame along +y; scale 2 doubles it.
    sprite->SetAngle(kPi / 2.0f);
    sprite->SetUniformScale(2.0f);
    EXPECT_TRUE(sprite->HitTestFrames(48, 56));
    EXPECT_FALSE(sprite->HitTestFrames(57, 51));
    EXPECT_FALSE(sprite->HitTestFrames(48, 59));
    sprite->SetScale({0.0f, 2.0f});
    EXPECT_FALSE(sprite->HitTestFrames(50, 50)) << "scaled to nothing";
    sprite->SetUniformScale(2.0f);
    sprite->SetFlags(kSpriteVisible);
    EXPECT_FALSE(sprite->HitTestFrames(48, 56)) << "parts that are not solid are not tested";
}

// --- Near and overlap between sprites -------------------------------------------

TEST_F(Sprites, NearAndOverlapNeedLivingSolidSprites)
{
    std::unique_ptr<CSprite> a(MakeSprite("Block", 0.0f, 0.0f));
    std::unique_ptr<CSprite> b(MakeSprite("Block", 24.0f, 17.0f));
    EXPECT_TRUE(a->IsNear(b.get())) << "edges count";
    b->SetPosition(24.5f, 0.0f);
    EXPECT_FALSE(a->IsNear(b.get()));

    b->SetPosition(7.0f, 7.0f);
    EXPECT_TRUE(a->OverlapsSprite(b.get()));
    EXPECT_TRUE(b->OverlapsSprite(a.get()));
    b->SetPosition(8.0f, 0.0f);
    EXPECT_FALSE(a->OverlapsSprite(b.get()));
    b->SetPosition(7.6f, 0.0f);
    EXPECT_FALSE(a->OverlapsSprite(b.get())) << "positions round to whole pixels";
    b->SetPosition(7.4f, 0.0f);
    EXPECT_TRUE(a->OverlapsSprite(b.get()));
    b->MarkForDeletion();
    EXPECT_FALSE(a->OverlapsSprite(b.get()));
    EXPECT_FALSE(a->IsNear(b.get()));
}

// --- The held sprite ---------------------------------------------------------------

TEST_F(Sprites, HeldSpriteDrawsAtTheMouseAndIsLetGoWhenDestroyed)
{
    CSprite* sprite = MakeSprite("Block", 10.0f, 10.0f);
    sprite->AddAI(new CHitAreaAI);
    StartDraggingSprite(sprite, 13, 12);
    EXPECT_EQ(GetDraggedSprite(), sprite);
    EXPECT_EQ(GetDraggedSpriteAI(), sprite->GetAI());
    auto target = CFrame::MakeOwned(32, 32, 32);
    DrawDraggedSprite(*target, 20, 20);
    EXPECT_EQ(target->GetRawPixel(13, 14), sprite->GetCurrentFrame()->GetRawPixel(0, 0));
    EXPECT_EQ(target->GetRawPixel(12, 14), 0u);
    EXPECT_EQ(sprite->GetPosition(), (CFPoint{10.0f, 10.0f})) << "the position is put back";

    ReleaseDraggedSpriteIfIs(nullptr);
    EXPECT_EQ(GetDraggedSprite(), sprite);
    delete sprite;
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_EQ(GetDraggedSpriteAI(), nullptr);
    DrawDraggedSprite(*target, 0, 0); // nothing held: nothing drawn, no crash

    CSprite other;
    SetDraggedSprite(&other, {1.0f, 1.0f});
    StartDraggingSprite(nullptr, 0, 0);
    EXPECT_EQ(GetDraggedSprite(), nullptr);
}

} // namespace
