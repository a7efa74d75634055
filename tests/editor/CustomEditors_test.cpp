// The previews beside the property rows: the font's character map (its
// size, its four lines a row and its glyphs), the sequence's stepping and
// its coordinates box, and where the "Preview:" label goes; an audio
// object's "Play" button.
#include "EditorTestSupport.h"

#include "blit/CColor.h"
#include "editor/CWindowedBrowsableImage.h"
#include "editor/CustomEditors.h"
#include "foundation/CCommand.h"
#include "game/scripting/CAudio.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CustomEditorHooks.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceBrowserItem.h"
#include "sequences/CSequenceList.h"
#include "sound/CSoundList.h"
#include "sound/SoundTestSupport.h"
#include "ui/CJCheckBox.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"
#include "ui/CJPictureWindow.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

class CustomEditors : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        InstallCustomEditorHooks();
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        SetCustomEditorHooks(m_PreviousHooks);
    }
    template <typename T>
    static T* Custom(CObjectEditor* editor)
    {
        for (CCustomEditor* custom : editor->GetCustomEditors())
            if (auto* found = dynamic_cast<T*>(custom))
                return found;
        return nullptr;
    }

    CCustomEditorHooks* m_PreviousHooks = SetCustomEditorHooks(nullptr);
    // Outlive the editors the tests leave open.
    CSequence m_Sequence;
    std::unique_ptr<CFont> m_EditedFont; // made once the font files are listed
    std::unique_ptr<CFrame> m_Frame = CFrame::MakeOwned(10, 6, 32);
};

// A "Preview:" label alone, in the category given.
class CPreviewOnly : public CCustomEditor {
public:
    using CCustomEditor::CCustomEditor;
    void BuildControls(CPropertyPane* pane, CJWindow* lastRow, CObject*, CObject*) override
    {
        label = AddPreviewLabel(pane, lastRow);
    }
    CJStatic* label = nullptr;
};

} // namespace

// The sample's rows, a preview under the "Motion" row and one on a tab of
// its own.
class CPreviewSample : public CEditorSample {
    OMBRISALT_REFLECTED(CPreviewSample, CEditorSample)
public:
    CPreviewSample() { InitDeclaredProperties(); }
    ~CPreviewSample() override { DestroyDeclaredProperties(); }
    void AddCustomEditors(CObjectEditor* editor) override
    {
        previews.clear();
        for (const char* category : {"Motion", "Nothing Here"}) {
            previews.push_back(new CPreviewOnly(category));
            editor->AddCustomEditor(previews.back());
        }
    }
    std::vector<CPreviewOnly*> previews; // the editor owns them
};
OMBRISALT_IMPLEMENT_CLASS(CPreviewSample, 1.0)
const CTestOnlyClass kPreviewSampleIsTestOnly("CPreviewSample");
void CPreviewSample::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// Three 4 x 4 frames.
void FillSequence(CSequence& sequence)
{
    for (int i = 0; i < 3; ++i)
        sequence.AppendFrame(CFrame::MakeOwned(4, 4, 32).release(), CropColor0::No, CentreHotSpot::No);
}

struct SLine {
    uint8_t red, green, blue;
};

// What each line of a row should hold: the later line wins where two meet.
std::map<int32_t, SLine> ExpectedLines(CFont& font, int32_t top)
{
    const int32_t lineHeight = font.GetLineHeight(), height = int32_t(font.GetHeight());
    std::map<int32_t, SLine> lines;
    lines[top] = {200, 200, 200};
    lines[top + lineHeight - height] = {255, 100, 100};
    lines[top + lineHeight] = {100, 255, 100};
    lines[top + lineHeight - height + font.GetPointSize()] = {100, 100, 255};
    return lines;
}

int32_t WidestGlyph(CFont& font)
{
    int32_t widest = 0;
    for (uint32_t code = 20; code < 256; ++code)
        if (CFrame* glyph = font.GetGlyphFrame(code))
            widest = std::max(widest, int32_t(glyph->GetWidth()));
    return widest;
}

// Whether any pixel of the rectangle differs from transparent black.
bool HasInk(const CFrame& map, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) {
            CColor c;
            if (map.GetPixel(x, y, c) && (c.GetRed() || c.GetGreen() || c.GetBlue() || c.GetAlpha()))
                return true;
        }
    return false;
}

} // namespace

TEST_F(CustomEditors, TheFontMapIsSixteenCellsSquareWithFourLinesAndBothGlyphsPerCell)
{
    CFont edited;
    edited.SetPointSize(20.0f);
    int32_t cellWidth = 0, rowPitch = 0;
    std::unique_ptr<CFrame> map = CFontEditor::DrawCharacterMap(edited, *m_Font, cellWidth, rowPitch);
    ASSERT_TRUE(map);

    EXPECT_EQ(cellWidth, std::max(WidestGlyph(edited), WidestGlyph(*m_Font)));
    EXPECT_EQ(rowPitch, 20 + m_Font->GetPointSize() + 6);
    ASSERT_EQ(map->GetWidth(), uint32_t(16 * cellWidth));
    ASSERT_EQ(map->GetHeight(), uint32_t(16 * rowPitch));

    // The right edge of a row lies beyond every centred glyph but the
    // widest, so only the lines reach it.
    const int32_t right = int32_t(map->GetWidth()) - 1;
    for (int32_t row : {0, 7, 15}) {
        const int32_t top = row * rowPitch;
        for (const auto& [y, colour] : ExpectedLines(edited, top)) {
            if (y >= int32_t(map->GetHeight()))
                continue;
            CColor pixel;
            ASSERT_TRUE(map->GetPixel(right, y, pixel));
            EXPECT_EQ(pixel, CColor(colour.red, colour.green, colour.blue, 150)) << "row " << row << " y " << y;
        }
        // Each cell's corner is the shared default colour over the grey line.
        CColor corner;
        ASSERT_TRUE(map->GetPixel(3 * cellWidth, top, corner));
        EXPECT_EQ(corner, CColor());
    }

    // "A" (row 4, column 1) has both glyphs; code 5 (row 0) has none, so
    // between its lines the cell is empty.
    const int32_t aLeft = cellWidth, aTop = 4 * rowPitch;
    EXPECT_TRUE(HasInk(*map, aLeft, aTop + 1, aLeft + cellWidth, aTop + 20));
    EXPECT_TRUE(HasInk(*map, aLeft, aTop + 20 + 3, aLeft + cellWidth, aTop + rowPitch));
    const std::map<int32_t, SLine> rowZero = ExpectedLines(edited, 0);
    for (int32_t y = 1; y < rowPitch; ++y) {
        if (!rowZero.count(y)) {
            EXPECT_FALSE(HasInk(*map, 5 * cellWidth, y, 6 * cellWidth, y + 1)) << "y " << y;
        }
    }
}

TEST_F(CustomEditors, SequenceStepsWrapAtBothEndsAndPauseThePlayback)
{
    CSequence& sequence = m_Sequence;
    FillSequence(sequence);
    CObjectEditor* editor = Open(&sequence);
    ASSERT_TRUE(editor);
    auto* preview = Custom<CSequenceEditor>(editor);
    ASSERT_TRUE(preview);
    EXPECT_STREQ(preview->GetCategory(), "Image");
    CSequenceBrowserItem* item = preview->GetItem();
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->IsPlaying());
    EXPECT_TRUE(preview->GetPlayButton()->IsChecked());
    EXPECT_EQ(preview->GetPreview()->GetItem(), item);

    editor->OnNotify(preview->GetPreviousButton(), kNotifyClicked);
    EXPECT_EQ(item->GetPosition(), 2.0f) << "previous from the first frame is the last";
    EXPECT_FALSE(item->IsPlaying());
    EXPECT_TRUE(preview->GetPauseButton()->IsChecked());
    EXPECT_FALSE(preview->GetPlayButton()->IsChecked());
    editor->OnNotify(preview->GetNextButton(), kNotifyClicked);
    EXPECT_EQ(item->GetPosition(), 0.0f) << "next from the last frame is the first";
    editor->OnNotify(preview->GetNextButton(), kNotifyClicked);
    EXPECT_EQ(item->GetPosition(), 1.0f);

    editor->OnNotify(preview->GetPlayButton(), kNotifyClicked);
    EXPECT_TRUE(item->IsPlaying());
    EXPECT_STREQ(preview->GetPreviousButton()->GetTitle().GetString(), "|<");
    EXPECT_STREQ(preview->GetNextButton()->GetTitle().GetString(), ">|");

    // The sequence's "File" menu offers its video export.
    CJMenuItem* file = nullptr;
    for (CJWindow* child = editor->GetMenuBar()->GetFirstChild(); child; child = child->GetNextSibling())
        if (child->GetTitle().Compare("File") == 0)
            file = dynamic_cast<CJMenuItem*>(child);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->GetSubMenu());
    ASSERT_TRUE(file->GetSubMenu()->GetFirstChild());
    EXPECT_STREQ(file->GetSubMenu()->GetFirstChild()->GetTitle().GetString(), "Save As AVI");
    // A sequence of no folder has nowhere to write, and says so.
    auto* save = dynamic_cast<CJMenuItem*>(file->GetSubMenu()->GetFirstChild());
    ASSERT_TRUE(save && save->GetCommand());
    save->GetCommand()->Execute();
    auto* box = dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild());
    ASSERT_TRUE(box);
    EXPECT_STREQ(box->GetTitle().GetString(), "Save As AVI");
    EXPECT_FALSE(preview->OnNotify(preview->GetNextButton(), kNotifyChanged)) << "only clicks are handled";
}

TEST_F(CustomEditors, ShowCoordinatesOnlyForASequenceHoldingItsPoints)
{
    CSequence& sequence = m_Sequence;
    FillSequence(sequence);
    ASSERT_TRUE(Open(&sequence));
    auto* preview = Custom<CSequenceEditor>(GetCurrentObjectEditor());
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->GetShowHotSpotBox());
    EXPECT_FALSE(preview->GetShowCoordinatesBox());

    ASSERT_TRUE(GetSequenceCoordinates(sequence));
    ASSERT_TRUE(Open(&sequence));
    preview = Custom<CSequenceEditor>(GetCurrentObjectEditor());
    ASSERT_TRUE(preview->GetShowCoordinatesBox());
    EXPECT_STREQ(preview->GetShowCoordinatesBox()->GetTitle().GetString(), "Show Coordinates");
}

TEST_F(CustomEditors, PreviewLabelTopsAnEmptyCategoryAtItsOwnWidthElseFollowsTheLastRow)
{
    CPreviewSample sample;
    CObjectEditor* editor = Open(&sample);
    ASSERT_TRUE(editor);
    ASSERT_EQ(sample.previews.size(), 2u);
    CObjectEditorCatagory* rows = editor->GetCategory("Motion");
    CJStatic* below = sample.previews[0]->label;
    ASSERT_TRUE(below);
    EXPECT_STREQ(below->GetTitle().GetString(), "Preview:");
    EXPECT_GE(below->GetRect().top, rows->lastRow->GetRect().bottom);
    EXPECT_EQ(below->GetRect().left, rows->lastRow->GetRect().left);
    EXPECT_EQ(below->GetWidth(), rows->lastRow->GetWidth());

    CJStatic* top = sample.previews[1]->label;
    ASSERT_TRUE(top);
    auto* alone = new CJStatic(top->GetParent(), "Preview:");
    const int32_t ownWidth = alone->GetWidth();
    alone->Destroy();
    EXPECT_EQ(top->GetWidth(), ownWidth);
    EXPECT_EQ(top->GetRect().top, rows->firstRow->GetRect().top) << "where a first row would go";
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(CustomEditors, AFontShowsItsMapAndAFrameItsPreviewInTheirEditors)
{
    m_EditedFont = std::make_unique<CFont>();
    m_EditedFont->SetPointSize(10.0f);
    m_EditedFont->SetGeneratedColor(CColor(240, 196, 72, 255));
    CObjectEditor* editor = Open(m_EditedFont.get());
    ASSERT_TRUE(editor);
    auto* map = Custom<CFontEditor>(editor);
    ASSERT_TRUE(map);
    EXPECT_STREQ(map->GetCategory(), "Load");
    ASSERT_TRUE(map->GetMap());
    ASSERT_TRUE(map->GetPicture());
    EXPECT_EQ(map->GetPicture()->GetPicture(), map->GetMap());
    EXPECT_EQ(map->GetPicture()->GetParent(), editor->GetCategory("Load")->pane);

    // The picture in the README: OMBRISALT_SCREENSHOTS names where it goes.
    if (const char* folder = std::getenv("OMBRISALT_SCREENSHOTS")) {
        editor->GetTabControl()->SelectPage(editor->GetCategory("Load")->pane);
        Frame();
        m_Screen->DrawToScreen();
        std::string bytes = "P6\n800 600\n255\n";
        for (int32_t y = 0; y < 600; ++y)
            for (int32_t x = 0; x < 800; ++x) {
                const uint32_t p = Rgb(*m_ScreenFrame, x, y);
                bytes += {char(p >> 16), char(p >> 8), char(p)};
            }
        std::ofstream(std::string(folder) + "/font-map.ppm", std::ios::binary) << bytes;
    }

    CFrame* frame = m_Frame.get();
    editor = Open(frame);
    auto* preview = Custom<CFrameEditor>(editor);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->GetFrame(), frame);
    EXPECT_EQ(preview->GetPreview()->GetParent(), editor->GetCategory(nullptr)->pane);

    // A picture as large as the screen scrolls in its page: the editor and
    // its close button stay on the screen.
    const std::unique_ptr<CFrame> whole = CFrame::MakeOwned(m_Screen->GetWidth(), m_Screen->GetHeight(), 32);
    editor = Open(whole.get());
    const CRect& r = editor->GetScreenRect();
    EXPECT_TRUE(r.left >= 0 && r.right <= m_Screen->GetWidth() && r.bottom <= m_Screen->GetHeight())
        << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    EXPECT_LE(editor->GetCloseButton()->GetScreenRect().right, m_Screen->GetWidth());
}

TEST_F(CustomEditors, AnAudioPageCarriesAPlayButtonThatPlaysItThroughTheSoundDevice)
{
    CScopedDataFolder dataFolder(".");
    plat::CAudioDeviceHeadless output;
    CSoundDevice device(output);
    ASSERT_TRUE(device.Initialize());
    WriteBytes("Resources/Chime.wav", MonoWave(Constant(4000, 8000)));
    auto sounds = std::make_unique<CSoundList>(device);
    ASSERT_EQ(sounds->Load("Editor Sounds", "Resources", ".wav", ".ogg"), 1);
    GetAudioList().SetSource("Audio", sounds.get());
    auto heard = [&] {
        std::vector<int16_t> samples(2 * 256);
        output.Render(samples.data(), 256);
        return std::any_of(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    };
    {
        auto chime = std::make_unique<CAudioSound>();
        chime->m_Sound = GetAudioList().GetSoundReferences().Find("Chime.wav");
        ASSERT_GT(chime->m_Sound, 0);
        auto* play = Custom<CCommandButtonEditor>(Open(chime.get()));
        ASSERT_NE(play, nullptr);
        ASSERT_NE(play->GetButton(), nullptr);
        EXPECT_STREQ(play->GetButton()->GetTitle().GetString(), "Play");
        EXPECT_FALSE(heard()) << "nothing plays before the press";
        Frame();
        Click(*play->GetButton());
        EXPECT_TRUE(heard());
        OpenObjectEditor(nullptr, nullptr);
    }
    GetAudioList().SetSource("Audio", nullptr);
    sounds.reset();
    device.Shutdown();
}
