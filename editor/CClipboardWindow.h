#pragma once
// A small frame window that shows in one line what the clipboard holds, so
// that a designer sees what a paste in the editors would insert. At most one
// is open; its title and settings key are "Clipboard".

#include "foundation/CJString.h"
#include "ui/CJFrameWindow.h"

#include <cstdint>

class CFrameInterface;

// The clipboard's text when it holds text; else the description of the
// object it holds; else empty. One string, rewritten by every call. The
// object is read again only when the clipboard's object data changed.
const CJString& GetClipboardDescription();
// Draws GetClipboardDescription in the window's font at the border width
// and under the window's top inset, in window coordinates.
void DrawClipboardLine(CJWindow& window, CFrameInterface& frame);

class CClipboardWindow : public CJFrameWindow {
public:
    // Registers itself as the open clipboard window.
    explicit CClipboardWindow(CJWindow* parent);
    ~CClipboardWindow() override;

    // The skin's back, the clipboard line and the children: no front skin.
    void Draw(CFrameInterface& frame) override;
};

bool IsClipboardWindowOpen();
CClipboardWindow* GetClipboardWindow();
// Builds the window and adds it to parent, placed against reference (AsIs:
// where it stands); null, and nothing made, while one is open.
CClipboardWindow* OpenClipboardWindow(CJWindow* parent, EPlace placement = EPlace::AsIs, CJWindow* reference = nullptr);
