// Window settings (size, place, shown and transparent flags) kept in a
// settings file under the window's key, and the window image cache switch.
#include "foundation/CIniSection.h"
#include "foundation/SettingsFiles.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/CWindowImageCache.h"

#include <algorithm>
#include <string>

namespace {

std::string g_SettingsFile; // empty: the program's settings file
bool g_ImageCacheEnabled = true;

// Pulls a span [start, start + size) back into [low, high): one starting at
// or beyond high ends there, one ending at or before low starts there.
int32_t KeepReachable(int32_t start, int32_t size, int32_t low, int32_t high)
{
    if (start >= high)
        start = high - size;
    if (start + size <= low)
        start = low;
    return start;
}

} // namespace

void SetWindowImageCacheEnabled(bool enabled)
{
    g_ImageCacheEnabled = enabled;
}

bool IsWindowImageCacheEnabled()
{
    return g_ImageCacheEnabled;
}

void CJWindow::SetImageCache(CWindowImageCache* cache)
{
    if (cache == m_ImageCache)
        return;
    delete m_ImageCache;
    m_ImageCache = cache;
}

void CJWindow::SetWindowSettingsFile(const char* fileName)
{
    g_SettingsFile = fileName ? fileName : "";
}

const char* CJWindow::GetWindowSettingsFile()
{
    return g_SettingsFile.empty() ? GetOptionsSection().GetFileName() : g_SettingsFile.c_str();
}

void CJWindow::LoadWindowSettings(const char* key, bool withSize)
{
    const CJString section(key ? CJString(key) : m_Title);
    m_SettingsKey = section;
    m_HasSettingsKey = true;
    m_SaveSizeInSettings = withSize;
    const char* file = GetWindowSettingsFile();
    const char* name = section.GetString();

    // The area the window must stay reachable in: the parent's visible
    // content, or the screen window.
    CRect area{};
    bool haveArea = false;
    if (m_Parent) {
        area = m_Parent->m_ClipRect;
        haveArea = area.right > area.left && area.bottom > area.top;
    } else if (CScreenWindow* screen = CScreenWindow::GetScreenWindow(); screen && screen != this) {
        area = CRect{0, 0, screen->GetWidth(), screen->GetHeight()};
        haveArea = area.right > 0 && area.bottom > 0;
    }

    if (withSize) {
        int32_t width = GetIniInt(file, name, "Width", GetWidth());
        int32_t height = GetIniInt(file, name, "Height", GetHeight());
        if (width >= 1 && height >= 1) {
            // A damaged file must not make a window larger than where it lives.
            if (haveArea) {
                width = std::min(width, std::max(area.right - area.left, GetWidth()));
                height = std::min(height, std::max(area.bottom - area.top, GetHeight()));
            }
            SetSize(width, height);
        }
    }
    int32_t x = GetIniInt(file, name, "Position X", m_Rect.left);
    int32_t y = GetIniInt(file, name, "Position Y", m_Rect.top);
    const bool show = GetIniBool(file, name, "Show Window", m_Visible);
    const bool transparent = GetIniBool(file, name, "Transparent Window", m_Transparent);
    SetTransparent(transparent);

    if (haveArea) {
        x = KeepReachable(x, GetWidth(), area.left, area.right);
        y = KeepReachable(y, GetHeight(), area.top, area.bottom);
    }
    if (x != m_Rect.left || y != m_Rect.top)
        MoveTo(x, y);
    if (show != m_Visible)
        Show(show, true);
    // A second window opened where the first stands moves 10, 10 along.
    if (m_Parent)
        for (int guard = 0; guard < 1000 && m_Parent->IsChildAtRect(m_ScreenRect, this); ++guard)
            MoveTo(m_Rect.left + 10, m_Rect.top + 10);
}

void CJWindow::SaveWindowSettings(const char* key, bool withSize)
{
    const CJString section(key ? CJString(key) : m_Title);
    // One replacement of the file for all the window's keys: each is a
    // synced rewrite, and editors save on every close.
    SIniInt values[6];
    size_t count = 0;
    if (withSize) {
        values[count++] = SIniInt{"Width", GetWidth()};
        values[count++] = SIniInt{"Height", GetHeight()};
    }
    values[count++] = SIniInt{"Position X", m_Rect.left};
    values[count++] = SIniInt{"Position Y", m_Rect.top};
    values[count++] = SIniInt{"Show Window", m_Visible ? 1 : 0};
    values[count++] = SIniInt{"Transparent Window", m_Transparent ? 1 : 0};
    (void)SetIniInts(GetWindowSettingsFile(), section.GetString(), values, count);
}
