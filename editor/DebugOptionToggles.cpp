#include "editor/DebugOptionToggles.h"

#include "foundation/CIniSection.h"
#include "foundation/SettingsFiles.h"
#include "shell/CScreenFrame.h"
#include "ui/CJCheckBox.h"

#include <algorithm>
#include <vector>

namespace {

// Made by the first option, so it outlives every option made after it.
std::vector<CTinkerOption*>& Registry()
{
    static std::vector<CTinkerOption*> options;
    return options;
}

const CJString& EmptyText()
{
    static const CJString empty;
    return empty;
}

void ApplySafeZone(bool value)
{
    CScreenFrame::SGetInstance().SetDrawSafeZone(value);
}

void ApplySkipBlitX(bool value)
{
    CScreenFrame::SGetInstance().SetSkipBlitXDrawing(value);
}

} // namespace

// ---- Options ----------------------------------------------------------------

CTinkerOption::CTinkerOption()
{
    Registry().push_back(this);
}

CTinkerOption::~CTinkerOption()
{
    std::vector<CTinkerOption*>& options = Registry();
    options.erase(std::remove(options.begin(), options.end(), this), options.end());
}

CJString CTinkerOption::GetHelp() const
{
    return CJString();
}

const CJString& CTinkerOption::GetValueText() const
{
    return EmptyText();
}

uint32_t GetTinkerOptionCount()
{
    return uint32_t(Registry().size());
}

CTinkerOption* GetTinkerOption(uint32_t index)
{
    const std::vector<CTinkerOption*>& options = Registry();
    return index < options.size() ? options[index] : nullptr;
}

// ---- Check boxes ------------------------------------------------------------

CTinkerCheckBox::CTinkerCheckBox(const char* label, const char* settingsKey, const char* groupName,
                                 bool initialValue, const char* help, Applier applier)
    : m_Label(label ? label : "")
    , m_Help(help ? help : "")
    , m_SettingsKey(settingsKey)
    , m_Value(initialValue)
    , m_Applier(applier)
{
    m_GroupName.Set(groupName ? groupName : "Default");
}

void CTinkerCheckBox::CreateControl(CJWindow* parent)
{
    m_CheckBox = &parent->Add<CJCheckBox>(EPlace::BelowPrevious, m_Label);
    if (m_Value)
        m_CheckBox->SetChecked(1);
}

void CTinkerCheckBox::Load()
{
    if (!IsKept())
        return;
    const CIniSection& engine = GetOptionsSection();
    SetValue(GetIniInt(engine.GetFileName(), engine.GetSection(), m_SettingsKey, m_Value ? 1 : 0) != 0);
}

void CTinkerCheckBox::Save()
{
    if (!IsKept())
        return;
    const CIniSection& engine = GetOptionsSection();
    (void)SetIniInt(engine.GetFileName(), engine.GetSection(), m_SettingsKey, m_Value ? 1 : 0);
}

bool CTinkerCheckBox::OnNotify(CJWindow* sender, int32_t code)
{
    if (code != kNotifyClicked || !sender || sender != m_CheckBox)
        return false;
    SetValue(m_CheckBox->IsChecked() != 0);
    Save();
    return true;
}

CJString CTinkerCheckBox::GetLabel() const
{
    return CJString(m_Label);
}

CJString CTinkerCheckBox::GetHelp() const
{
    return CJString(m_Help);
}

const CJString& CTinkerCheckBox::GetValueText() const
{
    static const CJString yes("Yes");
    static const CJString no("No");
    return m_Value ? yes : no;
}

void CTinkerCheckBox::Toggle()
{
    SetValue(!m_Value);
}

void CTinkerCheckBox::Activate()
{
    SetValue(!m_Value);
}

void CTinkerCheckBox::SetValue(bool value)
{
    m_Value = value;
    if (m_Applier)
        m_Applier(value);
}

// ---- The engine's options ---------------------------------------------------

CTinkerCheckBox& GetLoadingMessagesOption()
{
    static CTinkerCheckBox option("Enable Loading Messages", "Enable Loading Messages", "Debug", false, "");
    return option;
}

CTinkerCheckBox& GetDrawSafeZoneOption()
{
    // An empty key keeps nothing: one shared key would tie this option to the next.
    static CTinkerCheckBox option("Draw safe zone rect", "", "Toolkit", false, "ds", &ApplySafeZone);
    return option;
}

CTinkerCheckBox& GetSkipBlitXDrawPrimitiveOption()
{
    static CTinkerCheckBox option("Skip BlitX DrawPrimitive", "", "Performance", false, "", &ApplySkipBlitX);
    return option;
}

void BuildDebugOptionToggles()
{
    GetLoadingMessagesOption();
    GetDrawSafeZoneOption();
    GetSkipBlitXDrawPrimitiveOption();
}
