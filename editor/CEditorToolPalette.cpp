#include "editor/CEditorToolPalette.h"

#include "editor/CAssetDependencyBrowser.h"
#include "editor/CClipboardWindow.h"
#include "editor/CEditorCheckpointHistory.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CLevelEditorOptions.h"
#include "editor/CLevelEditorWindow.h"
#include "editor/CListBrowserWindow.h"
#include "editor/CObjectEditor.h"
#include "editor/COverlayTestEditor.h"
#include "editor/CScrapBook.h"
#include "foundation/CCommand.h"
#include "foundation/CDirectoryTree.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CPlayfield.h"
#include "images/CFrameList.h"
#include "objects/CObjectModelHost.h"
#include "sequences/CSequenceList.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJComboBox.h"
#include "ui/CJMenu.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"
#include "ui/CSkinTheme.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kKeyHome = 5;
constexpr uint32_t kKeyPageUp = 7;
constexpr uint32_t kKeyEnd = 14;
constexpr uint32_t kKeyPageDown = 15;
constexpr uint32_t kKeyBackQuote = '`';
constexpr int32_t kGameStateWidthUnits = 40;
constexpr int32_t kGameStateMinWidth = 120;
const char* const kNotSavedText = "Played level: edits are not saved";

// The stored state chosen, by name: a state added before it moves its row.
// Until one is chosen the pop-up shows the one a new game starts with.
CJString g_GameStateName;

int32_t ShownGameStateIndex()
{
    CGameStateList& states = GetGameStateList();
    const int32_t chosen = g_GameStateName.IsEmpty() ? states.Find("Initial") : states.Find(g_GameStateName);
    return chosen >= 0 ? chosen : 0;
}

using PaletteCommand = CObjectFunctionCommand<CEditorToolPalette>;

CFrame* FindPanelImage(const char* name)
{
    // Looked up softly: a data set without the pictures shows drawn boxes.
    CFrameList& images = GetFrameLibrary();
    const int32_t index = images.Find(name);
    return index >= 0 ? images.GetObject(index) : nullptr;
}

// A layer check box's click: that flag of the layer at the index in the
// current playfield, while that is still the layer the box was made for.
class CLayerFlagCommand : public CCommand {
public:
    CLayerFlagCommand(CJCheckBox* box, uint32_t index, const CPlayfieldLayer* layer, bool selectable)
        : m_Box(box)
        , m_Index(index)
        , m_Layer(layer)
        , m_Selectable(selectable)
    {
    }

    void Execute() override
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        CPlayfieldLayer* layer = playfield ? playfield->GetLayer(m_Index) : nullptr;
        if (!layer || layer != m_Layer)
            return;
        const bool checked = m_Box->IsChecked() != 0;
        (m_Selectable ? layer->m_SelectableInEditor : layer->m_VisibleInEditor) = checked;
    }

private:
    CJCheckBox* m_Box;
    uint32_t m_Index;
    const CPlayfieldLayer* m_Layer; // compared only
    bool m_Selectable;
};

CJTextMenuItem* AddEntry(CJMenu* menu, const char* text, CEditorToolPalette* palette, void (CEditorToolPalette::*run)(),
                         bool (CEditorToolPalette::*test)() = nullptr, uint32_t hotKey = 0)
{
    auto* item = new CJTextMenuItem(menu, text, new PaletteCommand(palette, run, test), hotKey);
    menu->AddItem(item);
    return item;
}

CJPullDownMenu* AddMenu(CJMenuBar* bar, CJWindow* owner, const char* title)
{
    auto* item = new CJTextMenuItem(bar, title, nullptr);
    bar->AddItem(item);
    auto* menu = new CJPullDownMenu(owner);
    item->SetSubMenu(menu, false);
    return menu;
}

CJButton* AddButton(CEditorToolPalette* palette, const char* title, void (CEditorToolPalette::*run)(),
                    bool (CEditorToolPalette::*test)(), EPlace placement)
{
    auto& button = palette->Add<CJButton>(placement, title);
    button.SetCommand(new PaletteCommand(palette, run, test));
    return &button;
}

// The editor's own look, when the data has it; else the one the editor lends.
CSkinTheme* FindEditorSkinTheme()
{
    CSkinThemeList& themes = GetSkinThemeList();
    const int32_t index = themes.Find("Editor");
    return index >= 0 ? dynamic_cast<CSkinTheme*>(themes.GetObject(index)) : nullptr;
}

CObject* CurrentLevel()
{
    return GetLevelHolder().GetLevel();
}

} // namespace

int32_t GetEditorGameStateIndex()
{
    return ShownGameStateIndex();
}

CEditorToolPalette::CEditorToolPalette(CLevelEditorWindow* editor)
    : CJToolPalette(editor, 1)
    , m_Editor(editor)
{
    if (CSkinTheme* theme = FindEditorSkinTheme())
        SetSkinTheme(theme);
    SetTitle(CJString("Editor"));
    MoveTo(kStartX, kStartY);

    m_MenuBar = &Add<CJMenuBar>(EPlace::TopLeft);
    BuildMenus();

    m_GameStateTree = new CDirectoryTree(GetGameStateList());
    m_GameStatePopUp = new CJPopUpMenu(this, m_GameStateTree, kGameStateWidthUnits);
    m_GameStatePopUp->SetWidth(std::max(m_GameStatePopUp->GetWidth(), kGameStateMinWidth));
    AddChild(m_GameStatePopUp, EPlace::BelowPrevious);
    if (ShownGameStateIndex() < GetGameStateList().GetCount())
        m_GameStatePopUp->SelectItem(ShownGameStateIndex(), true);

    // The buttons stand in a row beside the pop-up, the layer panel under it.
    m_PreviousButton = AddButton(this, "<", &CEditorToolPalette::PreviousLevel,
                                 &CEditorToolPalette::CanGoToPreviousLevel, EPlace::RightOfPrevious);
    m_PreviousButton->SetToolTipText("Previous Level", true);
    m_LevelButton = AddButton(this, "1", &CEditorToolPalette::OpenLevelSorterWindow, nullptr, EPlace::RightOfPrevious);
    m_LevelButton->SetToolTipText("Select Level / Level Sorter", true);
    m_NextButton = AddButton(this, ">", &CEditorToolPalette::NextLevel, &CEditorToolPalette::CanGoToNextLevel,
                             EPlace::RightOfPrevious);
    m_NextButton->SetToolTipText("Next Level", true);
    m_LevelPropertiesButton = AddButton(this, "Level Properties", &CEditorToolPalette::EditLevelProperties, nullptr,
                                        EPlace::RightOfPrevious);
    m_LevelPropertiesButton->SetHotKeyChar('M');
    m_OptionsButton = AddButton(this, "Options", &CEditorToolPalette::EditOptions, nullptr, EPlace::RightOfPrevious);
    // Over the played level nothing reaches the level file: the designer
    // reads so before making an edit that the next play would not have.
    if (editor->GetMode() == CLevelEditorWindow::kModePlayedLevel)
        Add<CJStatic>(EPlace::RightOfPrevious, CJString(kNotSavedText));

    m_MenuBar->SetWidth(GetWidth() - GetClientLeftInset() - GetEdgeMargin());
    m_ControlsWidth = GetWidth();
    m_ControlsHeight = GetHeight();
    BuildLayerPanel();
    LoadWindowSettings(kSettingsKey, true);
    FitToControls(true);
    BringChildToFront(m_LevelPropertiesButton);
}

CEditorToolPalette::~CEditorToolPalette()
{
    // The pop-up holds the tree: it goes first.
    if (m_GameStatePopUp) {
        m_GameStatePopUp->Destroy();
        m_GameStatePopUp = nullptr;
    }
    delete m_GameStateTree;
}

void CEditorToolPalette::BuildMenus()
{
    using P = CEditorToolPalette;
    CJPullDownMenu* file = AddMenu(m_MenuBar, this, "File");
    if (CObjectModelHost::SGetInstance().IsNamedOptionSet("Browsers")) {
        AddEntry(file, "Asset Dependency Browser", this, &P::OpenAssetDependencyBrowserWindow);
        AddEntry(file, "List Browser", this, &P::OpenListBrowserWindow, nullptr, 'L');
        AddEntry(file, "Image Browser", this, &P::OpenImageBrowser, nullptr, 'B');
        AddEntry(file, "Foo Editor", this, &P::OpenFooEditor, nullptr, 'F');
        file->AddSeparator();
    }
    AddEntry(file, "Sprite Palette", this, &P::OpenSpritePalette, nullptr, 'P');
    file->AddSeparator();
    AddEntry(file, "Exit", this, &P::Exit);

    CJPullDownMenu* edit = AddMenu(m_MenuBar, this, "Edit");
    AddEntry(edit, "Edit Sprite Properties", this, &P::EditSpriteProperties, &P::HasFirstSelected, kKeyEnter);
    edit->AddSeparator();
    AddEntry(edit, "Undo &Ctrl+Z&", this, &P::Undo, &P::CanUndo);
    AddEntry(edit, "Redo &Ctrl+Y&", this, &P::Redo, &P::CanRedo);
    edit->AddSeparator();
    AddEntry(edit, "Cut &Ctrl+X&", this, &P::Cut);
    AddEntry(edit, "Copy &Ctrl+C&", this, &P::Copy);
    AddEntry(edit, "Paste &Ctrl+V&", this, &P::Paste);
    AddEntry(edit, "Delete &Del&", this, &P::Delete);
    AddEntry(edit, "View Clipboard", this, &P::ViewClipboard);
    AddEntry(edit, "Open Scrap Book", this, &P::OpenScrapBookWindow);
    edit->AddSeparator();
    AddEntry(edit, "Level Sorter", this, &P::OpenLevelSorterWindow, nullptr, kKeyBackQuote);
    edit->AddSeparator();
    AddEntry(edit, "Edit Level Properties", this, &P::EditLevelProperties, nullptr, 'M');
    AddEntry(edit, "Edit Active Game State", this, &P::EditActiveGameState);
    AddEntry(edit, "Edit Active Playfield", this, &P::EditActivePlayfield);

    CJPullDownMenu* select = AddMenu(m_MenuBar, this, "Select");
    AddEntry(select, "All", this, &P::SelectAll, nullptr, 'A');

    CJPullDownMenu* align = AddMenu(m_MenuBar, this, "Align");
    AddEntry(align, "Bring Forward", this, &P::BringForward, &P::HasFirstSelected, kKeyPageUp);
    AddEntry(align, "Bring To Front", this, &P::BringToFront, &P::HasFirstSelected, kKeyHome);
    AddEntry(align, "Send To Back", this, &P::SendToBack, &P::HasFirstSelected, kKeyEnd);
    AddEntry(align, "Send Backward", this, &P::SendBackward, &P::HasFirstSelected, kKeyPageDown);
    AddEntry(align, "Automatic Z sort", this, &P::AutomaticZSort, &P::HasFirstSelected, 'Z');
    align->AddSeparator();
    AddEntry(align, "Move To Selected Layer", this, &P::MoveToSelectedLayer, &P::HasFirstSelected);

    // The bar is as tall as its titles, so the controls below clear it.
    int32_t height = 0;
    for (CJWindow* item = m_MenuBar->GetFirstChild(); item; item = item->GetNextSibling())
        height = std::max(height, item->GetRect().bottom);
    m_MenuBar->SetHeight(height + m_MenuBar->GetEdgeMargin());
}

void CEditorToolPalette::BuildLayerPanel()
{
    m_LayerPanel = new CJWindow(this, "Layers");
    CPlayfield* playfield = GetCurrentPlayfield();
    m_PanelLayers.clear();
    for (uint32_t n = 0; playfield && n < playfield->GetLayerCount(); ++n)
        m_PanelLayers.push_back(playfield->GetLayer(n));
    CFrame* viewChecked = FindPanelImage("ViewLayerChecked");
    CFrame* editChecked = FindPanelImage("EditLayerChecked");
    CFrame* unchecked = FindPanelImage("LayerUnchecked");
    const uint32_t count = playfield ? playfield->GetLayerCount() : 0;
    // The names first, as wide as the widest, so the boxes stand in columns.
    std::vector<std::pair<uint32_t, CJStatic*>> names;
    int32_t nameWidth = 0;
    for (uint32_t n = count; n-- > 0;)
        if (CPlayfieldLayer* layer = playfield->GetLayer(n)) {
            auto* name = new CJStatic(m_LayerPanel, layer->m_Name);
            nameWidth = std::max(nameWidth, name->GetWidth());
            names.emplace_back(n, name);
        }
    CJStatic* previous = nullptr;
    for (auto [n, name] : names) {
        CPlayfieldLayer* layer = playfield->GetLayer(n);
        name->SetWidth(nameWidth);
        if (previous)
            m_LayerPanel->AddChild(name, {EPlace::Below, previous, 0});
        else
            m_LayerPanel->AddChild(name, EPlace::TopLeft);
        previous = name;
        for (bool selectable : {false, true}) {
            CJString tip(selectable ? "Edit " : "View ");
            tip += layer->m_Name;
            auto* box = new CJImageCheckBox(m_LayerPanel, "");
            if (CFrame* checked = selectable ? editChecked : viewChecked)
                box->SetCheckedImage(checked);
            if (unchecked)
                box->SetUncheckedImage(unchecked);
            box->SetToolTip(&tip, true);
            box->SetChecked((selectable ? layer->m_SelectableInEditor : layer->m_VisibleInEditor) ? 1 : 0);
            box->SetCommand(new CLayerFlagCommand(box, n, layer, selectable));
            m_LayerPanel->AddChild(box, EPlace::RightOfPrevious);
        }
    }
    // Filled first, so the palette grows round the whole panel.
    AddChild(m_LayerPanel, {EPlace::Below, m_GameStatePopUp, 0});
}

void CEditorToolPalette::RefreshLayerPanel(bool moveOnScreen)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    const uint32_t count = playfield ? playfield->GetLayerCount() : 0;
    bool same = count == m_PanelLayers.size();
    for (uint32_t n = 0; same && n < count; ++n)
        same = playfield->GetLayer(n) == m_PanelLayers[n];
    if (same)
        return;
    if (m_LayerPanel)
        m_LayerPanel->Destroy();
    m_LayerPanel = nullptr;
    BuildLayerPanel();
    FitToControls(moveOnScreen);
}

void CEditorToolPalette::FitToControls(bool moveOnScreen)
{
    const int32_t margin = GetEdgeMargin();
    int32_t width = m_ControlsWidth;
    int32_t height = m_ControlsHeight;
    if (m_LayerPanel) {
        width = std::max(width, m_LayerPanel->GetRect().right + margin);
        height = std::max(height, m_LayerPanel->GetRect().bottom + margin);
    }
    SetSize(width, height);
    if (!moveOnScreen)
        return;
    // Taller than the room below it: higher, down to the lot row.
    if (CScreenWindow* screen = CScreenWindow::GetScreenWindow(); screen && GetRect().bottom > screen->GetHeight())
        MoveTo(GetRect().left, std::max(0, screen->GetHeight() - GetHeight()));
}

void CEditorToolPalette::Update(float seconds)
{
    if (!IsCloseRequested()) {
        RefreshLayerPanel(true);
        m_LevelButton->SetTitleFromInt(int32_t(GetCurrentLevelIndex()) + 1);
        for (CJWindow* child = GetFirstChild(); child; child = child->GetNextSibling())
            child->UpdateEnabledState();
    }
    // Last: a close requested now or by a child ("Exit") destroys the palette here.
    CJToolPalette::Update(seconds);
}

void CEditorToolPalette::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender == m_GameStatePopUp && code == kNotifyClicked) {
        const int32_t chosen = m_GameStatePopUp->GetSelectedItem();
        CGameStateList& states = GetGameStateList();
        if (chosen >= 0 && chosen < states.GetCount()) {
            g_GameStateName = states.GetItemNameString(chosen);
            SetChosenStoredGameState(states.GetObject(chosen));
        }
        return;
    }
    CJToolPalette::OnNotify(sender, code);
}

// ---- File ----------------------------------------------------------------

void CEditorToolPalette::OpenAssetDependencyBrowserWindow()
{
    OpenAssetDependencyBrowser(m_Editor, nullptr, -1);
}

void CEditorToolPalette::OpenListBrowserWindow()
{
    OpenListBrowser(m_Editor);
}

void CEditorToolPalette::OpenImageBrowser()
{
    m_Editor->AddFirst<CImageBrowserFrameWindow>(kAsIsNoGrow, "Image Browser", CImageBrowserFrameWindow::kModeAllLists,
                                                 nullptr, nullptr, nullptr);
}

void CEditorToolPalette::OpenFooEditor()
{
    OpenFooEditFrame(m_Editor);
}

void CEditorToolPalette::OpenSpritePalette()
{
    auto& browser = m_Editor->AddFirst<CImageBrowserFrameWindow>(
        kAsIsNoGrow, "Sprite Palette", CImageBrowserFrameWindow::kModeOneList, nullptr, nullptr, &GetSequenceList());
    if (CImageBrowser* grid = browser.GetGrid())
        grid->SetDragEnabled(true);
}

// The whole editor closes, as on Escape: without its palette the editor's
// full-screen window would keep every click from the game with no menu
// left to leave it by.
void CEditorToolPalette::Exit()
{
    m_Editor->RequestClose();
}

// ---- Edit ----------------------------------------------------------------

void CEditorToolPalette::EditSpriteProperties()
{
    if (CObject* first = m_Editor->GetSelectedObject(0))
        OpenObjectEditor(first, CurrentLevel());
}

bool CEditorToolPalette::HasFirstSelected()
{
    return m_Editor->GetSelectedObject(0) != nullptr;
}

void CEditorToolPalette::Undo()
{
    m_Editor->Undo();
}

bool CEditorToolPalette::CanUndo()
{
    CEditorCheckpointHistory* history = GetCheckpointHistory();
    return history && history->CanUndo();
}

void CEditorToolPalette::Redo()
{
    m_Editor->Redo();
}

bool CEditorToolPalette::CanRedo()
{
    CEditorCheckpointHistory* history = GetCheckpointHistory();
    return history && history->CanRedo();
}

void CEditorToolPalette::Cut()
{
    GetRootWindow()->ClipboardCut(1);
}

void CEditorToolPalette::Copy()
{
    GetRootWindow()->ClipboardCopy(1);
}

void CEditorToolPalette::Paste()
{
    GetRootWindow()->ClipboardPaste(1);
}

void CEditorToolPalette::Delete()
{
    GetRootWindow()->ClipboardDelete(1);
}

void CEditorToolPalette::ViewClipboard()
{
    if (!IsClipboardWindowOpen())
        OpenClipboardWindow(m_Editor, EPlace::RightOf, this);
}

void CEditorToolPalette::OpenScrapBookWindow()
{
    if (!IsScrapBookOpen())
        OpenScrapBook(m_Editor, EPlace::RightOf, this);
}

void CEditorToolPalette::OpenLevelSorterWindow()
{
    OpenObjectEditor(nullptr, nullptr);
    CLevelSet* levels = FindLevels();
    if (!levels)
        return;
    CLevelSorterWindow* sorter = OpenLevelSorter(levels);
    if (!sorter)
        return;
    // Modal, in front of the level editor's children rather than the screen's.
    if (CJWindow* parent = sorter->GetParent())
        parent->RemoveChild(sorter);
    sorter->SetModal(true);
    m_Editor->AddChildFirst(sorter, EPlace::Centred);
}

void CEditorToolPalette::EditLevelProperties()
{
    // The played copy has no file; only the stored level is saved with "Levels".
    const bool stored = m_Editor->GetMode() == CLevelEditorWindow::kModeStoredLevel;
    OpenObjectEditor(CurrentLevel(), stored ? FindLevels() : nullptr);
}

void CEditorToolPalette::EditActiveGameState()
{
    OpenObjectEditor(CGameState::SGetCurrent(), nullptr);
}

void CEditorToolPalette::EditActivePlayfield()
{
    OpenObjectEditor(GetCurrentPlayfield(), CurrentLevel());
}

void CEditorToolPalette::EditOptions()
{
    OpenObjectEditor(&CLevelEditorOptions::SGetInstance(), nullptr);
}

// ---- Select and Align ----------------------------------------------------

void CEditorToolPalette::SelectAll()
{
    m_Editor->SelectAll();
}

void CEditorToolPalette::BringForward()
{
    m_Editor->BringForward();
}

void CEditorToolPalette::BringToFront()
{
    m_Editor->BringToFront();
}

void CEditorToolPalette::SendToBack()
{
    m_Editor->SendToBack();
}

void CEditorToolPalette::SendBackward()
{
    m_Editor->SendBackward();
}

void CEditorToolPalette::AutomaticZSort()
{
    m_Editor->AutomaticZSort();
}

void CEditorToolPalette::MoveToSelectedLayer()
{
    m_Editor->MoveToSelectedLayer();
}

// ---- Levels --------------------------------------------------------------

bool CEditorToolPalette::CanGoToPreviousLevel()
{
    return m_Editor->GetMode() == CLevelEditorWindow::kModeStoredLevel && GetCurrentLevelIndex() > 0;
}

bool CEditorToolPalette::CanGoToNextLevel()
{
    CLevelSet* levels = FindLevels();
    return m_Editor->GetMode() == CLevelEditorWindow::kModeStoredLevel && levels
        && GetCurrentLevelIndex() + 1 < levels->GetCount();
}

void CEditorToolPalette::PreviousLevel()
{
    if (CanGoToPreviousLevel())
        StepLevel(-1);
}

void CEditorToolPalette::NextLevel()
{
    if (CanGoToNextLevel())
        StepLevel(1);
}

void CEditorToolPalette::StepLevel(int32_t step)
{
    OpenObjectEditor(nullptr, nullptr);
    // The selection holds the old level's sprites: no command may reach them
    // through the new level's layers.
    m_Editor->SelectObject(nullptr, CJString(), false);
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->SaveLayerFlagsAndShowAll();
    SetCurrentLevelIndex(uint32_t(int32_t(GetCurrentLevelIndex()) + step));
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->LoadLayerFlags();
    RefreshLayerPanel(false);
}

// ---- Start-up ------------------------------------------------------------

namespace {

} // namespace
