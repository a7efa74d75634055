// Labels: sizes from their text, the tool tip over a cut text, and the
// hot key a label hands to the control after it.
#include "ControlTestSupport.h"

#include "ui/CJButton.h"
#include "ui/CJStatic.h"

namespace {

using StaticTest = ControlTest;

TEST_F(StaticTest, LabelsSizeToOneLineTheWidestLineOrTheWrappedText)
{
    auto* label = Put(new CJStatic(m_Parent, "Volume"), 10, 10);
    const int32_t border = label->GetBorderWidth();
    EXPECT_EQ(label->GetWidth(), m_Font->GetTextWidth(CJString("Volume")) + 2 * border);
    EXPECT_FALSE(label->IsMultiLine());

    label->SetTitle(CJString("Short\nA much longer line\nMid"));
    EXPECT_TRUE(label->IsMultiLine());
    EXPECT_EQ(label->GetWidth(), m_Font->GetTextWidth(CJString("A much longer line")) + 2 * border + 2);
    EXPECT_EQ(label->GetHeight(), 3 * (m_Font->GetLineHeight() + 2 * Unit()) + 2 * border + 2);

    label->SetWrapWidth(60);
    EXPECT_LE(label->GetWidth(), 60 + 2 * border + 2);
    EXPECT_GT(label->GetHeight(), 3 * m_Font->GetLineHeight()) << "the longer line wraps";

    label->SetAutoSize(false);
    label->SetWrapWidth(-1);
    label->SetSize(30, 20);
    label->SetTitle(CJString("A label far too long"));
    EXPECT_EQ(label->GetWidth(), 30) << "without auto-size the label keeps its size";
    label->SetToolTipText(CJString("More"));
    EXPECT_EQ(std::string(label->GetHoverText().GetString()), "A label far too long\nMore");
    MoveTo(label->GetScreenRect().left + 2, label->GetScreenRect().top + 2);
    EXPECT_EQ(std::string(m_Screen->GetToolTipText().GetString()), "A label far too long\nMore");
    label->SetSize(400, 20);
    EXPECT_EQ(std::string(label->GetHoverText().GetString()), "More") << "a text that fits is not repeated";
    Draw();
}

TEST_F(StaticTest, ALabelsHotKeyGoesToTheTabStopAfterIt)
{
    auto* label = Put(new CJStatic(m_Parent, "Name"), 10, 10);
    auto* field = new CProbeWindow("field", &m_Log);
    field->SetTabStop(true);
    field->SetRect(CRect{60, 10, 120, 30});
    m_Parent->AddChild(field, kAsIsNoGrow);
    m_Parent->BringChildToFront(label);
    ASSERT_EQ(label->GetNextSibling(), field);
    EXPECT_TRUE(label->WantsAutoHotKey());
    m_Parent->AssignChildHotKeys();
    EXPECT_EQ(label->GetHotKeyChar(), 'N');
    Take();
    EXPECT_TRUE(m_Parent->OnHotKey('n'));
    EXPECT_EQ(Take(), (CEventLog{"field: activate"}));

    // A button takes a hot key of its own; a label before another label
    // does not ask round in circles.
    auto* button = new CJButton(m_Parent, "Go");
    m_Parent->AddChild(button, kAsIsNoGrow);
    auto* before = new CJStatic(m_Parent, "Size");
    m_Parent->AddChild(before, kAsIsNoGrow);
    m_Parent->SendChildToBack(button);
    ASSERT_EQ(before->GetNextSibling(), button);
    EXPECT_FALSE(before->WantsAutoHotKey());
    auto* second = new CJStatic(m_Parent, "Other");
    second->SetTabStop(true);
    m_Parent->AddChild(second, kAsIsNoGrow);
    auto* first = new CJStatic(m_Parent, "First");
    m_Parent->AddChild(first, kAsIsNoGrow);
    m_Parent->SendChildToBack(second);
    ASSERT_EQ(first->GetNextSibling(), second);
    EXPECT_TRUE(first->WantsAutoHotKey()) << "the nested question answers false";
}

} // namespace
