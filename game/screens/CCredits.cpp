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

} // namespace

CCreditsText::CCreditsText(const char* fileName, CFont* font)
    : m_Font(font)
    , m_Speed(20.0f / float(GetMillisecondClockFrequency()))
{
    CFile file;
    if (fileName && file.Open(fileName, FILE_READ)) {
        CJString line;
        while (file.ReadLine(line))
            AppendLine(line);
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
    m_Entries.push_back(std::move(entry));
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

    int32_t y = H - scroll;
    int32_t bottom = y;
    for (const SCreditsEntry& entry : m_Entries) {
        bottom = y + int32_t(entry.height);
        if (!(y > H || bottom < 0)) {
            float opacity = 1.0f;
            if (y < H / 8)
                opacity = eighth > 0.0f ? float(y) / eighth : 1.0f;
            else if (bottom > 7 * H / 8)
                opacity = 1.0f - (float(bottom) - float(H) * 7.0f * 0.125f) / eighth;
            opacity = std::clamp(opacity, 0.0f, 1.0f);
            trans.SetOpacity(opacity);
            blackBias.SetOpacity(opacity);
            DrawEntry(frame, entry, centre, y);
        }
        y = bottom + 2;
    }
    trans.SetOpacity(1.0f);
    blackBias.SetOpacity(1.0f);
    if (bottom < 0)
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
    const int split = SplitIndex(text);
    if (split > 0) {
        m_Font->DrawText(frame, centre, y, text.Left(split), TextAlign::Right);
        m_Font->DrawText(frame, centre, y, text.Mid(split + 1), TextAlign::Left);
        return;
    }
    const bool red = StartsWith(text, "_");
    if (red || StartsWith(text, "+")) {
        const CJString rest = text.Mid(1);
        const int32_t w = m_Font->GetTextWidth(rest);
        const int32_t lineHeight = int32_t(entry.height);
        const uint8_t opacity255 = uint8_t(GetTransparentMaskBlitType().GetOpacity255());
        CColor colour;
        if (frame.GetBitDepth() == 8) {
            const uint8_t level = uint8_t(std::lrintf(GetTransparentMaskBlitType().GetOpacity() * 156.0f));
            colour = red ? CColor(level, 0, 0, 255) : CColor(0, level, 0, 255);
        } else {
            colour = red ? CColor(156, 0, 0, opacity255) : CColor(0, 156, 0, opacity255);
        }
        frame.FillRect(CRect{centre - w / 2, y + lineHeight + 4, centre + w / 2 + 1, y + lineHeight + 5}, colour);
        m_Font->DrawText(frame, centre, y, rest, TextAlign::Centre);
        return;
    }
    m_Font->DrawText(frame, centre, y, text, TextAlign::Centre);
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
    // The proxy's offset without its source's own, as SetOffset takes it.
    CFrameInterface* source = proxy->GetFrame();
    const int32_t offsetX = proxy->GetOffsetX() - (source ? source->GetOffsetX() : 0);
    const int32_t offsetY = proxy->GetOffsetY() - (source ? source->GetOffsetY() : 0);
    CRect clip{};
    proxy->GetBounds(clip);

    proxy->SetOffset(offsetX - client.left, offsetY - client.top);
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
