#pragma once
// Object editor rows for points and colours: a spin per component, and for
// colours a spot that opens the colour picker.
//
// Rows write straight into the edited object and tell it of each edit.

#include "blit/CColor.h"
#include "editor/CPropertyEditor.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <memory>

class CColorProperty;
class CCommand;
class CFPointProperty;
class CJSpin;
class CPointProperty;

// ---- Points -------------------------------------------------------------------

// "X:" and a spin, "Y:" and a spin; the integer and float kinds share it.
class CPointPropertyEditorBase : public CPropertyEditor {
public:
    using CPropertyEditor::CPropertyEditor;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    bool SupportsClipboard() override { return true; }
    // Refused while the row is disabled; the object is told of a change.
    bool Paste(bool testOnly) override;
    bool Delete(bool testOnly) override;
    void Enable(bool enabled) override;

    CJSpin* GetXSpin() const { return m_X; }
    CJSpin* GetYSpin() const { return m_Y; }

protected:
    virtual void Commit() = 0;

    CJSpin* m_X = nullptr;
    CJSpin* m_Y = nullptr;
    bool m_Enabled = true;
};

class CPointPropertyEditor : public CPointPropertyEditorBase {
public:
    CPointPropertyEditor(const CPointProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                         CObject* object);
    void Refresh() override;

protected:
    void Commit() override;

private:
    const CPointProperty* m_PointProperty;
};

class CFPointPropertyEditor : public CPointPropertyEditorBase {
public:
    CFPointPropertyEditor(const CFPointProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                          CObject* object);
    void Refresh() override;

protected:
    void Commit() override;

private:
    const CFPointProperty* m_PointProperty;
};

// ---- Colours ------------------------------------------------------------------

// A 22 by 22 swatch of a colour it does not own; a left press runs its
// command (owned).
class CColorSpot : public CJWindow {
public:
    CColorSpot(CJWindow* parent, const CColor* colour, CCommand* command);
    ~CColorSpot() override;

    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;
    CCursorSequence* GetCursor(CPoint point) override;

    const CColor* GetColor() const { return m_Colour; }

private:
    const CColor* m_Colour;
    CCommand* m_Command;
};

class CColorPropertyEditor : public CPropertyEditor {
public:
    CColorPropertyEditor(const CColorProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                         CObject* object);
    // Asks an open picker to close: the row may go while the picker's own
    // pick runs (an edit that rebuilds the editor), so it is never freed here.
    ~CColorPropertyEditor() override;

    void CreateControls(bool enabled) override;
    bool ApplyEdit(CJWindow* control, int32_t notification) override;
    bool SupportsClipboard() override { return true; }
    // Refused while the row is disabled; the object is told of a change.
    bool Paste(bool testOnly) override;
    bool Delete(bool testOnly) override;
    void Enable(bool enabled) override;
    void Refresh() override;

    // The spot's command: opens one picker (none while one is open).
    void OpenPicker();
    // A colour from the picker, stored as a spin edit is.
    void ApplyPickedColor(const CColor& colour);
    // The value shown in the row.
    const CColor& GetColor() const;
    CJWindow* GetPicker() const { return m_Picker; }
    // Told by the picker's close notification.
    void ForgetPicker() { m_Picker = nullptr; }
    // The row while it lives, null after: what a picker's commands hold it by.
    std::shared_ptr<CColorPropertyEditor* const> GetLink() const { return m_Link; }

    CJSpin* GetSpin(int32_t component) const { return component >= 0 && component < 4 ? m_Spins[component] : nullptr; }
    CColorSpot* GetSpot() const { return m_Spot; }

private:
    void Store(const CColor& colour);
    void Commit();

    const CColorProperty* m_ColorProperty;
    CJSpin* m_Spins[4] = {nullptr, nullptr, nullptr, nullptr}; // red, green, blue, alpha (with alpha only)
    CColorSpot* m_Spot = nullptr;
    CJWindow* m_Picker = nullptr;
    bool m_Enabled = true;
    // What the picker's close notification reaches the row through; emptied
    // when the row goes first.
    std::shared_ptr<CColorPropertyEditor*> m_Link;
};

// ---- Makers -------------------------------------------------------------------

// The rows of point and colour properties.
bool MakePointAndColorPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                                   const CProperty* categoryProperty, const CJString& label);
