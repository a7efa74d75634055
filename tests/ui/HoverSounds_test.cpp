// The alpha theme's hover sounds: a button under an alpha theme plays them
// from the game's sound list when the pointer enters and leaves it, only
// while it and its parent are enabled; under the classic theme it is silent.
#include "UiTestSupport.h"

#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "sound/CSoundList.h"
#include "ui/CAlphaSkinData.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// A short 16-bit mono PCM file.
std::string TinyWave()
{
    std::string bytes;
    const auto u32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += char((v >> (8 * i)) & 0xFF);
    };
    const auto u16 = [&bytes](uint16_t v) {
        bytes += char(v & 0xFF);
        bytes += char(v >> 8);
    };
    const uint32_t samples = 64;
    bytes += "RIFF";
    u32(36 + samples * 2);
    bytes += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    bytes += "data";
    u32(samples * 2);
    bytes.append(samples * 2, '\0');
    return bytes;
}

class HoverSoundTest : public UiTestOn<CTempFolderTest> {
protected:
    void SetUp() override
    {
        UiTestOn<CTempFolderTest>::SetUp();
        for (const char* name : {"Resources/A.wav", "Resources/Enter.wav", "Resources/Leave.wav"})
            WriteBytes(name, TinyWave());
        ASSERT_EQ(List().Load("Sounds", "Resources", ".wav", ".ogg"), 4); // and the none entry
        m_Screen = std::make_unique<CScreenWindow>(nullptr, nullptr);
        m_Screen->SetRect(CRect{0, 0, 200, 200});
    }
    void TearDown() override
    {
        m_Screen.reset();
        List().SetKeepsNoneEntry(true);
        List().RemoveAll();
        UiTestOn<CTempFolderTest>::TearDown();
    }
    static CSoundList& List() { return CSoundList::SGetGlobal(); }
    static uint32_t Uses(const char* name) { return List().GetUsageStats(List().Find(name))->totalUses; }
    void Hover(CJButton& button, int32_t x)
    {
        CCursorSequence* cursor = nullptr;
        button.OnMouseMove(CPoint{x, 15}, CPoint{0, 0}, cursor);
    }

    std::unique_ptr<CScreenWindow> m_Screen;
};

TEST_F(HoverSoundTest, AlphaButtonsPlayTheThemesSoundsOnEnteringAndLeaving)
{
    CJWindowAlphaTheme theme;
    theme.GetData().m_EnterHoverSound = List().Find("Enter.wav");
    theme.GetData().m_ExitHoverSound = List().Find("Leave.wav");
    auto* parent = new CJWindow(nullptr, "parent");
    parent->SetSkinTheme(&theme);
    parent->SetRect(CRect{0, 0, 200, 100});
    m_Screen->AddChild(parent);
    auto* button = new CJButton(parent, "b");
    button->SetRect(CRect{10, 10, 50, 30});
    parent->AddChild(button, kAsIsNoGrow);

    Hover(*button, 20);
    Hover(*button, 25);
    EXPECT_EQ(Uses("Enter.wav"), 1u);
    EXPECT_EQ(Uses("Leave.wav"), 0u);
    Hover(*button, 100);
    EXPECT_EQ(Uses("Leave.wav"), 1u);
    parent->Enable(false);
    Hover(*button, 20);
    Hover(*button, 100);
    EXPECT_EQ(Uses("Enter.wav"), 1u);
    EXPECT_EQ(Uses("Leave.wav"), 1u);

    // Index 0 is "no sound".
    parent->Enable(true);
    theme.GetData().m_EnterHoverSound = 0;
    Hover(*button, 20);
    EXPECT_EQ(Uses("A.wav"), 0u);
    parent->Destroy();

    auto* classic = new CJButton(m_Screen.get(), "c");
    classic->SetRect(CRect{10, 10, 50, 30});
    m_Screen->AddChild(classic, kAsIsNoGrow);
    Hover(*classic, 20);
    Hover(*classic, 100);
    EXPECT_EQ(Uses("Enter.wav") + Uses("Leave.wav") + Uses("A.wav"), 2u);
}

// The last build's sound list had no none entry on data without
// "!None.wav": A.wav was its row 0. A theme it saved names its sounds, so
// each stays that sound on the list with the entry; the name is the sound,
// the first one's too, which that build's row 0 kept silent.
TEST_F(HoverSoundTest, AThemeSavedWhenTheSoundsHadNoNoneEntryNamesTheSameSounds)
{
    List().SetKeepsNoneEntry(false);
    ASSERT_EQ(List().Load("Sounds", "Resources", ".wav", ".ogg"), 3);
    CAlphaSkinData saved;
    saved.m_EnterHoverSound = 0;
    saved.m_ExitHoverSound = 2;
    ASSERT_TRUE(saved.SaveToFile("Theme.txt", kSaveSkipWritableTest));
    List().SetKeepsNoneEntry(true);
    ASSERT_EQ(List().Load("Sounds", "Resources", ".wav", ".ogg"), 4);

    std::unique_ptr<CObject> read(
        LoadObjectFromFile("Theme.txt", 0, IdMode::WithoutIds, ReportUnknownClass::Quiet));
    auto* data = dynamic_cast<CAlphaSkinData*>(read.get());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->m_EnterHoverSound, List().Find("A.wav"));
    EXPECT_EQ(data->m_ExitHoverSound, List().Find("Leave.wav"));
    CJWindowAlphaTheme theme;
    theme.GetData().m_EnterHoverSound = data->m_EnterHoverSound;
    auto* button = new CJButton(m_Screen.get(), "b");
    button->SetSkinTheme(&theme);
    button->SetRect(CRect{10, 10, 50, 30});
    m_Screen->AddChild(button, kAsIsNoGrow);
    Hover(*button, 20);
    EXPECT_EQ(Uses("A.wav"), 1u);
    button->Destroy();
}

} // namespace
