// Under a virtual X display, a click played into the real SDL window on a
// combo box's drop-down button opens its pop-up list below it.
#include "RealWindowSupport.h"
#include "UiTestSupport.h"

#include "blit/ColorTables.h"
#include "foundation/CVirtualArray.h"
#include "images/CFont.h"
#include "objects/CObject.h"
#include "platform/CPlatform.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/RegisterUiClasses.h"

#include <string>

namespace {

constexpr char kComboClickTitle[] = "Ombrisalt combo click";
constexpr char kComboClickChild[] = "ChildProcess.RealClickOpensAComboBox";

class RealCombo : public CRealWindowTest {};

TEST_F(RealCombo, AClickInTheSdlWindowOpensTheComboBox)
{
    if (!RunChildOnOwnDisplay(kComboClickChild))
        return;
    const std::string events = ReadBytes(PathOf("events.txt"));
    EXPECT_NE(events.find("open below the combo box on Blue\n"), std::string::npos) << events << ChildOutput();
}

class CColours : public CSimpleVirtualArray {
public:
    const char* GetItemName(int32_t i) override { return kNames[i]; }
    CJString GetItemNameString(int32_t i) override { return CJString(kNames[i]); }
    int32_t GetCount() override { return 3; }

private:
    static constexpr const char* kNames[] = {"Red", "Green", "Blue"};
};

// The second run: the real window and a combo box whose button lies under
// the played click, until its pop-up has opened (or half a minute has gone).
TEST(ChildProcess, RealClickOpensAComboBox)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    RegisterObjectClasses();
    RegisterImagesClasses();
    InitBlitTables();
    RegisterUiClasses();
    ASSERT_TRUE(WriteDefaultFont());
    EnumerateFontFiles();

    CEventLog log;
    {
        CFont font;
        CColours colours;
        CRealWindowChild child;
        if (!child.Open(kComboClickTitle, &font))
            return;
        CScreenWindow& root = child.Root();
        auto* combo = new CJComboBox(&root, &colours, 30);
        root.AddChild(combo, kAsIsNoGrow);
        combo->MoveTo(40, 40);
        combo->SelectItem(2, true);
        const CRect button = combo->GetButton()->GetScreenRect();

        child.Play("move:" + std::to_string((button.left + button.right) / 2) + ","
                       + std::to_string((button.top + button.bottom) / 2) + " wait:200 down up key:a",
                   [&] { return combo->IsOpen(); });
        CJPopUpListBox* popUp = combo->GetPopUp();
        if (popUp && root.GetFirstChild() == popUp && popUp->GetScreenRect().top == combo->GetScreenRect().bottom
            && popUp->GetSelectedItem() == 2)
            log.push_back("open below the combo box on Blue");
    }
    CJWindow::SetDefaultFont(nullptr);
    WriteLog(log, "events.txt");
}

} // namespace
