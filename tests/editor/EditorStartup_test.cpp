// The editors' start-up objects that data and other layers name: the handle
// names the rotate-and-scale tool's options are written with, the drop
// message found by its type name, the version text and the start-up name.
#include "editor/EditorStartup.h"

#include "foundation/CStaticContentsList.h"
#include "shell/StartGame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EditorStartup, HandleNamesMapToTheirCodesAndTheDropMessageIsFoundByName)
{
    CCodeTableList& handles = GetHandleCodeList();
    ASSERT_EQ(handles.GetCount(), 10);
    const int32_t rotator = handles.Find("rotator");
    ASSERT_GE(rotator, 0);
    EXPECT_EQ(handles.GetValue(rotator), uint32_t(EEditorHandle::Rotator));
    EXPECT_EQ(handles.GetValue(handles.Find("Bottom Right")), uint32_t(EEditorHandle::BottomRight));
    EXPECT_EQ(handles.GetValue(handles.Find("Origin")), 9u);

    CBrowserItemDroppedMessage dropped(nullptr, CPoint{12, 34});
    EXPECT_TRUE(dropped.IsType("CBrowserItemDroppedMessage"));
    EXPECT_EQ(CMessage::SGetMessageType("cbrowseritemdroppedmessage"), dropped.GetType());
    EXPECT_EQ(dropped.GetPosition().y, 34);
}

TEST(EditorStartup, TheVersionTextAndTheStartupName)
{
    EXPECT_STREQ(BuildVersionText().GetString(), "1.0 Build 24");
    // The record's texts live in the shell: copied before they are replaced.
    const std::string name = GetLauncherRecord().gameName;
    const char* path = GetLauncherRecord().programPath;
    const std::string pathText = path ? path : "";
    SLauncherRecord record;
    record.gameName = "Salt Works";
    SetLauncherRecord(record);
    EXPECT_STREQ(GetStartupName().GetString(), "Salt Works");
    record.gameName = name.c_str();
    record.programPath = path ? pathText.c_str() : nullptr;
    SetLauncherRecord(record);
}

} // namespace
