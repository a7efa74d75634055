#include "editor/COverlayTestEditor.h"

#include "blit/CBlitTrans.h"
#include "editor/CObjectEditor.h"
#include "foundation/CCommand.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "images/CFrame.h"
#include "objects/ObjectFileCallbacks.h"
#include "overlays/CFrameOverlay.h"
#include "render/CProxyFrame.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJComboBox.h"

#include <memory>

namespace {

constexpr int32_t kControlWidth = 400;
constexpr int32_t kControlHeight = 300;
constexpr int32_t kMinControlSide = 11;
constexpr int32_t kComboWidth = 160;
constexpr size_t kSetNameSize = 100;
constexpr uint32_t kLeftButton = 1;
// An overlay covers a point where its pixel's alpha is above this.
constexpr uint8_t kPickAlpha = 1;

CBlitTrans& TransBlitType()
{
    static CBlitTrans type;
    return type;
}

// Sets are saved to the file they were read from: "<item>.FOO" under the
// list's folder. The list itself does not tell the file of its objects.
bool IsControlHeld()
{
    const CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    return keyboard.IsKeyDown(kScanControlLeft) || keyboard.IsKeyDown(kScanControlRight);
}

} // namespace

// ---- Control -----------------------------------------------------------------

CFooEditControl::CFooEditControl(CJWindow* parent)
    : CJWindow(parent, "Foo Edit Control")
{
    SetSize(kControlWidth, kControlHeight);
}

CFooEditControl::~CFooEditControl() = default;

CFrameOverlayOptions* CFooEditControl::GetSet() const
{
    CFrameOverlayOptionsList& list = GetFrameOverlayOptionsList();
    if (int32_t(m_SetIndex) >= list.GetCount())
        return nullptr;
    return list.GetObject(int32_t(m_SetIndex));
}

void CFooEditControl::SetSetIndex(uint32_t index)
{
    if (index == m_SetIndex)
        return;
    m_SetIndex = index;
    // The selection and a pending pick belong to the set they were made in.
    m_Selection.RemoveAll();
    m_PickedOverlay = nullptr;
}

CPoint CFooEditControl::ToControl(CPoint screenPoint) const
{
    return CPoint{screenPoint.x - m_ScreenRect.left + GetScrollOffsetX(),
                  screenPoint.y - m_ScreenRect.top + GetScrollOffsetY()};
}

CFrameOverlay* CFooEditControl::PickAt(CPoint point) const
{
    CFrameOverlayOptions* set = GetSet();
    if (!set)
        return nullptr;
    std::unique_ptr<CFrame> probe = CFrame::MakeOwned(2, 2, 32);
    for (uint32_t i = set->GetOverlayCount(); i-- > 0;) {
        CFrameOverlay* overlay = set->GetOverlay(i);
        if (!overlay)
            continue;
        probe->Clear();
        COffsetClippedProxyFrame target(probe.get());
        target.SetOffset(point.x, point.y);
        target.SetClipRect(CRect{point.x, point.y, point.x + 2, point.y + 2});
        CTextSubstitutionList substitutions;
        CFrameOverlayDrawContext context;
        context.m_pTarget = &target;
        context.m_pSubstitutions = &substitutions;
        context.m_pCurrentSet = set;
        overlay->Draw(context);
        CColor pixel;
        if (probe->GetPixel(0, 0, pixel) && pixel.GetAlpha() > kPickAlpha)
            return overlay;
    }
    return nullptr;
}

void CFooEditControl::MoveSelection(int32_t dx, int32_t dy)
{
    CFrameOverlayOptions* set = GetSet();
    if (!set)
        return;
    for (uint32_t i = 0; i < set->GetOverlayCount(); ++i) {
        CFrameOverlay* overlay = set->GetOverlay(i);
        if (overlay && (m_Selection.IsEmpty() || m_Selection.Contains(overlay)))
            overlay->MoveBy(dx, dy);
    }
    Save(*set);
}

void CFooEditControl::Save(CFrameOverlayOptions& set)
{
    if (SaveObjectToOwnFile(&set)) {
        m_SaveFailureShown = false;
        return;
    }
    // A drag saves at every step: one box per run of failures is enough.
    if (m_SaveFailureShown)
        return;
    m_SaveFailureShown = true;
    CJString file;
    if (!FindObjectFileName(&set, &file))
        file = GetFrameOverlayOptionsList().GetItemNameString(int32_t(m_SetIndex));
    CJString text("Could not save ");
    text.Append(file);
    ShowMessageBox(CJString("Error"), text);
}

void CFooEditControl::Update(float seconds)
{
    if (CFrameOverlay* picked = m_PickedOverlay) {
        m_PickedOverlay = nullptr;
        OpenObjectEditor(picked, GetSet());
    }
    CJWindow::Update(seconds);
}

void CFooEditControl::Draw(CFrameInterface& frame)
{
    if (CFrameOverlayOptions* set = GetSet()) {
        if (m_ShowBackground && set->m_PreviewFrame != 0)
            if (CFrame* background = GetOverlayFrame(set->m_PreviewFrame)) {
                CRect bounds{};
                background->GetBounds(bounds);
                frame.Blit(*background, bounds, bounds, TransBlitType());
            }
        const CPoint mouse = ToControl(CMouseState::SGetInstance().GetPositionPoint());
        set->DrawOnFrame(frame, nullptr, m_Preview, &mouse);
    }
    CJWindow::Draw(frame);
}

bool CFooEditControl::OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag)
{
    if (CJWindow::OnMouseDoubleClick(button, point, flag))
        return true;
    CFrameOverlay* hit = PickAt(ToControl(point));
    if (!hit)
        return false;
    m_PickedOverlay = hit;
    return true;
}

bool CFooEditControl::OnKeyDown(uint32_t key)
{
    if (CJWindow::OnKeyDown(key))
        return true;
    switch (EngineKey(key)) {
    case EngineKey::Up:
        MoveSelection(0, -1);
        return true;
    case EngineKey::Down:
        MoveSelection(0, 1);
        return true;
    case EngineKey::Left:
        MoveSelection(-1, 0);
        return true;
    case EngineKey::Right:
        MoveSelection(1, 0);
        return true;
    default:
        return false;
    }
}

bool CFooEditControl::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*&)
{
    if (!(buttons & kLeftButton))
        return false;
    if (!(GetHeldButtons() & kLeftButton)) {
        // The press.
        CFrameOverlay* hit = PickAt(ToControl(point));
        if (hit && IsControlHeld()) {
            const int32_t found = m_Selection.Find(hit);
            if (found >= 0)
                m_Selection.RemoveAt(uint32_t(found));
            else
                m_Selection.Append(hit);
        } else if (hit && !m_Selection.Contains(hit)) {
            m_Selection.RemoveAll();
            m_Selection.Append(hit);
        }
        return true;
    }
    if (movement.x != 0 || movement.y != 0)
        MoveSelection(movement.x, movement.y);
    return true;
}

// ---- Frame -------------------------------------------------------------------

CFooEditFrame::CFooEditFrame(CJWindow* parent)
    : CJFrameWindow(parent, kTitle)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    m_SetCombo = new CJComboBox(this, &sets, 30);
    m_SetCombo->SetWidth(kComboWidth);
    AddChild(m_SetCombo, EPlace::TopLeft);
    m_PropertiesButton = &Add<CJButton>(EPlace::RightOfPrevious, "Properties");
    m_PropertiesButton->SetCommand(new CObjectFunctionCommand<CFooEditFrame>(this, &CFooEditFrame::EditSet));
    m_ShowBackgroundBox = &Add<CJCheckBox>(EPlace::RightOfPrevious, "Show Background");
    m_ShowBackgroundBox->SetChecked(1);
    m_ShowBackgroundBox->SetCommand(
        new CObjectFunctionCommand<CFooEditFrame>(this, &CFooEditFrame::CopyShowBackground));
    m_PreviewBox = &Add<CJCheckBox>(EPlace::RightOfPrevious, "Preview");
    m_PreviewBox->SetCommand(new CObjectFunctionCommand<CFooEditFrame>(this, &CFooEditFrame::CopyPreview));
    m_Control = &Add<CFooEditControl>({EPlace::Below, m_SetCombo});
    AddResizeGrip();
    AddCloseButton();
    LoadWindowSettings(nullptr, true);
    FitControl();

    char name[kSetNameSize] = "";
    GetIniString(GetEditorSettingsFileName(), kTitle, "Selected Foo", name, sizeof name);
    const int32_t stored = name[0] ? sets.Find(name) : -1;
    if (stored >= 0 && stored < sets.GetCount()) {
        m_SetCombo->SelectItem(stored, true);
        m_Control->SetSetIndex(uint32_t(stored));
    } else if (sets.GetCount() > 0) {
        m_SetCombo->SelectItem(0, true);
    }
    m_Constructed = true;
}

void CFooEditFrame::EditSet()
{
    if (CFrameOverlayOptions* set = m_Control->GetSet())
        OpenObjectEditor(set, set);
}

void CFooEditFrame::CopyShowBackground()
{
    m_Control->SetShowBackground(m_ShowBackgroundBox->IsChecked() != 0);
}

void CFooEditFrame::CopyPreview()
{
    m_Control->SetPreview(m_PreviewBox->IsChecked() != 0);
}

void CFooEditFrame::FitControl()
{
    if (!m_Control)
        return;
    const CRect& placed = m_Control->GetRect();
    const int32_t width = GetWidth() - placed.left - GetBorderWidth();
    const int32_t height = GetHeight() - placed.top - GetBorderWidth();
    if (width >= kMinControlSide && height >= kMinControlSide)
        m_Control->SetSize(width, height);
}

void CFooEditFrame::SetRect(const CRect& rect)
{
    CJFrameWindow::SetRect(rect);
    if (m_Constructed)
        FitControl();
}

void CFooEditFrame::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender && sender == m_SetCombo && code == kNotifyClicked) {
        const int32_t chosen = m_SetCombo->GetSelectedItem();
        if (chosen < 0)
            return;
        m_Control->SetSetIndex(uint32_t(chosen));
        // A settings file that cannot be written costs only the preference.
        (void)SetIniString(GetEditorSettingsFileName(), kTitle, "Selected Foo",
                           GetFrameOverlayOptionsList().GetItemName(chosen));
        return;
    }
    CJFrameWindow::OnNotify(sender, code);
}

bool CFooEditFrame::OnKeyDown(uint32_t key)
{
    if (CJFrameWindow::OnKeyDown(key))
        return true;
    if (key == kKeyEscape) {
        Close();
        return true;
    }
    return false;
}

CFooEditFrame* OpenFooEditFrame(CJWindow* parent)
{
    if (!parent)
        return nullptr;
    CFooEditFrame& frame = parent->AddFirst<CFooEditFrame>(EPlace::AsIs);
    frame.KeepOnScreen();
    return &frame;
}
