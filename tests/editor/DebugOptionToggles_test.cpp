// Debug options as a developer meets them: a panel that lists every option
// with its check box, values kept in the engine's settings, and the screen
// switches they drive.
#include "ui/MenuTestSupport.h"

#include "editor/DebugOptionToggles.h"
#include "foundation/CIniSection.h"
#include "shell/CScreenFrame.h"
#include "ui/CJCheckBox.h"

#include <memory>
#include <string>

namespace {

// What any options panel does: a control per listed option, every notice
// offered to the options.
class COptionsPanel : public CJWindow {
public:
    explicit COptionsPanel(CJWindow* parent)
        : CJWindow(parent, "Options")
    {
        for (uint32_t i = 0; i < GetTinkerOptionCount(); ++i)
            GetTinkerOption(i)->CreateControl(this);
    }
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        for (uint32_t i = 0; i < GetTinkerOptionCount(); ++i)
            if (GetTinkerOption(i)->OnNotify(sender, code))
                return;
        CJWindow::OnNotify(sender, code);
    }
    CJCheckBox* Box(const char* title) const
    {
        for (CJWindow* child = GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return dynamic_cast<CJCheckBox*>(child);
        return nullptr;
    }
};

class DebugOptions : public ScreenTest {
protected:
    void TearDown() override
    {
        for (CTinkerCheckBox* option :
             {&GetLoadingMessagesOption(), &GetDrawSafeZoneOption(), &GetSkipBlitXDrawPrimitiveOption()})
            option->SetValue(false);
        ScreenTest::TearDown();
    }
    static int32_t Stored(const char* key) { return GetOptionsSection().GetInt(key, -7); }
    static int32_t IndexOf(const CTinkerOption* option)
    {
        for (uint32_t i = 0; i < GetTinkerOptionCount(); ++i)
            if (GetTinkerOption(i) == option)
                return int32_t(i);
        return -1;
    }
};

TEST_F(DebugOptions, TheEngineOptionsAreListedInOrderAndOptionsOfOneGroupKeepTheirOwnEntries)
{
    const int32_t loading = IndexOf(&GetLoadingMessagesOption());
    ASSERT_GE(loading, 0);
    EXPECT_EQ(IndexOf(&GetDrawSafeZoneOption()), loading + 1);
    EXPECT_EQ(IndexOf(&GetSkipBlitXDrawPrimitiveOption()), loading + 2);
    EXPECT_STREQ(GetDrawSafeZoneOption().GetGroupName().GetString(), "Toolkit");
    EXPECT_STREQ(GetDrawSafeZoneOption().GetHelp().GetString(), "ds");
    EXPECT_STREQ(GetLoadingMessagesOption().GetGroupName().GetString(), "Debug");

    const uint32_t before = GetTinkerOptionCount();
    {
        CTinkerCheckBox first("First", "First Key", "Debug", false, "");
        CTinkerCheckBox second("Second", "Second Key", "Debug", true, "");
        ASSERT_EQ(GetTinkerOptionCount(), before + 2);
        EXPECT_EQ(GetTinkerOption(before), &first);
        EXPECT_EQ(GetTinkerOption(before + 1), &second);
        EXPECT_STREQ(second.GetValueText().GetString(), "Yes");
        EXPECT_STREQ(first.GetValueText().GetString(), "No");
    }
    // A destroyed option leaves no entry behind to be listed.
    EXPECT_EQ(GetTinkerOptionCount(), before);
    EXPECT_EQ(GetTinkerOption(before), nullptr);
}

TEST_F(DebugOptions, LoadKeepsTheValueUntilOneIsStoredAndTheCheckBoxStoresIt)
{
    CTinkerCheckBox& loading = GetLoadingMessagesOption();
    loading.SetValue(true);
    loading.Load();
    EXPECT_TRUE(loading.GetValue()); // nothing stored yet

    auto* panel = new COptionsPanel(m_Screen);
    m_Screen->AddChild(panel, EPlace::TopLeft);
    CJCheckBox* box = panel->Box("Enable Loading Messages");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(box->IsChecked(), 0);
    Click(*box);
    EXPECT_FALSE(loading.GetValue());
    EXPECT_EQ(Stored("Enable Loading Messages"), 0);
    Click(*box);
    EXPECT_EQ(Stored("Enable Loading Messages"), 1);

    loading.SetValue(false);
    loading.Load();
    EXPECT_TRUE(loading.GetValue());
}

TEST_F(DebugOptions, OptionsWithoutAKeyKeepNothingAndNeverSwitchEachOther)
{
    auto* panel = new COptionsPanel(m_Screen);
    m_Screen->AddChild(panel, EPlace::TopLeft);
    Click(*panel->Box("Draw safe zone rect"));
    EXPECT_TRUE(GetDrawSafeZoneOption().GetValue());
    EXPECT_TRUE(CScreenFrame::SGetInstance().IsDrawingSafeZone());
    EXPECT_FALSE(GetSkipBlitXDrawPrimitiveOption().GetValue());

    // As after a restart: loading reads nothing under an empty key.
    GetDrawSafeZoneOption().SetValue(false);
    GetDrawSafeZoneOption().Load();
    GetSkipBlitXDrawPrimitiveOption().Load();
    EXPECT_FALSE(GetDrawSafeZoneOption().GetValue());
    EXPECT_FALSE(GetSkipBlitXDrawPrimitiveOption().GetValue());
    EXPECT_FALSE(CScreenFrame::SGetInstance().IsSkippingBlitXDrawing());
    EXPECT_EQ(Stored(""), -7);

    GetSkipBlitXDrawPrimitiveOption().Toggle();
    EXPECT_TRUE(CScreenFrame::SGetInstance().IsSkippingBlitXDrawing());
    EXPECT_FALSE(CScreenFrame::SGetInstance().IsDrawingSafeZone());
}

} // namespace
