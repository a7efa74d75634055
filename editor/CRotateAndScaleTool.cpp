#include "editor/CRotateAndScaleTool.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "editor/CEditorCheckpointHistory.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CSelectedObjects.h"
#include "foundation/CStaticContentsList.h"
#include "foundation/MathHelpers.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CPlayfield.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/CStringProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "shell/CKeyboardState.h"
#include "ui/CScreenWindow.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CRotateAndScaleToolHandleOptions, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CRotateAndScaleToolOptions, 1.0)

namespace {

constexpr const char* kOptionsName = "Rotate And Scale Tool Options";
constexpr float kFullTurn = 6.2831855f;
// The rotator straight above the centre means no rotation.
constexpr float kRotatorRestAngle = 4.71238899230957f;
constexpr uint32_t kLeftButton = 1;

float WrapIntoFullTurn(float angle)
{
    angle = std::fmod(angle, kFullTurn);
    if (angle < 0.0f)
        angle += kFullTurn;
    return angle;
}

float DistanceSquared(const CFPoint& a, const CFPoint& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

bool IsShiftDown()
{
    const CKeyboardState& keys = CKeyboardState::SGetInstance();
    return keys.IsKeyDown(kScanShiftLeft) || keys.IsKeyDown(kScanShiftRight);
}

bool IsControlDown()
{
    const CKeyboardState& keys = CKeyboardState::SGetInstance();
    return keys.IsKeyDown(kScanControlLeft) || keys.IsKeyDown(kScanControlRight);
}

CSequence* SequenceAt(int32_t index)
{
    // Item 0 is the list's "!None".
    CSequenceList& list = GetSequenceList();
    return index > 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

int32_t g_OptionsIndex = -1;

// The handle list reads its element names as strings; a code table finds
// only 8-bit names, so the string is looked up by its 8-bit form.
class CHandleNameList : public CCodeTableList {
public:
    using CCodeTableList::CCodeTableList;
    using CCodeTableList::Find;
    int32_t Find(const CJString& name, int32_t hint = -1) override
    {
        CJString narrow(name);
        if (narrow.IsWide())
            narrow.ToNarrow();
        return CCodeTableList::Find(narrow.GetString(), hint);
    }
};

} // namespace

// ---- Options -------------------------------------------------------------

CVirtualArray& GetRotateAndScaleHandleNames()
{
    static const CCodeTableRow kRows[] = {
        {0, "Top Left", nullptr},
        {1, "Top Right", nullptr},
        {2, "Bottom Right", nullptr},
        {3, "Bottom Left", nullptr},
        {4, "Top", nullptr},
        {5, "Bottom", nullptr},
        {6, "Left", nullptr},
        {7, "Right", nullptr},
        {8, "Rotator", nullptr},
        {9, "Origin", nullptr},
        {},
    };
    static CHandleNameList list(kRows);
    return list;
}

void CRotateAndScaleToolHandleOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CRotateAndScaleToolHandleOptions;
    d.AddListReference(&C::m_Image, "Image", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.AddListReference(&C::m_CanDragCursor, "Can Drag Cursor", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.AddListReference(&C::m_DraggingCursor, "Dragging Cursor", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_ToolTip, "Tool Tip", "");
}

CRotateAndScaleToolHandleOptions::CRotateAndScaleToolHandleOptions()
{
    InitDeclaredProperties();
}

CRotateAndScaleToolHandleOptions::~CRotateAndScaleToolHandleOptions()
{
    DestroyDeclaredProperties();
}

void CRotateAndScaleToolOptions::DeclareProperties(CPropertyDeclarer& d)
{
    auto handles = d.AddArray<CTypedPObjectProperty<CRotateAndScaleToolHandleOptions>>(
                        &CRotateAndScaleToolOptions::m_HandleOptions, "Handle List", "Handle", nullptr)
                       .NamedBy(&GetRotateAndScaleHandleNames());
    auto* element = static_cast<CPObjectProperty*>(handles.Get().GetElementProperty());
    element->SetDefaultClass(CRotateAndScaleToolHandleOptions::SGetClassInfo());
    element->SetInlineMode(InlineMode::Always);
    element->SetMayDelete(false);
}

CRotateAndScaleToolOptions::CRotateAndScaleToolOptions()
{
    InitDeclaredProperties();
}

CRotateAndScaleToolOptions::~CRotateAndScaleToolOptions()
{
    DestroyDeclaredProperties();
}

CRotateAndScaleToolHandleOptions* CRotateAndScaleToolOptions::GetHandle(int32_t index) const
{
    if (index < 0 || uint32_t(index) >= m_HandleOptions.GetCount())
        return nullptr;
    return m_HandleOptions[uint32_t(index)];
}

CRotateAndScaleToolOptions* GetRotateAndScaleToolOptions()
{
    CGeneralObjectsList& objects = GetGeneralObjects();
    if (g_OptionsIndex < 0 || g_OptionsIndex >= objects.GetCount()) {
        g_OptionsIndex = objects.Find(kOptionsName);
        if (g_OptionsIndex < 0)
            return nullptr;
    }
    return dynamic_cast<CRotateAndScaleToolOptions*>(objects.GetObjectAt(g_OptionsIndex));
}

void ForgetRotateAndScaleToolOptions()
{
    g_OptionsIndex = -1;
}

// ---- Tool ----------------------------------------------------------------

CRotateAndScaleTool::CRotateAndScaleTool(CLevelEditorWindow* editor)
    : CEditorTool(editor, "CRotateAndScaleTool")
{
}

CRotateAndScaleTool::~CRotateAndScaleTool() = default;

template <typename F>
void CRotateAndScaleTool::ForEachSelectedSprite(F&& f)
{
    CLevelEditorWindow* editor = GetEditor();
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!editor || !playfield)
        return;
    const CSelectedObjects& selection = editor->GetSelection();
    for (uint32_t i = 0; i < selection.GetCount(); ++i) {
        CSelectedObjectInfo* entry = selection.GetEntry(i);
        auto* sprite = entry ? dynamic_cast<CSprite*>(entry->m_pSelectedObject) : nullptr;
        if (!sprite)
            continue;
        if (CPlayfieldLayer* layer = CLevelEditorWindow::FindShownLayer(*playfield, *entry, *sprite))
            f(*sprite, *layer);
    }
}

bool CRotateAndScaleTool::ShowsHandles() const
{
    CLevelEditorWindow* editor = GetEditor();
    return editor && editor->HasSelection() && CLevelEditorOptions::SGetInstance().m_AddRotateAndScaleHandles;
}

CRotateAndScaleToolHandleOptions* CRotateAndScaleTool::HandleOptions(int32_t handle) const
{
    CRotateAndScaleToolOptions* options = GetRotateAndScaleToolOptions();
    return options ? options->GetHandle(handle) : nullptr;
}

CCursorSequence* CRotateAndScaleTool::CursorFor(int32_t sequenceIndex)
{
    CSequence* sequence = SequenceAt(sequenceIndex);
    if (!sequence)
        return nullptr;
    for (SCursor& entry : m_Cursors)
        if (entry.sequence == sequence)
            return entry.cursor.get();
    m_Cursors.push_back({sequence, std::make_unique<CSequenceCursor>(*sequence)});
    return m_Cursors.back().cursor.get();
}

void CRotateAndScaleTool::RecomputeFrame()
{
    CRect bounds{0, 0, 0, 0};
    if (CLevelEditorWindow* editor = GetEditor())
        bounds = editor->GetSelectionScreenFrame();
    m_Left = float(bounds.left);
    m_Top = float(bounds.top);
    m_Right = float(bounds.right);
    m_Bottom = float(bounds.bottom);
    m_Centre = {(m_Left + m_Right) * 0.5f, (m_Top + m_Bottom) * 0.5f};
    m_Angle = 0.0f;
}

void CRotateAndScaleTool::OnSelectionChanged()
{
    RecomputeFrame();
}

void CRotateAndScaleTool::OnSelectionMoved()
{
    RecomputeFrame();
}

void CRotateAndScaleTool::RotateSelection(float delta, bool keepAngles)
{
    m_Angle = WrapIntoFullTurn(m_Angle + delta);
    CEditorCheckpoint checkpoint("RotateCheckpoint");
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer& layer) {
        sprite.RotateAbout(delta, layer.ScreenToLayer(m_Centre), keepAngles);
    });
    if (CLevelEditorWindow* editor = GetEditor())
        editor->RefreshObjectEditorOnSelection();
}

void CRotateAndScaleTool::ScaleSelection(float sx, float sy, bool keepScales)
{
    m_Left = m_Centre.x + (m_Left - m_Centre.x) * sx;
    m_Right = m_Centre.x + (m_Right - m_Centre.x) * sx;
    m_Top = m_Centre.y + (m_Top - m_Centre.y) * sy;
    m_Bottom = m_Centre.y + (m_Bottom - m_Centre.y) * sy;
    CEditorCheckpoint checkpoint("ScaleCheckpoint");
    ForEachSelectedSprite([&](CSprite& sprite, CPlayfieldLayer& layer) {
        sprite.ScaleAbout(sx, sy, layer.ScreenToLayer(m_Centre), keepScales);
    });
    if (CLevelEditorWindow* editor = GetEditor())
        editor->RefreshObjectEditorOnSelection();
}

CFPoint CRotateAndScaleTool::GetHandlePosition(int32_t handle) const
{
    const float m = kHandleMargin;
    const float w = m_Right - m_Left, h = m_Bottom - m_Top;
    CFPoint p{0.0f, 0.0f};
    switch (handle) {
    case kTopLeft:
        p = {m_Left - m, m_Top - m};
        break;
    case kTopRight:
        p = {m_Right + m, m_Top - m};
        break;
    case kBottomRight:
        p = {m_Right + m, m_Bottom + m};
        break;
    case kBottomLeft:
        p = {m_Left - m, m_Bottom + m};
        break;
    case kTop:
        p = {m_Left + w / 2.0f, m_Top - m};
        break;
    case kBottom:
        p = {m_Left + w / 2.0f, m_Bottom + m};
        break;
    case kLeft:
        p = {m_Left - m, m_Top + h / 2.0f};
        break;
    case kRight:
        p = {m_Right + m, m_Top + h / 2.0f};
        break;
    case kRotator:
        p = {m_Left + w / 2.0f, m_Top - m - kRotatorStem};
        break;
    default:
        break; // the origin
    }
    float sine = 0.0f, cosine = 1.0f;
    LookupSinCos(m_Angle, sine, cosine);
    const float dx = p.x - m_Centre.x, dy = p.y - m_Centre.y;
    return {m_Centre.x + dx * cosine - dy * sine, m_Centre.y + dx * sine + dy * cosine};
}

int32_t CRotateAndScaleTool::PickHandle(const CFPoint& point, CFPoint& offset) const
{
    int32_t best = -1;
    float bestDistance = kPickDistanceSquared;
    for (int32_t i = 0; i < kHandleCount; ++i) {
        const CFPoint handle = GetHandlePosition(i);
        const float distance = DistanceSquared(handle, point);
        if (distance <= bestDistance) {
            best = i;
            bestDistance = distance;
            offset = {handle.x - point.x, handle.y - point.y};
        }
    }
    return best;
}

void CRotateAndScaleTool::Draw(CFrameInterface& frame)
{
    if (!ShowsHandles())
        return;
    CColor white{255, 255, 255, 255};
    CFPoint corners[4];
    for (int32_t i = 0; i < 4; ++i)
        corners[i] = GetHandlePosition(i);
    for (int32_t i = 0; i < 4; ++i) {
        const CFPoint& a = corners[i];
        const CFPoint& b = corners[(i + 1) % 4];
        frame.DrawLineFloat(a.x, a.y, b.x, b.y, white, 1.0f);
    }
    const CFPoint top = GetHandlePosition(kTop), rotator = GetHandlePosition(kRotator);
    frame.DrawLineFloat(top.x, top.y, rotator.x, rotator.y, white, 1.0f);
    for (int32_t i = 0; i < kHandleCount; ++i) {
        CRotateAndScaleToolHandleOptions* options = HandleOptions(i);
        CSequence* image = options ? SequenceAt(options->m_Image) : nullptr;
        if (!image)
            continue;
        const CFPoint at = GetHandlePosition(i);
        image->DrawFrame(frame, 0, int32_t(std::lround(at.x)), int32_t(std::lround(at.y)));
    }
}

bool CRotateAndScaleTool::OnMouseMove(CPoint point, CPoint /*movement*/, CCursorSequence*& cursor)
{
    if (m_ActiveHandle >= 0 || !ShowsHandles())
        return false;
    CFPoint offset;
    const int32_t handle = PickHandle(CFPoint{float(point.x), float(point.y)}, offset);
    CRotateAndScaleToolHandleOptions* options = HandleOptions(handle);
    CCursorSequence* wanted = options ? CursorFor(options->m_CanDragCursor) : nullptr;
    if (!wanted)
        return false;
    cursor = wanted;
    return true;
}

bool CRotateAndScaleTool::OnHover(CPoint point)
{
    if (m_ActiveHandle >= 0 || !ShowsHandles())
        return false;
    CFPoint offset;
    CRotateAndScaleToolHandleOptions* options
        = HandleOptions(PickHandle(CFPoint{float(point.x), float(point.y)}, offset));
    if (!options || options->m_ToolTip.IsEmpty())
        return false;
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
        screen->ShowToolTip(this, -1, options->m_ToolTip);
    return true;
}

bool CRotateAndScaleTool::OnMouseDrag(CPoint point, CPoint /*movement*/, uint32_t buttons, CCursorSequence*& cursor)
{
    if (!(buttons & kLeftButton))
        return false;
    CFPoint pointer{float(point.x), float(point.y)};
    if (!m_DragStarted) {
        m_DragStarted = true;
        if (!ShowsHandles())
            return false;
        const int32_t handle = PickHandle(pointer, m_GrabOffset);
        CRotateAndScaleToolHandleOptions* options = HandleOptions(handle);
        if (!options || !SequenceAt(options->m_DraggingCursor))
            return false;
        m_ActiveHandle = handle;
        cursor = CursorFor(options->m_DraggingCursor);
        return true;
    }
    if (m_ActiveHandle < 0)
        return false;
    // The selection may have gone under the drag (undo, delete).
    if (!ShowsHandles()) {
        m_ActiveHandle = -1;
        return false;
    }
    pointer = {pointer.x + m_GrabOffset.x, pointer.y + m_GrabOffset.y};
    if (CRotateAndScaleToolHandleOptions* options = HandleOptions(m_ActiveHandle))
        if (CCursorSequence* dragging = CursorFor(options->m_DraggingCursor))
            cursor = dragging;
    const CFPoint handle = GetHandlePosition(m_ActiveHandle);
    const bool keep = IsShiftDown();
    // A frame without extent gives the scale handles nothing to measure:
    // their margin alone would scale the sprites about an arbitrary point.
    const bool hasExtent = m_Right != m_Left || m_Bottom != m_Top;
    if (!hasExtent && m_ActiveHandle < kRotator)
        return true;
    switch (m_ActiveHandle) {
    case kTopLeft:
    case kTopRight:
    case kBottomRight:
    case kBottomLeft: {
        const float handleDistance = std::sqrt(DistanceSquared(handle, m_Centre));
        if (handleDistance != 0.0f) {
            const float s = std::sqrt(DistanceSquared(pointer, m_Centre)) / handleDistance;
            ScaleSelection(s, s, keep);
        }
        break;
    }
    case kTop:
    case kBottom: {
        const float divisor = std::fabs(m_Centre.y - handle.y);
        if (divisor != 0.0f)
            ScaleSelection(1.0f, std::fabs(m_Centre.y - pointer.y) / divisor, keep);
        break;
    }
    case kLeft:
    case kRight: {
        const float divisor = std::fabs(m_Centre.x - handle.x);
        if (divisor != 0.0f)
            ScaleSelection(std::fabs(m_Centre.x - pointer.x) / divisor, 1.0f, keep);
        break;
    }
    case kRotator: {
        const float a = CFPoint{pointer.x - m_Centre.x, pointer.y - m_Centre.y}.GetAngle();
        RotateSelection(WrapIntoFullTurn(a - kRotatorRestAngle - m_Angle), keep);
        break;
    }
    default:
        break;
    }
    return true;
}

void CRotateAndScaleTool::OnMouseRelease(CPoint /*point*/, uint32_t buttons)
{
    if (!(buttons & kLeftButton))
        return;
    m_ActiveHandle = -1;
    m_DragStarted = false;
}

bool CRotateAndScaleTool::OnMouseWheel(int32_t delta, CPoint /*point*/)
{
    CLevelEditorWindow* editor = GetEditor();
    if (!IsControlDown() || !editor || !editor->GetSelectedObject(0))
        return false;
    if (!IsShiftDown()) {
        RotateSelection(float(delta) * kWheelAngle, false);
        return true;
    }
    const float factor = delta > 0 ? kWheelScaleUp : kWheelScaleDown;
    for (int32_t clicks = delta > 0 ? delta : -delta; clicks > 0; --clicks)
        ScaleSelection(factor, factor, false);
    return true;
}

// ---- Start-up ------------------------------------------------------------

namespace {

} // namespace

void RegisterRotateAndScaleToolClasses()
{
    CRotateAndScaleToolHandleOptions::SGetClassInfo();
    CRotateAndScaleToolOptions::SGetClassInfo();
}
