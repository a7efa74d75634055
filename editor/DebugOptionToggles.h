#pragma once
// Debug options ("tinker" options): named switches for diagnostic engine
// behaviour. Each option registers itself in one list, in construction
// order, can put a check box for itself into any panel that lists them, and
// keeps its value in the engine's settings under its own key. Code below
// the editors cannot see these objects, so an option hands each new value to
// the setting it drives (the screen's safe-zone outline, for one).
//
// An option without a settings key (null or empty) is not kept: two options
// must never share one key, or switching one would switch the other after
// a restart.
#include "foundation/CJString.h"

#include <cstdint>

class CJCheckBox;
class CJWindow;

class CTinkerOption {
public:
    // Appends itself to the list.
    CTinkerOption();
    // Takes itself out of the list, so the list never names a dead option.
    virtual ~CTinkerOption();
    CTinkerOption(const CTinkerOption&) = delete;
    CTinkerOption& operator=(const CTinkerOption&) = delete;

    virtual void CreateControl(CJWindow* parent) = 0;
    virtual void Load() = 0;
    // True when the notice was the option's own control's.
    virtual bool OnNotify(CJWindow* sender, int32_t code) = 0;
    virtual CJString GetLabel() const = 0;
    virtual CJString GetHelp() const;
    virtual const CJString& GetValueText() const;
    virtual void Toggle() {}
    virtual void Activate() {}

    const CJString& GetGroupName() const { return m_GroupName; }

protected:
    CJString m_GroupName{"Default"};
};

uint32_t GetTinkerOptionCount();
// Null past the end.
CTinkerOption* GetTinkerOption(uint32_t index);

class CTinkerCheckBox : public CTinkerOption {
public:
    // Told every new value.
    using Applier = void (*)(bool value);

    // The texts are not copied and must outlive the option. settingsKey null
    // or empty: the value is not kept.
    CTinkerCheckBox(const char* label, const char* settingsKey, const char* groupName, bool initialValue,
                    const char* help, Applier applier = nullptr);

    // A check box titled with the label, added to the parent under its
    // previous child, checked when the value is on.
    void CreateControl(CJWindow* parent) override;
    // The kept value, when there is one.
    void Load() override;
    bool OnNotify(CJWindow* sender, int32_t code) override;
    CJString GetLabel() const override;
    CJString GetHelp() const override;
    // "Yes" or "No".
    const CJString& GetValueText() const override;
    void Toggle() override;
    void Activate() override;

    virtual void SetValue(bool value);
    // Keeps the value under the key (0 or 1); nothing without a key.
    virtual void Save();

    bool GetValue() const { return m_Value; }
    bool IsKept() const { return m_SettingsKey && *m_SettingsKey; }

private:
    const char* m_Label;
    const char* m_Help;
    const char* m_SettingsKey;
    bool m_Value;
    CJCheckBox* m_CheckBox = nullptr; // the parent owns it; compared only
    Applier m_Applier;
};

// The engine's options, made in a fixed order by BuildDebugOptionToggles
// (RegisterEditorClasses) and destroyed at exit.
void BuildDebugOptionToggles();
// "Enable Loading Messages" (group "Debug"): the start-up log shows nothing
// in this program, so nothing reads it yet.
CTinkerCheckBox& GetLoadingMessagesOption();
// "Draw safe zone rect" (group "Toolkit"): the screen outlines its safe zone.
CTinkerCheckBox& GetDrawSafeZoneOption();
// "Skip BlitX DrawPrimitive" (group "Performance"): the screen leaves out
// the drawing of transformed blits.
CTinkerCheckBox& GetSkipBlitXDrawPrimitiveOption();
