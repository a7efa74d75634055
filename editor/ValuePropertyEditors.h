#pragma once
// The object editor's rows for plain values: a number spin for whole and
// float numbers, a check box for flags and bits, a text field for strings,
// and the rows of an object embedded by value (one row per shown property
// of the member, labelled "<outer label> <member property name>").
//
// Every store goes through the property (so through its setter where it
// has one) and the edited object is told of it. Spin and text edits are
// bracketed by undo checkpoints named after the property; flag edits are
// not. A row whose store was refused or changed by a setter rebuilds the
// editor so that it shows what the object really holds.
//
// Whole-number rows show their value as whole-number text: a spin shows
// floats in six significant digits, and "1e+06" read back as leading
// digits would store 1.

#include "editor/CPropertyEditor.h"
#include "foundation/CJString.h"

#include <cstdint>
#include <vector>

class CBitProperty;
class CBoolProperty;
class CIntProperty;
class CJCheckBox;
class CJEdit;
class CJSpin;
class CJStatic;
class CJStringProperty;
class CJStringPropertyTranslated;
class CLongProperty;
class CUintProperty;
template <typename T, typename Converter>
class CTemplateValueProperty;
struct CStringFloatConverter;

// Units for the number rows of an owned object's properties: set by the
// owning property's row while it makes those rows, empty otherwise.
extern CJString g_EditorUnitsOverride;

// P: CIntProperty, CLongProperty, CUintProperty or the float property. The
// unsigned and float rows show special values ("Unlimited", "none") as
// check boxes in one radio group with an "other value" box titled with the
// units; the spin holds the other value.
template <typename P>
class CNumberSpinPropertyEditor : public CPropertyEditor {
public:
    CNumberSpinPropertyEditor(const P* property, const CProperty* categoryProperty, CObjectEditor* editor,
                              CObject* object);

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    void Enable(bool enabled) override;
    void Refresh() override;
    // Spin limits as given, stepping by 0.1.
    virtual void SetSpinRange(float minimum, float maximum);

    // Rebuild the object editor after every edit.
    void SetRefreshAfterEdit(bool on) { m_RefreshAfterEdit = on; }
    bool GetRefreshAfterEdit() const { return m_RefreshAfterEdit; }
    const CJString& GetUnitsLabel() const { return m_UnitsLabel; }

    CJSpin* GetSpin() const { return m_Spin; }
    CJCheckBox* GetOtherValueBox() const { return m_OtherValueBox; }
    const std::vector<CJCheckBox*>& GetSpecialValueBoxes() const { return m_SpecialValueBoxes; }
    CJStatic* GetUnitsStatic() const { return m_UnitsStatic; }

private:
    int32_t SpecialValueCount() const;
    // The index of the special value the member holds, or -1.
    int32_t FindMemberSpecialValue() const;
    // The spin shows the member's display value.
    void ShowMemberInSpin();
    void StoreEditedText(const CJString& text);
    void OnOtherValueClicked();
    void OnSpecialValueClicked(int32_t index);

    const P* m_TypedProperty;
    CJSpin* m_Spin = nullptr;
    bool m_RefreshAfterEdit = false;
    CJCheckBox* m_OtherValueBox = nullptr;
    std::vector<CJCheckBox*> m_SpecialValueBoxes;
    CJString m_UnitsLabel;
    CJStatic* m_UnitsStatic = nullptr;
};

// P: CBoolProperty (checked when the byte is set) or CBitProperty (checked
// when any mask bit is set, or as the property shows it).
template <typename P>
class CCheckBoxPropertyEditor : public CPropertyEditor {
public:
    CCheckBoxPropertyEditor(const P* property, const CProperty* categoryProperty, CObjectEditor* editor,
                            CObject* object);

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    CJCheckBox* GetCheckBox() const { return m_CheckBox; }

private:
    bool IsMemberSet() const;

    const P* m_TypedProperty;
    CJCheckBox* m_CheckBox = nullptr;
};

// P: CJStringProperty or CJStringPropertyTranslated (which edits the text
// as written in the data). Multi-line when the property asks for more than
// one edit line; Enter then starts a new line.
template <typename P>
class CTextPropertyEditor : public CPropertyEditor {
public:
    static constexpr const char* kWidthSample = "Max Edit Field Width Example Text WWWWWWWWWWW";

    CTextPropertyEditor(const P* property, const CProperty* categoryProperty, CObjectEditor* editor,
                        CObject* object);

    // A multi-line field's height; 0 for one line.
    int32_t GetExtraHeight() override;
    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    CJEdit* GetEdit() const { return m_Edit; }

private:
    bool IsMultiLineField() const;
    // A field sized and shaped as the row's.
    CJEdit* MakeEdit(CJWindow* parent) const;

    const P* m_TypedProperty;
    CJEdit* m_Edit = nullptr;
};

using CFloatSpinPropertyEditor = CNumberSpinPropertyEditor<CTemplateValueProperty<float, CStringFloatConverter>>;

// The row maker of the kinds above (RegisterEditorClasses adds it).
bool MakeValuePropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                           const CProperty* categoryProperty, const CJString& label);
