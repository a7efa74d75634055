#include "editor/PointAndColorPropertyEditors.h"

#include "blit/CColorProperty.h"
#include "blit/CFrameInterface.h"
#include "editor/CColorPickerWindow.h"
#include "editor/CEditorCheckpointHistory.h"
#include "editor/CObjectEditor.h"
#include "foundation/CCommand.h"
#include "objects/CObject.h"
#include "objects/CPointProperty.h"
#include "ui/CJEdit.h"
#include "ui/CJSpin.h"
#include "ui/CJStatic.h"

#include <algorithm>
#include <utility>

namespace {

// Each row's controls stand in a line after its label.
constexpr EPlace kPlaceRowControl = EPlace::RightOfPrevious;

} // namespace

// ==== Points ===============================================================

void CPointPropertyEditorBase::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    pane->Add<CJStatic>(kPlaceRowControl, "X:");
    m_X = &pane->Add<CJSpin>(kPlaceRowControl, CJString("10000"), "10000");
    m_X->SetTabStop(true);
    pane->Add<CJStatic>(kPlaceRowControl, "Y:");
    m_Y = &pane->Add<CJSpin>(kPlaceRowControl, CJString("10000"), "10000");
    m_Y->SetTabStop(true);
    Refresh();
    Enable(enabled);
}

bool CPointPropertyEditorBase::Paste(bool testOnly)
{
    if (!m_Enabled || !CPropertyEditor::Paste(testOnly))
        return false;
    if (!testOnly)
        NotifyObjectOfEdit();
    return true;
}

bool CPointPropertyEditorBase::Delete(bool testOnly)
{
    if (!m_Enabled || !CPropertyEditor::Delete(testOnly))
        return false;
    if (!testOnly)
        NotifyObjectOfEdit();
    return true;
}

void CPointPropertyEditorBase::Enable(bool enabled)
{
    m_Enabled = enabled;
    if (m_X)
        m_X->Enable(enabled);
    if (m_Y)
        m_Y->Enable(enabled);
}

bool CPointPropertyEditorBase::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control || (control != m_X && control != m_Y))
        return false;
    if (notification != kNotifyChanged)
        return false;
    Commit();
    return true;
}

CPointPropertyEditor::CPointPropertyEditor(const CPointProperty* property, const CProperty* categoryProperty,
                                           CObjectEditor* editor, CObject* object)
    : CPointPropertyEditorBase(property, categoryProperty, editor, object)
    , m_PointProperty(property)
{
}

void CPointPropertyEditor::Refresh()
{
    if (!m_X || !m_Y)
        return;
    const CPoint& value = m_PointProperty->Value(m_Object);
    m_X->SetTitleFromFloat(float(value.x));
    m_Y->SetTitleFromFloat(float(value.y));
}

void CPointPropertyEditor::Commit()
{
    CEditorCheckpoint checkpoint("PointPropertyCheckpoint", m_Property->GetNameString());
    m_PointProperty->Store(m_Object, CPoint{m_X->GetTitle().ToInt(), m_Y->GetTitle().ToInt()});
    NotifyObjectOfEdit();
}

CFPointPropertyEditor::CFPointPropertyEditor(const CFPointProperty* property, const CProperty* categoryProperty,
                                             CObjectEditor* editor, CObject* object)
    : CPointPropertyEditorBase(property, categoryProperty, editor, object)
    , m_PointProperty(property)
{
}

void CFPointPropertyEditor::Refresh()
{
    if (!m_X || !m_Y)
        return;
    const CFPoint& value = m_PointProperty->Value(m_Object);
    m_X->SetTitleFromFloat(value.x);
    m_Y->SetTitleFromFloat(value.y);
}

void CFPointPropertyEditor::Commit()
{
    CEditorCheckpoint checkpoint("FPointPropertyCheckpoint", m_Property->GetNameString());
    m_PointProperty->Store(m_Object, CFPoint{m_X->GetTitle().ToFloat(), m_Y->GetTitle().ToFloat()});
    NotifyObjectOfEdit();
}
// ==== Colours ==============================================================

namespace {

// The cursor of things that act when pressed.
constexpr int32_t kSpotCursor = 4;
constexpr int32_t kSpotSize = 22;

class COpenPickerCommand : public CCommand {
public:
    explicit COpenPickerCommand(CColorPropertyEditor& row)
        : m_Row(row)
    {
    }
    void Execute() override { m_Row.OpenPicker(); }

private:
    CColorPropertyEditor& m_Row;
};

class CPickerClosedCommand : public CCommand {
public:
    explicit CPickerClosedCommand(std::shared_ptr<CColorPropertyEditor*> link)
        : m_Link(std::move(link))
    {
    }
    void Execute() override
    {
        if (*m_Link)
            (*m_Link)->ForgetPicker();
    }

private:
    std::shared_ptr<CColorPropertyEditor*> m_Link;
};

uint8_t ComponentOf(const CJSpin* spin, uint8_t otherwise)
{
    if (!spin)
        return otherwise;
    return uint8_t(std::clamp(spin->GetTitle().ToInt(), 0, 255));
}

} // namespace

CColorSpot::CColorSpot(CJWindow* parent, const CColor* colour, CCommand* command)
    : CJWindow(parent, "Color Spot")
    , m_Colour(colour)
    , m_Command(command)
{
    SetSize(kSpotSize, kSpotSize);
}

CColorSpot::~CColorSpot()
{
    delete m_Command;
}

void CColorSpot::Draw(CFrameInterface& frame)
{
    if (m_Colour) {
        CColor colour = *m_Colour;
        frame.FillRect(CRect{0, 0, m_ContentWidth, m_ContentHeight}, colour);
    }
    CJWindow::Draw(frame);
}

bool CColorSpot::OnMouseDown(uint32_t button, CPoint point)
{
    if (button != 0)
        return CJWindow::OnMouseDown(button, point);
    if (m_Command)
        m_Command->Execute();
    return true;
}

CCursorSequence* CColorSpot::GetCursor(CPoint)
{
    return GetStandardCursor(kSpotCursor);
}

CColorPropertyEditor::CColorPropertyEditor(const CColorProperty* property, const CProperty* categoryProperty,
                                           CObjectEditor* editor, CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_ColorProperty(property)
    , m_Link(std::make_shared<CColorPropertyEditor*>(this))
{
}

CColorPropertyEditor::~CColorPropertyEditor()
{
    *m_Link = nullptr;
    if (m_Picker) {
        CJWindow* picker = m_Picker;
        m_Picker = nullptr;
        picker->RequestClose();
    }
}

const CColor& CColorPropertyEditor::GetColor() const
{
    return m_ColorProperty->Value(m_Object);
}

void CColorPropertyEditor::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    static const char* const kLabels[] = {"R:", "G:", "B:", "A:"};
    const int32_t components = m_ColorProperty->HasAlpha() ? 4 : 3;
    for (int32_t i = 0; i < components; ++i) {
        pane->Add<CJStatic>(kPlaceRowControl, kLabels[i]);
        m_Spins[i] = &pane->Add<CJSpin>(kPlaceRowControl, CJString("2558"), "2558");
        m_Spins[i]->SetRange(0.0f, 255.0f);
        m_Spins[i]->SetTabStop(true);
    }
    m_Spot = &pane->Add<CColorSpot>(kPlaceRowControl, &GetColor(), new COpenPickerCommand(*this));
    Refresh();
    Enable(enabled);
}

bool CColorPropertyEditor::Paste(bool testOnly)
{
    if (!m_Enabled || !CPropertyEditor::Paste(testOnly))
        return false;
    if (!testOnly)
        NotifyObjectOfEdit();
    return true;
}

bool CColorPropertyEditor::Delete(bool testOnly)
{
    if (!m_Enabled || !CPropertyEditor::Delete(testOnly))
        return false;
    if (!testOnly)
        NotifyObjectOfEdit();
    return true;
}

void CColorPropertyEditor::Enable(bool enabled)
{
    m_Enabled = enabled;
    for (CJSpin* spin : m_Spins)
        if (spin)
            spin->Enable(enabled);
    if (m_Spot)
        m_Spot->Enable(enabled);
}

void CColorPropertyEditor::Refresh()
{
    const CColor& colour = GetColor();
    const uint8_t* rgb = colour.GetRgbCopy(); // blue, green, red
    const float values[] = {float(rgb[2]), float(rgb[1]), float(rgb[0]), float(colour.GetAlpha())};
    for (int32_t i = 0; i < 4; ++i)
        if (m_Spins[i])
            m_Spins[i]->SetTitleFromFloat(values[i]);
}

void CColorPropertyEditor::Store(const CColor& colour)
{
    m_ColorProperty->Store(m_Object, colour);
    NotifyObjectOfEdit();
}

void CColorPropertyEditor::Commit()
{
    CEditorCheckpoint checkpoint("ColorPropertyCheckpoint", m_Property->GetNameString());
    Store(CColor(ComponentOf(m_Spins[0], 0), ComponentOf(m_Spins[1], 0), ComponentOf(m_Spins[2], 0),
                 ComponentOf(m_Spins[3], 255)));
}

bool CColorPropertyEditor::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control)
        return false;
    for (CJSpin* spin : m_Spins) {
        if (!spin || control != spin)
            continue;
        if (notification != kNotifyChanged)
            return false;
        Commit();
        return true;
    }
    return false;
}

void CColorPropertyEditor::OpenPicker()
{
    if (m_Picker || (m_Spot && !m_Spot->IsEnabled()))
        return;
    m_Picker = OpenColorPickerForRow(*this);
    // The picker may close on its own; the row hears of it.
    if (m_Picker)
        m_Picker->Add<CCloseNotification>(EPlace::AsIs, new CPickerClosedCommand(m_Link));
}

void CColorPropertyEditor::ApplyPickedColor(const CColor& picked)
{
    CEditorCheckpoint checkpoint("ColorPropertyCheckpoint", m_Property->GetNameString());
    const float values[]
        = {float(picked.GetRed()), float(picked.GetGreen()), float(picked.GetBlue()), float(picked.GetAlpha())};
    for (int32_t i = 0; i < 4; ++i)
        if (m_Spins[i])
            m_Spins[i]->SetTitleFromFloat(values[i]);
    if (m_Spins[0])
        Store(CColor(ComponentOf(m_Spins[0], 0), ComponentOf(m_Spins[1], 0), ComponentOf(m_Spins[2], 0),
                     ComponentOf(m_Spins[3], 255)));
    else
        Store(CColor(picked.GetRed(), picked.GetGreen(), picked.GetBlue(),
                     m_ColorProperty->HasAlpha() ? picked.GetAlpha() : 255));
}

// ==== Makers ===============================================================

bool MakePointAndColorPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                                   const CProperty* categoryProperty, const CJString& label)
{
    if (!editor || !object || !property)
        return false;
    if (const auto* point = dynamic_cast<const CPointProperty*>(property)) {
        editor->AddPropertyEditor(new CPointPropertyEditor(point, categoryProperty, editor, object), label.GetString());
        return true;
    }
    if (const auto* point = dynamic_cast<const CFPointProperty*>(property)) {
        editor->AddPropertyEditor(new CFPointPropertyEditor(point, categoryProperty, editor, object),
                                  label.GetString());
        return true;
    }
    if (const auto* colour = dynamic_cast<const CColorProperty*>(property)) {
        editor->AddPropertyEditor(new CColorPropertyEditor(colour, categoryProperty, editor, object),
                                  label.GetString());
        return true;
    }
    return false;
}
