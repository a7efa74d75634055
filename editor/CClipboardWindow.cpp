#include "editor/CClipboardWindow.h"

#include "editor/EditorStartup.h"
#include "images/CFont.h"
#include "shell/CClipboard.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

CClipboardWindow* g_ClipboardWindow = nullptr;

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 43;
// Where the window's bottom-right corner starts.
constexpr int32_t kRight = 640;
constexpr int32_t kBottom = 480;

struct SDescriptionState {
    CJString text;
    // The object data the text describes; reading a large object on every
    // frame would cost more than the frame.
    std::vector<uint8_t> describedData;
    bool describesObject = false;
};

SDescriptionState& State()
{
    static SDescriptionState* const state = new SDescriptionState;
    return *state;
}

// The data of the object format a paste would read, as PasteObject picks it.
const uint8_t* ObjectData(CClipboard& clipboard, size_t& size)
{
    const char* formats[]
        = {clipboard.IsEditingPlayedLevel() ? kClipboardDirtyObject : kClipboardObject, kClipboardOldObject};
    for (const char* format : formats)
        if (const uint8_t* data = clipboard.GetData(format, size))
            return data;
    size = 0;
    return nullptr;
}

} // namespace

const CJString& GetClipboardDescription()
{
    SDescriptionState& state = State();
    CClipboard& clipboard = CClipboard::SGetInstance();
    if (clipboard.GetText(state.text)) {
        state.describesObject = false;
        return state.text;
    }
    size_t size = 0;
    const uint8_t* data = ObjectData(clipboard, size);
    if (!data) {
        state.describesObject = false;
        state.text.Empty();
        return state.text;
    }
    if (state.describesObject && state.describedData.size() == size
        && (size == 0 || std::memcmp(state.describedData.data(), data, size) == 0))
        return state.text;
    state.describedData.assign(data, data + size);
    state.describesObject = true;
    std::unique_ptr<CObject> object(clipboard.PasteObject(CClipboard::AllowText::No));
    if (object)
        object->GetDescription(state.text);
    else
        state.text.Empty();
    return state.text;
}

void DrawClipboardLine(CJWindow& window, CFrameInterface& frame)
{
    CFont* font = window.GetFont();
    if (!font)
        return;
    const int32_t border = window.GetBorderWidth();
    font->DrawText(frame, border, window.GetClientTopInset() + border, GetClipboardDescription(), TextAlign::Left);
}

CClipboardWindow::CClipboardWindow(CJWindow* parent)
    : CJFrameWindow(parent, GetClipboardWindowTitle())
{
    g_ClipboardWindow = this;
    const int32_t gap = GetFontUnit() * 2;
    SetBorderWidth(gap);
    SetSpacing(gap, gap);
    SetSize(kWidth, kHeight);
    MoveTo(kRight - GetWidth(), kBottom - GetHeight());
    LoadWindowSettings(GetClipboardWindowTitle().GetString(), true);
    AddCloseButton();
    AddResizeGrip();
    AddTransparencyToggle();
}

CClipboardWindow::~CClipboardWindow()
{
    if (g_ClipboardWindow == this)
        g_ClipboardWindow = nullptr;
}

void CClipboardWindow::Draw(CFrameInterface& frame)
{
    DrawSkinBack(frame);
    DrawClipboardLine(*this, frame);
    CJWindow::Draw(frame);
}

bool IsClipboardWindowOpen()
{
    return g_ClipboardWindow != nullptr;
}

CClipboardWindow* GetClipboardWindow()
{
    return g_ClipboardWindow;
}

CClipboardWindow* OpenClipboardWindow(CJWindow* parent, EPlace placement, CJWindow* reference)
{
    if (!parent || IsClipboardWindowOpen())
        return nullptr;
    return &parent->Add<CClipboardWindow>({placement, reference, kDefaultOffset, kDefaultOffset, kPlaceNoGrow});
}
