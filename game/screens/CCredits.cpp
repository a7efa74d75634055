#include "game/screens/CCredits.h"
#include "game/screens/ScreensGlobals.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CFile.h"
#include "foundation/CLocalizedString.h"
#include "foundation/MillisecondClock.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CObjectFileArray.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "ui/CJButton.h"

#include <algorithm>
#include <cmath>

namespace {

CLocalizedString& CreditsTitle()
{
    static CLocalizedString text("Credits");
    return text;
}

CLocalizedString& CloseTitle()
{
    static CLocalizedString text("Close");
    return text;
}

bool StartsWith(const CJString& line, const char* prefix)
{
    const int length = int(std::char_traits<char>::length(prefix));
    if (line.GetLength() < length)
        return false;
    for (int i = 0; i < length; ++i)
        if (line.GetAt(i) != char16_t(uint8_t(prefix[i])))
            return false;
    return true;
}

// Index of a "~" that splits the line; -1 when none does (one at index 0
// leaves the line whole).
int SplitIndex(const CJString& text)
{
    const int at = text.Find("~", 1);
    return at > 0 ? at : -1;
}

// The lookup that leaves a missing name to the caller: the library's
// find-by-name would end the program.
CFrame* FindLibraryFrame(const CJString& name)
{
    if (name.IsEmpty())
        return nullptr;
    CFrameList& library = GetFrameLibrary();
    const int32_t index = library.Find(name);
    return index >= 0 ? library.GetObject(index) : nullptr;
}

// Half the width of the band whose characters are kept: far wider than any
// screen, with room for glyphs that reach past their advance.
constexpr int64_t kShownHalfWidth = 16384;
// The most characters kept of a line: more than the band holds of
// characters that advance a pixel or more, so only characters that advance
// nothing (tabs, control codes) are ever cut by it.
constexpr int32_t kShownCharacters = int32_t(2 * kShownHalfWidth + 1);

} // namespace

CCreditsText::CCreditsText(const char* fileName, CFont* font)
    : m_Font(font)
    , m_Speed(20.0f / float(GetMillisecondClockFrequency()))
{
    CFile file;
    if (fileName && file.Open(fileName, FILE_READ)) {
        // Every line is kept: a file larger than any text is refused before
        // it is read.
        if (file.GetSize() > kMaxStringLength) {
            ReportItemLeftOut(CJString(fileName), "larger than any text may be");
        } else {
            CJString line;
            while (file.ReadLine(line))
                AppendLine(line);
        }
        file.Close();
    }
    Restart();
}

void CCreditsText::AppendLine(const CJString& line)
{
    if (StartsWith(line, "//"))
        return;
    SCreditsEntry entry;
    if (StartsWith(line, "FRAME:")) {
        entry.text = line.Mid(6);
        entry.image = FindLibraryFrame(entry.text);
    } else {
        entry.text = line;
    }
    if (entry.image)
        entry.height = entry.image->GetHeight();
    else
        entry.height = m_Font ? uint32_t(std::max(m_Font->GetPointSize(), 0)) : 0;
    LayOut(entry);
    m_Tops.push_back(m_Entries.empty() ? 0 : m_Tops.back() + int64_t(m_Entries.back().height) + 2);
    m_Entries.push_back(std::move(entry));
}

int64_t CCreditsText::Width(const CJString& text, int32_t from, int32_t to)
{
    int64_t width = 0;
    for (int32_t i = from; i < to; ++i)
        width += m_Font->GetCharAdvance(text.GetAt(i));
    return width;
}

SCreditsRun CCreditsText::Cut(const CJString& text, int32_t from, int32_t to, int64_t start)
{
    int64_t pen = start;
    int32_t first = from;
    while (first < to && pen < -kShownHalfWidth)
        pen += m_Font->GetCharAdvance(text.GetAt(first++));
    SCreditsRun run;
    run.from = first;
    run.x = first < to ? int32_t(pen) : 0;
    int32_t end = first;
    const int32_t last = to - first > kShownCharacters ? first + kShownCharacters : to;
    while (end < last && pen <= kShownHalfWidth)
        pen += m_Font->GetCharAdvance(text.GetAt(end++));
    run.count = end - first;
    return run;
}

void CCreditsText::LayOut(SCreditsEntry& entry)
{
    if (entry.image || !m_Font)
        return;
    const CJString& text = entry.text;
    const int32_t length = text.GetLength();
    const int split = SplitIndex(text);
    if (split > 0) {
        // The left column ends at the centre, the right one starts there.
        entry.runs[0] = Cut(text, 0, split, -Width(text, 0, split));
        entry.runs[1] = Cut(text, split + 1, length, 0);
        entry.runCount = 2;
        return;
    }
    const bool marked = StartsWith(text, "_") || StartsWith(text, "+");
    const int32_t from = marked ? 1 : 0;
    const int64_t width = Width(text, from, length);
    entry.runs[0] = Cut(text, from, length, -(width / 2));
    entry.runCount = 1;
    if (marked)
        entry.underlineHalf = int32_t(std::min(width / 2, kShownHalfWidth));
}

void CCreditsText::Restart()
{
    const double first = m_Entries.empty() ? 0.0 : double(m_Entries.front().height);
    m_StartTime = double(MillisecondClock()) - first / double(m_Speed);
}

void CCreditsText::Draw(CFrameInterface& frame)
{
    if (m_Entries.empty())
        return;
    const double now = double(MillisecondClock());
    const int32_t H = int32_t(frame.GetHeight());
    const int32_t W = int32_t(frame.GetWidth());
    const int32_t scroll = int32_t(std::lrintf(float(double(m_Speed) * (now - m_StartTime))));
    const int32_t centre = int32_t(uint32_t(W) / 2);
    const float eighth = float(H) * 0.125f;
    CBlitType& trans = GetTransparentMaskBlitType();
    CBlitType& blackBias = GetBlackBiasBlitType();

    // The first entry whose bottom has not left the top; entries above it
    // cost nothing.
    const int64_t origin = int64_t(H) - scroll;
    auto bottomOf = [&](size_t k) { return origin + m_Tops[k] + int64_t(m_Entries[k].height); };
    size_t low = 0, high = m_Entries.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (bottomOf(middle) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    for (size_t k = low; k < m_Entries.size(); ++k) {
        const int64_t top = origin + m_Tops[k];
        if (top > H)
            break;
        const int32_t y = int32_t(top);
        const int32_t bottom = int32_t(bottomOf(k));
        float opacity = 1.0f;
        if (y < H / 8)
            opacity = eighth > 0.0f ? float(y) / eighth : 1.0f;
        else if (bottom > 7 * H / 8)
            opacity = 1.0f - (float(bottom) - float(H) * 7.0f * 0.125f) / eighth;
        opacity = std::clamp(opacity, 0.0f, 1.0f);
        trans.SetOpacity(opacity);
        blackBias.SetOpacity(opacity);
        DrawEntry(frame, m_Entries[k], centre, y);
    }
    trans.SetOpacity(1.0f);
    blackBias.SetOpacity(1.0f);
    if (bottomOf(m_Entries.size() - 1) < 0)
        Restart();
}

void CCreditsText::DrawEntry(CFrameInterface& frame, const SCreditsEntry& entry, int32_t centre, int32_t y)
{
    if (entry.image) {
        BlitAt(frame, *entry.image, centre - int32_t(entry.image->GetWidth()) / 2, y, GetTransparentMaskBlitType());
        return;
    }
    if (!m_Font)
        return;
    const CJString& text = entry.text;
    if (entry.underlineHalf >= 0) {
        const bool red = StartsWith(text, "_");
        const int32_t half = entry.underlineHalf;
        const int32_t lineHeight = int32_t(entry.height);
        const uint8_t opacity255 = uint8_t(GetTransparentMaskBlitType().GetOpacity255());
        CColor colour;
        if (frame.GetBitDepth() == 8) {
            const uint8_t level = uint8_t(std::lrintf(GetTransparentMaskBlitType().GetOpacity() * 156.0f));
            colour = red ? CColor(level, 0, 0, 255) : CColor(0, level, 0, 255);
        } else {
            colour = red ? CColor(156, 0, 0, opacity255) : CColor(0, 156, 0, opacity255);
        }
        frame.FillRect(CRect{centre - half, y + lineHeight + 4, centre + half + 1, y + lineHeight + 5}, colour);
    }
    for (uint8_t i = 0; i < entry.runCount; ++i) {
        const SCreditsRun& run = entry.runs[i];
        if (run.count == 0)
            continue;
        if (run.from == 0 && run.count == text.GetLength())
            m_Font->DrawText(frame, centre + run.x, y, text, TextAlign::Left);
        else
            m_Font->DrawText(frame, centre + run.x, y, text.Mid(run.from, run.count), TextAlign::Left);
    }
}

CJCreditsControl::CJCreditsControl(CJWindow* parent, bool bevel, const char* fileName)
    : CJWindow(parent, "~CJCreditsControl")
    , m_Bevel(bevel)
{
    m_Reader = std::make_unique<CCreditsText>(fileName, GetFont());
    const int32_t unit = GetFontUnit();
    SetSize(unit * 320, unit * 200);
}

CJCreditsControl::~CJCreditsControl()
{
    m_Reader->Clear();
}

void CJCreditsControl::Draw(CFrameInterface& frame)
{
    if (m_Bevel)
        DrawBevelBox(GetFont(), frame, CRect{0, 0, GetWidth(), GetHeight()}, false, 15, false);
    CRect client = GetScrolledClientRect();
    client = CRect{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
    if (client.right <= client.left || client.bottom <= client.top)
        return;
    auto* proxy = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
    if (!proxy)
        return;
    const int32_t offsetX = proxy->GetOwnOffsetX();
    const int32_t offsetY = proxy->GetOwnOffsetY();
    CRect clip{};
    proxy->GetBounds(clip);

    proxy->SetOffset(SaturatingSub(offsetX, client.left), SaturatingSub(offsetY, client.top));
    proxy->SetClipRect(CRect{0, 0, client.GetWidth(), client.GetHeight()});
    if (m_Bevel)
        frame.FillRect(CRect{0, 0, client.GetWidth(), client.GetHeight()}, m_Color0);
    m_Reader->Draw(frame);
    proxy->SetOffset(offsetX, offsetY);
    proxy->SetClipRect(clip);
}

CCreditsWindow::CCreditsWindow(CJWindow* parent, const char* fileName)
    : CMenuWindow(parent, CreditsTitle())
{
    SetIconSequence("MenuScreen_Button_Credits");
    m_Control = &Add<CJCreditsControl>(EPlace::TopLeft, true, fileName);
    SetKeyboardFocusShown(false);
    m_Close = &Add<CJButton>(EPlace::BelowPreviousCentred, CloseTitle());
    m_Close->SetCommand(new CObjectFunctionCommand<CCreditsWindow>(this, &CCreditsWindow::CloseWindow));
    BringChildToFront(m_Close);
    SetDefaultButton(m_Close);
    SetCancelButton(m_Close);
    SetHeight(GetHeight() - 5);
}

void CCreditsWindow::CloseWindow()
{
    Close();
}

void RegisterCreditsTexts()
{
    CloseTitle();
    CreditsTitle();
}
