// Overlay sets: lookup order and the offset accumulator, the per-entry
// opacity rule, proxies only when the context is not at rest, the editor's
// rest, nested sets (cycles skipped, the outer set restored) and the set
// serving a loading picture.
#include "OverlayTestSupport.h"

#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CFileListList.h"
#include "overlays/ContainerOverlays.h"
#include "overlays/ImageOverlays.h"
#include "overlays/TextOverlays.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/UiHooks.h"

#include <gtest/gtest.h>

namespace {

CRecordingOverlay* Recorder(const char* id, float opacity = 1.0f)
{
    auto* overlay = new CRecordingOverlay;
    overlay->m_ID = id;
    overlay->m_Opacity = opacity;
    return overlay;
}

using OverlaySet = OverlayTest;

TEST_F(OverlaySet, ChildrenAreSearchedBeforeTheirContainerFirstMatchCaseBlind)
{
    CFrameOverlayOptions set;
    EXPECT_EQ(set.FindOverlay(CJString("Any"), nullptr, nullptr), nullptr);

    auto* conditional = new CConditionalFrameOverlay;
    conditional->m_ID = "okbutton";
    conditional->m_StringToCheck = "set";
    conditional->m_pWhenNotEmpty = Recorder("OKBUTTON");
    set.Append(conditional);
    CRecordingOverlay* later = Recorder("okButton");
    set.Append(later);

    CFrameOverlay* found = set.FindOverlay(CJString("OkButton"), nullptr, nullptr);
    EXPECT_EQ(found, conditional->m_pWhenNotEmpty);
    // The string now picks the empty child, which is null: the container itself matches.
    conditional->m_StringToCheck = "0";
    EXPECT_EQ(set.FindOverlay(CJString("OkButton"), nullptr, nullptr), conditional);
    EXPECT_EQ(set.FindPositionMarker(CJString("OkButton")), nullptr);
}

TEST_F(OverlaySet, NestedSetsAddTheirPositionOnSuccessAndTakeItOffOnFailure)
{
    AddSet("Inner",
           "Text Overlays=Array\n{\nItem Count=1\nArray Item=CFrameOverlayPositionMarker\n{\nID=Spot\n"
           "Position=5,6\n}\n}");
    AddSet("Outer",
           "Text Overlays=Array\n{\nItem Count=2\nArray Item=CNestedFooFrameOverlay\n{\nPositon=100,40\n"
           "Foo File=Inner\n}\nArray Item=CFrameOverlayPositionMarker\n{\nID=Other\n}\n}");
    ResetLists();
    CFrameOverlayOptions* outer = Set("Outer");
    ASSERT_NE(outer, nullptr);
    CPoint offset{0, 0};
    auto* spot = dynamic_cast<CFrameOverlayPositionMarker*>(outer->FindOverlay(CJString("spot"), nullptr, &offset));
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spot->m_Position, (CPoint{5, 6}));
    EXPECT_EQ(offset, (CPoint{100, 40}));
    offset = CPoint{0, 0};
    EXPECT_NE(outer->FindOverlay(CJString("Other"), nullptr, &offset), nullptr);
    EXPECT_EQ(offset, (CPoint{0, 0}));
    EXPECT_EQ(outer->FindOverlay(CJString("Missing"), nullptr, &offset), nullptr);
    EXPECT_EQ(offset, (CPoint{0, 0}));
}

TEST_F(OverlaySet, EntryOpacityMultipliesOnlyForSetEntries)
{
    CFrameOverlayOptions set;
    CRecordingOverlay* half = Recorder("Half", 0.5f);
    CRecordingOverlay* whole = Recorder("Whole");
    auto* conditional = new CConditionalFrameOverlay;
    conditional->m_StringToCheck = "";
    CRecordingOverlay* child = Recorder("Child", 0.5f);
    conditional->m_pWhenEmpty = child;
    set.Append(half);
    set.Append(whole);
    set.Append(conditional);

    auto canvas = Canvas();
    CFrameOverlayDrawContext context;
    context.m_pTarget = canvas.get();
    context.m_Opacity = 0.5f;
    set.Draw(context);
    ASSERT_EQ(half->m_Seen.size(), 1u);
    EXPECT_FLOAT_EQ(half->m_Seen[0].m_Opacity, 0.25f);
    EXPECT_FLOAT_EQ(whole->m_Seen[0].m_Opacity, 0.5f);
    // A container draws its child as it is.
    EXPECT_FLOAT_EQ(child->m_Seen[0].m_Opacity, 0.5f);
    EXPECT_FLOAT_EQ(context.m_Opacity, 0.5f);
    EXPECT_EQ(half->m_Seen[0].m_pCurrentSet, &set);
}

TEST_F(OverlaySet, ImagesDrawThroughProxiesOnlyAwayFromRestAndNeverInTheEditor)
{
    AddFrame("Red", 4, 4, 0xFFFF0000u);
    ResetLists();
    CFrameOverlayOptions set;
    auto* image = new CFrameOverlayFrameOverlay;
    image->m_Image = FrameIndex("Red");
    image->m_Position = CPoint{10, 10};
    set.Append(image);

    auto plain = Canvas();
    set.DrawOnFrame(*plain, nullptr, false, nullptr);
    EXPECT_EQ(Pixel(*plain, 10, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel(*plain, 9, 10), 0u);

    image->m_Opacity = 0.5f;
    auto faded = Canvas();
    set.DrawOnFrame(*faded, nullptr, false, nullptr);
    const uint32_t red = (Pixel(*faded, 10, 10) >> 16) & 0xFF;
    EXPECT_GT(red, 100u);
    EXPECT_LT(red, 155u);

    struct CEditorOpen : CUiHooks {
        bool IsLevelEditorOpen() override { return true; }
    } open;
    CScopedHook<SetUiHooks> editor(&open);
    auto atRest = Canvas();
    set.DrawOnFrame(*atRest, nullptr, false, nullptr);
    EXPECT_EQ(Pixel(*atRest, 10, 10), 0xFFFF0000u);
}

TEST_F(OverlaySet, ASetMetAgainInsideItselfIsSkippedAndTheOuterSetRestored)
{
    AddSet("Loop", "Text Overlays=Array\n{\nItem Count=1\nArray Item=CNestedFooFrameOverlay\n{\nFoo File=Loop\n}\n}");
    ResetLists();
    CFrameOverlayOptions* loop = Set("Loop");
    ASSERT_NE(loop, nullptr);
    CFrameOverlayOptions outer;
    auto* nested = new CNestedFooFrameOverlay;
    nested->m_FooFile = GetFrameOverlayOptionsList().Find("Loop");
    outer.Append(nested);
    CRecordingOverlay* after = Recorder("After");
    outer.Append(after);

    auto canvas = Canvas();
    outer.DrawOnFrame(*canvas, nullptr, false, nullptr);
    ASSERT_EQ(after->m_Seen.size(), 1u);
    EXPECT_EQ(after->m_Seen[0].m_pCurrentSet, &outer);
    EXPECT_EQ(loop->FindOverlay(CJString("Nothing"), nullptr, nullptr), nullptr);
}

TEST_F(OverlaySet, TheToolTipNeedsAMousePoint)
{
    CFrameOverlayOptions set;
    auto* marker = new CFrameOverlayPositionMarker;
    marker->m_ToolTip.SetText(CJString("Hello %s[Name]"));
    set.Append(marker);
    auto canvas = Canvas();
    set.DrawOnFrame(*canvas, nullptr, false, nullptr);

    CFrameOverlayDrawContext context;
    context.m_pTarget = canvas.get();
    CTextSubstitutionList names;
    names.AddText("%s[Name]", CJString("Ada"));
    context.m_pSubstitutions = &names;
    context.m_MouseX = 305;
    context.m_MouseY = 301;
    set.Draw(context);
    EXPECT_STREQ(context.m_ToolTip.GetString(), "Hello Ada");
}

TEST_F(OverlaySet, TheListIsNamedAndASetDrawsOnALoadingPicture)
{
    EXPECT_GE(CFileListList::SGetInstance().FindIndexOfList(&GetFrameOverlayOptionsList()), 0);
    AddSet("Splash",
           "Text Overlays=Array\n{\nItem Count=1\nArray Item=CBoxFrameOverlay\n{\nPositon=1,1\n"
           "Size=2,2\nOutline Width=0\nFill Color=0,0,255,255\n}\n}");
    ResetLists();
    CFrameOverlayOptions* splash = Set("Splash");
    ASSERT_NE(splash, nullptr);
    CFrameOverlayLoadingScreenOverlay overlay(*splash, nullptr);
    auto picture = Canvas(4, 4);
    overlay.DrawOnFrame(*picture);
    EXPECT_EQ(Pixel(*picture, 1, 1), 0xFF0000FFu);
    EXPECT_EQ(Pixel(*picture, 0, 0), 0u);
}

} // namespace
