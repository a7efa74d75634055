#include "editor/CustomEditors.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "editor/CWindowedBrowsableImage.h"
#include "foundation/CCommand.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameBrowserItem.h"
#include "images/CustomEditorHooks.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceBrowserItem.h"
#include "sequences/CSequenceList.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJMenu.h"
#include "ui/CJPictureWindow.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int32_t kAlignLabel = 2;
constexpr uint32_t kHotKeyPrevious = 11;
constexpr uint32_t kHotKeyNext = 12;
constexpr uint32_t kFirstGlyphCode = 20;
constexpr int32_t kMapSide = 16;
constexpr uint8_t kLineAlpha = 150;

int32_t GlyphWidth(CFont& font, uint32_t code)
{
    if (code < kFirstGlyphCode)
        return 0;
    CFrame* glyph = font.GetGlyphFrame(code);
    return glyph ? int32_t(glyph->GetWidth()) : 0;
}

// The glyph centred in the cell beginning at x, its top at y.
void DrawGlyph(CFrame& map, CFont& font, uint32_t code, int32_t x, int32_t cellWidth, int32_t y)
{
    if (code < kFirstGlyphCode)
        return;
    CFrame* glyph = font.GetGlyphFrame(code);
    if (!glyph || glyph->GetWidth() == 0 || glyph->GetHeight() == 0)
        return;
    const int32_t width = int32_t(glyph->GetWidth()), height = int32_t(glyph->GetHeight());
    const int32_t left = x + (cellWidth - width) / 2;
    CBlitType* blitType = font.GetBlitType();
    map.Blit(*glyph, CRect{0, 0, width, height}, CRect{left, y, left + width, y + height},
             blitType ? *blitType : GetNormalBlitType());
}

void DrawRowLine(CFrame& map, int32_t y, uint8_t red, uint8_t green, uint8_t blue)
{
    CColor colour(red, green, blue, kLineAlpha);
    map.DrawLine(0, y, int32_t(map.GetWidth()) - 1, y, colour);
}

class CSaveAsAviCommand : public CCommand {
public:
    explicit CSaveAsAviCommand(CSequence& sequence)
        : m_Sequence(sequence)
    {
    }
    // The frames are written; the designer is told where, and that no AVI
    // is made of them.
    void Execute() override
    {
        const std::string folder = m_Sequence.GetVideoFolder();
        CJString text;
        if (folder.empty())
            text = "Nothing was written: the sequence was not read from a folder of its own.";
        else if (m_Sequence.SaveAsAVI())
            text.Format("The frames were written as BMP pictures to \"%s\". No AVI is made of them on this system.",
                        folder.c_str());
        else
            text.Format("The frames could not be written to \"%s\", or the sequence has none.", folder.c_str());
        if (CScreenWindow* screen = CScreenWindow::GetScreenWindow())
            screen->ShowMessageBox(CJString("Save As AVI"), text);
        else
            std::fprintf(stderr, "Save As AVI: %s\n", text.GetString());
    }

private:
    CSequence& m_Sequence;
};

class CEditorCustomEditorHooks : public CCustomEditorHooks {
public:
    void AddFrameEditor(CObjectEditor& editor, CFrame&) override { editor.AddCustomEditor(new CFrameEditor); }
    void AddFontEditor(CObjectEditor& editor, CFont&) override { editor.AddCustomEditor(new CFontEditor); }
    void AddCommandButton(CObjectEditor& editor, const char* title, CCommand* command) override
    {
        editor.AddCustomEditor(new CCommandButtonEditor(title, command));
    }
    void AddSequenceEditor(CObjectEditor& editor, CSequence& sequence) override
    {
        editor.AddCustomEditor(new CSequenceEditor);
        CJMenuBar* bar = editor.GetMenuBar();
        if (!bar)
            return;
        auto* file = new CJTextMenuItem(bar, "File", nullptr);
        auto* menu = new CJPullDownMenu(&editor);
        menu->AddItem(new CJTextMenuItem(menu, "Save As AVI", new CSaveAsAviCommand(sequence)));
        file->SetSubMenu(menu, false);
        bar->AddItem(file);
    }
};

} // namespace

CJStatic* AddPreviewLabel(CPropertyPane* pane, CJWindow* lastRow)
{
    auto& label = pane->Add<CJStatic>(lastRow ? SPlace{EPlace::Below, lastRow} : SPlace{EPlace::TopLeft}, "Preview:");
    label.SetAlignment(kAlignLabel);
    // Lines up with the property labels.
    if (lastRow)
        label.SetSize(lastRow->GetWidth(), label.GetHeight());
    return &label;
}

// ---- Command button ---------------------------------------------------------

CCommandButtonEditor::CCommandButtonEditor(const char* title, CCommand* command)
    : CCustomEditor(nullptr)
    , m_Title(title)
    , m_Command(command)
{
}

CCommandButtonEditor::~CCommandButtonEditor() = default;

void CCommandButtonEditor::BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject*, CObject*)
{
    if (!pane || m_Button)
        return;
    m_Button = &pane->Add<CJButton>(lastRow ? SPlace{EPlace::Below, lastRow} : SPlace{EPlace::TopLeft}, m_Title);
    m_Button->SetCommand(m_Command.release());
}

// ---- Sequence ---------------------------------------------------------------

CSequenceEditor::CSequenceEditor()
    : CCustomEditor("Image")
{
}

void CSequenceEditor::BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject*)
{
    auto* sequence = dynamic_cast<CSequence*>(object);
    if (!pane || !sequence)
        return;
    AddPreviewLabel(pane, lastRow);
    m_ShowHotSpot = &pane->Add<CJCheckBox>(EPlace::RightOfPrevious, "Show Hot Spot");
    if (HasSequenceCoordinatesProperty(*sequence)) {
        m_ShowCoordinates = &pane->Add<CJCheckBox>(EPlace::RightOfPrevious, "Show Coordinates");
        (void)GetSequenceCoordinates(*sequence);
    }
    m_Play = &pane->Add<CJRadioButton>({EPlace::Below, m_ShowHotSpot}, CJString(u"\u25BA"));
    m_Play->SetToolTipText("Play", false);
    m_Play->SetChecked(1);
    m_Pause = &pane->Add<CJRadioButton>(EPlace::RightOfPrevious, "||", m_Play);
    m_Pause->SetToolTipText("Pause", false);
    m_Previous = &pane->Add<CJButton>(EPlace::RightOfPrevious, "|<");
    m_Previous->SetHotKeyChar(kHotKeyPrevious);
    m_Previous->SetToolTipText("Previous", false);
    m_Next = &pane->Add<CJButton>(EPlace::RightOfPrevious, ">|");
    m_Next->SetHotKeyChar(kHotKeyNext);
    m_Next->SetToolTipText("Next", false);

    // A preview has no caption, so no list entry.
    auto item = std::make_unique<CSequenceBrowserItem>(nullptr, 0, sequence);
    m_Item = item.get();
    m_Preview = new CWindowedBrowsableImage(pane);
    m_Preview->SetItem(std::move(item));
    // Sized by its item before it is placed.
    pane->AddChild(m_Preview, {EPlace::Below, m_Play});
}

void CSequenceEditor::StopAtFrame(bool next)
{
    m_Item->Pause();
    m_Pause->SetChecked(1);
    m_Play->SetChecked(0);
    if (next)
        m_Item->NextFrame();
    else
        m_Item->PreviousFrame();
}

bool CSequenceEditor::OnNotify(CJWindow* sender, int32_t code)
{
    if (code != kNotifyClicked || !sender || !m_Item)
        return false;
    if (sender == m_ShowHotSpot) {
        m_Item->SetShowHotSpot(m_ShowHotSpot->IsChecked() != 0);
    } else if (sender == m_ShowCoordinates) {
        m_Item->SetEditCoordinates(m_ShowCoordinates->IsChecked() != 0);
    } else if (sender == m_Play) {
        m_Item->Play();
    } else if (sender == m_Pause) {
        m_Item->Pause();
    } else if (sender == m_Previous || sender == m_Next) {
        StopAtFrame(sender == m_Next);
    } else {
        return false;
    }
    return true;
}

// ---- Frame ------------------------------------------------------------------

CFrameEditor::CFrameEditor()
    : CCustomEditor(nullptr)
{
}

void CFrameEditor::BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject*)
{
    m_Frame = dynamic_cast<CFrame*>(object);
    if (!pane || !m_Frame)
        return;
    AddPreviewLabel(pane, lastRow);
    m_Preview = new CWindowedBrowsableImage(pane);
    m_Preview->SetItem(std::make_unique<CFrameBrowserItem>(nullptr, 0, m_Frame));
    pane->AddChild(m_Preview, EPlace::RightOfPrevious);
}

// ---- Font -------------------------------------------------------------------

CFontEditor::CFontEditor()
    : CCustomEditor("Load")
{
}

CFontEditor::~CFontEditor() = default;

std::unique_ptr<CFrame> CFontEditor::DrawCharacterMap(CFont& font, CFont& interfaceFont, int32_t& cellWidth,
                                                      int32_t& rowPitch)
{
    cellWidth = 0;
    for (uint32_t code = 0; code < 256; ++code)
        cellWidth = std::max({cellWidth, GlyphWidth(font, code), GlyphWidth(interfaceFont, code)});
    const int32_t pointSize = font.GetPointSize();
    rowPitch = pointSize + interfaceFont.GetPointSize() + 6;

    auto map = std::make_unique<CFrame>();
    if (cellWidth <= 0 || rowPitch <= 0 || !map->Create(uint32_t(kMapSide * cellWidth), uint32_t(kMapSide * rowPitch),
                                                        CFrame::SGetBitDepth()))
        return map;
    const int32_t lineHeight = font.GetLineHeight();
    const int32_t height = int32_t(font.GetHeight());
    static CColor s_CornerColour;
    for (int32_t row = 0; row < kMapSide; ++row) {
        const int32_t top = row * rowPitch;
        DrawRowLine(*map, top, 200, 200, 200);
        DrawRowLine(*map, top + (lineHeight - height), 255, 100, 100);
        DrawRowLine(*map, top + lineHeight, 100, 255, 100);
        DrawRowLine(*map, top + (lineHeight - height) + pointSize, 100, 100, 255);
        for (int32_t column = 0; column < kMapSide; ++column) {
            const uint32_t code = uint32_t(row * kMapSide + column);
            const int32_t left = column * cellWidth;
            map->SetPixel(left, top, s_CornerColour);
            DrawGlyph(*map, font, code, left, cellWidth, top);
            DrawGlyph(*map, interfaceFont, code, left, cellWidth, top + pointSize + 3);
        }
    }
    return map;
}

void CFontEditor::BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject* object, CObject*)
{
    m_Font = dynamic_cast<CFont*>(object);
    if (!pane || !m_Font)
        return;
    // Rendered again from the settings as they are now.
    m_Font->Reset();
    // A theme may leave its windows without a font of their own; the
    // toolkit's default, else the edited font, stands in.
    m_InterfaceFont = pane->GetFont();
    if (!m_InterfaceFont)
        m_InterfaceFont = CJWindow::GetDefaultFont();
    if (!m_InterfaceFont)
        m_InterfaceFont = m_Font;
    AddPreviewLabel(pane, lastRow);
    m_Map = DrawCharacterMap(*m_Font, *m_InterfaceFont, m_CellWidth, m_RowPitch);
    m_Picture = &pane->Add<CJPictureWindow>(EPlace::RightOfPrevious, m_Map.get(), 0, 0);
}

void InstallCustomEditorHooks()
{
    static CEditorCustomEditorHooks s_Hooks;
    SetCustomEditorHooks(&s_Hooks);
}
