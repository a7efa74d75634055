#pragma once
// The level editor's controls in one tool palette: a menu bar (File, Edit,
// Select, Align), a pop-up of the stored game states, the level navigation
// buttons ("<", the level number, ">"), "Level Properties", "Options", and a
// panel with a View and an Edit check box for every playfield layer.
//
// Each entry and button runs a command; one with a test is greyed on every
// update while its test fails. "<" and ">" step the stored level, so they
// stay greyed in the played-level mode and at the ends of the level list.
// "Exit" closes the whole editor, as Escape does.

#include "ui/CJToolPalette.h"

#include <cstdint>
#include <vector>

class CJButton;
class CJMenuBar;
class CJPopUpMenu;
class CLevelEditorWindow;
class CPlayfieldLayer;
class CVirtualTree;

class CEditorToolPalette : public CJToolPalette {
public:
    static constexpr const char* kSettingsKey = "CEditorToolPalette 2";
    static constexpr int32_t kStartX = 0;
    static constexpr int32_t kStartY = 566;

    explicit CEditorToolPalette(CLevelEditorWindow* editor);
    ~CEditorToolPalette() override;

    // The level button's title, then every control's enabled state.
    void Update(float seconds) override;
    // The game-state pop-up's choice.
    void OnNotify(CJWindow* sender, int32_t code) override;

    CLevelEditorWindow* GetEditor() const { return m_Editor; }
    CJMenuBar* GetMenuBar() const { return m_MenuBar; }
    CJPopUpMenu* GetGameStatePopUp() const { return m_GameStatePopUp; }
    CJButton* GetPreviousButton() const { return m_PreviousButton; }
    CJButton* GetLevelButton() const { return m_LevelButton; }
    CJButton* GetNextButton() const { return m_NextButton; }
    CJButton* GetLevelPropertiesButton() const { return m_LevelPropertiesButton; }
    CJButton* GetOptionsButton() const { return m_OptionsButton; }
    CJWindow* GetLayerPanel() const { return m_LayerPanel; }

    // ---- Commands ---------------------------------------------------------
    void OpenAssetDependencyBrowserWindow();
    void OpenListBrowserWindow();
    void OpenImageBrowser();
    void OpenFooEditor();
    void OpenSpritePalette();
    void Exit();
    void EditSpriteProperties();
    bool HasFirstSelected();
    void Undo();
    bool CanUndo();
    void Redo();
    bool CanRedo();
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void ViewClipboard();
    void OpenScrapBookWindow();
    void OpenLevelSorterWindow();
    void EditLevelProperties();
    void EditActiveGameState();
    void EditActivePlayfield();
    void SelectAll();
    void BringForward();
    void BringToFront();
    void SendToBack();
    void SendBackward();
    void AutomaticZSort();
    void MoveToSelectedLayer();
    // Mode 0 only: close the object editor, save the layer flags and show
    // all layers, step the level index within the list, load the new
    // playfield's flags.
    void PreviousLevel();
    bool CanGoToPreviousLevel();
    void NextLevel();
    bool CanGoToNextLevel();
    void EditOptions();

private:
    void BuildMenus();
    void BuildLayerPanel();
    // The panel follows the street shown: built anew when the current
    // playfield's layers are no longer the ones it was built for.
    void RefreshLayerPanel(bool moveOnScreen);
    // As large as the controls, whatever size was saved (by the other mode,
    // or for another street's layers), and wholly on the screen, unless it
    // is to keep its place: a step button stays under the pointer.
    void FitToControls(bool moveOnScreen);
    void StepLevel(int32_t step);

    CLevelEditorWindow* m_Editor;
    CJMenuBar* m_MenuBar = nullptr;
    CJPopUpMenu* m_GameStatePopUp = nullptr;
    CJButton* m_PreviousButton = nullptr;
    CJButton* m_LevelButton = nullptr;
    CJButton* m_NextButton = nullptr;
    CJButton* m_LevelPropertiesButton = nullptr;
    CJButton* m_OptionsButton = nullptr;
    CJWindow* m_LayerPanel = nullptr;
    // The layers the panel shows, in the playfield's order (compared only).
    std::vector<const CPlayfieldLayer*> m_PanelLayers;
    // Without the layer panel.
    int32_t m_ControlsWidth = 0;
    int32_t m_ControlsHeight = 0;
    CVirtualTree* m_GameStateTree = nullptr; // owned
};

// The index of the stored game state the pop-up last chose; 0 at start.
int32_t GetEditorGameStateIndex();

