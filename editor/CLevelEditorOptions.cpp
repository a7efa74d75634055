#include "editor/CLevelEditorOptions.h"

#include "blit/CColorProperty.h"
#include "foundation/CurrentLoadFile.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/ObjectFileCallbacks.h"

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<CLevelEditorOptions>& Instance()
{
    static std::unique_ptr<CLevelEditorOptions> instance;
    return instance;
}

bool AnswerOptionsFileName(const CObject* object, CJString* name)
{
    const auto& instance = Instance();
    if (!instance || object != instance.get())
        return false;
    if (name)
        name->Set(CLevelEditorOptions::kFileName);
    return true;
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CLevelEditorOptions, 1.0)

CLevelEditorOptions::CLevelEditorOptions()
{
    InitDeclaredProperties();
}

CLevelEditorOptions::~CLevelEditorOptions()
{
    DestroyDeclaredProperties();
}

void CLevelEditorOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLevelEditorOptions;
    d.Add(&C::m_ShowLotGridConnections, "Show Lot Grid Connections", true);
    d.Add(&C::m_SnapToNearestPoint, "Broken/Snap To Nearest Point", true);
    d.Add(&C::m_SnapDistance, "Broken/Snap Distance", 6u).Units("pixels");
    // A font the data no longer has reads as the default, and a missing
    // default leaves no font: the options never end the program.
    d.AddListReference(&C::m_EditorFont, "Editor Font", &GetFontList(), "Plain White 12")
        .DefaultWhenMissing()
        .Description("Will not take affect until the next time the editor is opened");
    d.Add(&C::m_DurationToShowSelection, "Broken/Duration To Show Selection", 3.0f)
        .Units("Seconds")
        .Range(0.0f, 99999.0f)
        .SpinStep(0.25f)
        .SpecialValue(-1.0f, "Forever")
        .Description("Press 'D' to temporarily turn on or off the selection highlight");
    d.Add(&C::m_EnableUndo, "Enable Undo", true);
    d.Add(&C::m_AddRotateAndScaleHandles, "Add Rotate And Scale Handles To Selected Objects", true)
        .Description("Shortcut key to toggle on and off is 'X'");
    d.Add(&C::m_OutlineSelectedItems, "Selected/Outline Selected Items", true);
    d.Add(&C::m_SelectedItemScale, "Selected/Selected Item Scale", 1.05f).Units("X").SpinStep(0.01f);
    d.Add(&C::m_SelectedItemTint, "Selected/Selected Item Tint", CColor(0, 0, 0, 190)).WithAlpha();
    d.Add(&C::m_ShowYSort, "Show Y Sort", false);
    d.Add(&C::m_ShowPolygons, "Show Polgons", false);
    d.Add(&C::m_ShowCustomerSpawnLimiting, "Show Customer Spawn Limiting", false);
}

void RegisterLevelEditorOptionsFileName()
{
    RegisterObjectFileNameCallback(&AnswerOptionsFileName);
}

CLevelEditorOptions& CLevelEditorOptions::SGetInstance()
{
    std::unique_ptr<CLevelEditorOptions>& instance = Instance();
    if (!instance) {
        instance = std::make_unique<CLevelEditorOptions>();
        instance->Load();
    }
    return *instance;
}

void CLevelEditorOptions::SResetInstanceForTesting()
{
    Instance().reset();
}

bool CLevelEditorOptions::Load()
{
    ResetToDefaults();
    CObjectStream stream;
    if (!stream.Open(kFileName, FILE_READ, IdMode::WithoutIds))
        return false;
    stream.SetQuiet(true);
    stream.SetUntrusted(true);
    stream.SetMissingNamesAsNone(true);
    const CJString previousName = GetCurrentLoadFileName();
    GetCurrentLoadFileName().Set(kFileName);
    const bool ok = ReadFromStream(stream) && !stream.HasReadError();
    GetCurrentLoadFileName() = previousName;
    if (!ok) {
        std::fprintf(stderr, "%s: %s; the editor options keep their defaults\n", kFileName,
                     stream.GetErrorText().IsEmpty() ? "not readable" : stream.GetErrorText().GetString());
        ResetToDefaults();
    }
    stream.Close();
    return ok;
}

CFont* CLevelEditorOptions::GetEditorFont() const
{
    CFontList& fonts = GetFontList();
    if (m_EditorFont <= 0 || m_EditorFont >= fonts.GetCount())
        return nullptr;
    return fonts.GetObject(m_EditorFont);
}

bool IsShowLotGridConnectionsOn()
{
    return CLevelEditorOptions::SGetInstance().m_ShowLotGridConnections;
}

bool IsShowCustomerSpawnLimitingOn()
{
    return CLevelEditorOptions::SGetInstance().m_ShowCustomerSpawnLimiting;
}
