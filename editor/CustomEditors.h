#pragma once
// The previews frames, fonts and sequences put beside their property rows:
// each begins with a "Preview:" label under the category's last row (at the
// top of a category without rows) and builds its controls once.
//
//  - CSequenceEditor ("Image"): the animation with Play, Pause, Previous and
//    Next (stepping whole frames, wrapping at both ends), the hot spot and,
//    for a sequence holding per-frame points, their editing.
//  - CFrameEditor ("General"): the frame.
//  - CFontEditor ("Load"): the character map of codes 0 to 255, sixteen to
//    a row, each cell with the edited font's glyph above the interface
//    font's, and four lines per row marking the row top, the line height
//    less the height, the line height, and that plus the point size.
//  - CCommandButtonEditor ("General"): one button under the rows that runs
//    the command its object gave (an audio object's "Play").

#include "editor/CObjectEditor.h"

#include <cstdint>
#include <memory>

class CCommand;
class CFont;
class CFrame;
class CJCheckBox;
class CJPictureWindow;
class CJRadioButton;
class CSequence;
class CSequenceBrowserItem;
class CWindowedBrowsableImage;

class CSequenceEditor : public CCustomEditor {
public:
    CSequenceEditor();

    void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject* owner) override;
    bool OnNotify(CJWindow* sender, int32_t code) override;

    CJCheckBox* GetShowHotSpotBox() const { return m_ShowHotSpot; }
    // Null unless the sequence holds per-frame points.
    CJCheckBox* GetShowCoordinatesBox() const { return m_ShowCoordinates; }
    CJRadioButton* GetPlayButton() const { return m_Play; }
    CJRadioButton* GetPauseButton() const { return m_Pause; }
    CJButton* GetPreviousButton() const { return m_Previous; }
    CJButton* GetNextButton() const { return m_Next; }
    CWindowedBrowsableImage* GetPreview() const { return m_Preview; }
    CSequenceBrowserItem* GetItem() const { return m_Item; }

private:
    void StopAtFrame(bool next);

    CJCheckBox* m_ShowHotSpot = nullptr;
    CJCheckBox* m_ShowCoordinates = nullptr;
    CJRadioButton* m_Play = nullptr;
    CJRadioButton* m_Pause = nullptr;
    CJButton* m_Previous = nullptr;
    CJButton* m_Next = nullptr;
    CWindowedBrowsableImage* m_Preview = nullptr;
    CSequenceBrowserItem* m_Item = nullptr; // owned by the preview
};

class CFrameEditor : public CCustomEditor {
public:
    CFrameEditor();

    void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject* owner) override;

    CFrame* GetFrame() const { return m_Frame; }
    CWindowedBrowsableImage* GetPreview() const { return m_Preview; }

private:
    CFrame* m_Frame = nullptr;
    CWindowedBrowsableImage* m_Preview = nullptr;
};

class CFontEditor : public CCustomEditor {
public:
    CFontEditor();
    ~CFontEditor() override;

    void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject* owner) override;

    // Cell width: the widest glyph of either font. Row pitch: both point
    // sizes and 6.
    int32_t GetCellWidth() const { return m_CellWidth; }
    int32_t GetRowPitch() const { return m_RowPitch; }
    CFrame* GetMap() const { return m_Map.get(); }
    CJPictureWindow* GetPicture() const { return m_Picture; }

    // Draws the map of font, with interfaceFont under it, into a new frame.
    static std::unique_ptr<CFrame> DrawCharacterMap(CFont& font, CFont& interfaceFont, int32_t& cellWidth,
                                                    int32_t& rowPitch);

private:
    CFont* m_Font = nullptr;
    CFont* m_InterfaceFont = nullptr;
    CJPictureWindow* m_Picture = nullptr;
    std::unique_ptr<CFrame> m_Map;
    int32_t m_CellWidth = 0;
    int32_t m_RowPitch = 0;
};

class CCommandButtonEditor : public CCustomEditor {
public:
    // Owns command until the button takes it.
    CCommandButtonEditor(const char* title, CCommand* command);
    ~CCommandButtonEditor() override;

    void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject* owner) override;

    CJButton* GetButton() const { return m_Button; }

private:
    CJString m_Title;
    std::unique_ptr<CCommand> m_Command;
    CJButton* m_Button = nullptr;
};

// The "Preview:" label every custom editor begins with.
CJStatic* AddPreviewLabel(CPropertyPane* pane, CJWindow* lastRow);

// Frames, fonts and sequences reach these editors through their layers'
// hooks; RegisterEditorClasses installs them.
void InstallCustomEditorHooks();
