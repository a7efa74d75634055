// Loads an overlay set from text through the list of sets (so a nested
// overlay may name the set itself) and draws it: plainly, in the marker
// view, with a mouse point and substitutions, at several timeline times;
// then looks IDs up and builds the control of a button overlay. The upgrade
// slots "Marker" and "Button" then take their button places from the set's
// markers, as a street's start and the shop do. Fatal reports end the input.
// Unknown classes, cycles, NaN and huge numbers must neither crash nor hang.
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "images/CFrame.h"
#include "overlays/CFrameOverlay.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJButton.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string& Folder()
{
    static std::string folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() / "ombrisalt_overlay_set_fuzz";
        std::filesystem::create_directories(path / "Frame Overlay Options");
        std::filesystem::create_directories(path / "Resources");
        for (const char* slot : {"Marker", "Button"})
            std::ofstream(path / "Resources" / (std::string(slot) + ".UpgradeSlot.txt"), std::ios::binary)
                << "CUpgradeSlot\r\n{\r\n}\r\n";
        return path.string();
    }();
    return folder;
}

void DrawAll(CFrameOverlayOptions& set)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(96, 64, 32);
    frame->Clear();
    CTextSubstitutionList values;
    values.AddText("%s[Value]", CJString("-1e39"));
    values.AddText("%s[Range]", CJString("nan"));
    values.AddText("%s[Number]", CJString("2147483647"));
    values.AddText("%s[Something]", CJString("1.5"));
    const CPoint mouse{5, 5};
    set.DrawOnFrame(*frame, nullptr, false, nullptr);
    set.DrawOnFrame(*frame, &values, true, &mouse);
    for (float time : {0.0f, 0.5f, 3.0f, 1.0e30f}) {
        CFrameOverlayDrawContext context;
        context.m_pTarget = frame.get();
        context.m_pSubstitutions = &values;
        context.m_Time = time;
        context.m_MouseX = 10;
        context.m_MouseY = 10;
        set.Draw(context);
    }
    CPoint offset{0, 0};
    set.FindOverlay(CJString("Button"), &values, &offset);
    set.FindPositionMarker(CJString("Marker"));
    if (CJButton* button = set.CreateButtonWindow(CJString("Button"), &values)) {
        // Drawn once more while it lives, then gone: the set must let go of it.
        CFrameOverlayDrawContext context;
        context.m_pTarget = frame.get();
        set.Draw(context);
        button->Destroy();
        set.DrawOnFrame(*frame, &values, false, nullptr);
    }
    const int32_t index = GetFrameOverlayOptionsList().Find("Fuzz");
    for (int32_t slot = 0; slot < GetUpgradeSlotList().GetCount(); ++slot)
        (void)GetUpgradeSlotMarkerPosition(slot, index);
    for (uint32_t i = 0; i < set.GetOverlayCount(); ++i)
        if (CFrameOverlay* overlay = set.GetOverlay(i)) {
            CJString description;
            overlay->GetDescription(description, nullptr);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterAllClasses();
        CFrame::SetGlobalBitDepth(32);
        SetDataFolder(Folder().c_str());
        return true;
    }();
    (void)ready;
    if (size > (1u << 16))
        return 0;
    {
        std::ofstream out(Folder() + "/Frame Overlay Options/Fuzz.FOO", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    CFrameOverlayOptionsList& list = GetFrameOverlayOptionsList();
    try {
        list.SetSource(nullptr, "Frame Overlay Options", 0);
        if (CFrameOverlayOptions* set = FindFrameOverlayOptions("Fuzz"))
            DrawAll(*set);
    } catch (const CFatalErrorException&) {
    }
    list.RemoveAll();
    return 0;
}
