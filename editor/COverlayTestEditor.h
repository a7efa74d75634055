#pragma once
// "Foo Edit": one overlay set of the global list shown at full size, over
// its preview background. The developer picks overlays with the mouse (the
// topmost one with an opaque pixel under the pointer), drags them or nudges
// them with the arrow keys; with nothing selected every overlay moves. The
// set is saved to its own file after every move; a save that fails is
// reported once, in a box, until a save works again. A double click opens
// the object editor on the overlay under the pointer, "Properties" on the
// whole set.

#include "foundation/CArrayPOD.h"
#include "ui/CJFrameWindow.h"

#include <cstdint>

class CFrameOverlay;
class CFrameOverlayOptions;
class CJButton;
class CJCheckBox;
class CJComboBox;

class CFooEditControl : public CJWindow {
public:
    explicit CFooEditControl(CJWindow* parent);
    ~CFooEditControl() override;

    // The shown set; null when the list has none at the index.
    CFrameOverlayOptions* GetSet() const;
    // The overlay of the set drawn on top at the point (control
    // coordinates), or null.
    CFrameOverlay* PickAt(CPoint point) const;
    // Moves the selection (every overlay when none is selected) and saves.
    void MoveSelection(int32_t dx, int32_t dy);

    void SetSetIndex(uint32_t index);
    uint32_t GetSetIndex() const { return m_SetIndex; }
    void SetShowBackground(bool on) { m_ShowBackground = on; }
    bool GetShowBackground() const { return m_ShowBackground; }
    void SetPreview(bool on) { m_Preview = on; }
    bool GetPreview() const { return m_Preview; }
    const CArrayPOD<CFrameOverlay*>& GetSelection() const { return m_Selection; }
    CFrameOverlay* GetPickedOverlay() const { return m_PickedOverlay; }

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    bool OnKeyDown(uint32_t key) override;
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;

private:
    CPoint ToControl(CPoint screenPoint) const;
    void Save(CFrameOverlayOptions& set);

    uint32_t m_SetIndex = 0;
    bool m_ShowBackground = true;
    bool m_Preview = false;
    CFrameOverlay* m_PickedOverlay = nullptr;
    CArrayPOD<CFrameOverlay*> m_Selection;
    // A failed save is shown once; the next one that works clears this.
    bool m_SaveFailureShown = false;
};

class CFooEditFrame : public CJFrameWindow {
public:
    static constexpr const char* kTitle = "Foo Edit";

    explicit CFooEditFrame(CJWindow* parent);

    CJComboBox* GetSetCombo() const { return m_SetCombo; }
    CJButton* GetPropertiesButton() const { return m_PropertiesButton; }
    CJCheckBox* GetShowBackgroundBox() const { return m_ShowBackgroundBox; }
    CJCheckBox* GetPreviewBox() const { return m_PreviewBox; }
    CFooEditControl* GetControl() const { return m_Control; }

    void OnNotify(CJWindow* sender, int32_t code) override;
    bool OnKeyDown(uint32_t key) override;
    void SetRect(const CRect& rect) override;

private:
    void EditSet();
    void CopyShowBackground();
    void CopyPreview();
    void FitControl();

    CJComboBox* m_SetCombo = nullptr;
    CJButton* m_PropertiesButton = nullptr;
    CJCheckBox* m_ShowBackgroundBox = nullptr;
    CJCheckBox* m_PreviewBox = nullptr;
    CFooEditControl* m_Control = nullptr;
    bool m_Constructed = false;
};


// Opens "Foo Edit" in front of parent's children; the new window.
CFooEditFrame* OpenFooEditFrame(CJWindow* parent);
