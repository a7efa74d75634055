#include "shell/RegisterShellClasses.h"

#include "foundation/ShellServices.h"
#include "images/CFrameList.h"
#include "render/CFrameEffect.h"
#include "render/RegisterRenderClasses.h"
#include "shell/CClipboard.h"
#include "shell/CScreenFrame.h"
#include "shell/CTheoraPlayer.h"
#include "shell/GameWindow.h"

#include <cstdint>

namespace {

// A message box needs the system arrow even while the game draws its own
// cursor; afterwards the pointer is left without one.
class CShellCursorHooks final : public CShellHooks {
public:
    void ShowArrowCursor() override { ShowSystemCursor(); }
    void ClearCursor() override { HideSystemCursor(); }
};

CFrame* FindTextureFrame(uint32_t index)
{
    // The library answers its first frame for an index it does not have.
    return GetFrameLibrary().GetObject(index > uint32_t(INT32_MAX) ? -1 : int32_t(index));
}

} // namespace

void RegisterShellClasses()
{
    RegisterRenderClasses();
    RegisterClipboardClasses();
    CScreenFrame::SGetClassInfo();
    CTheoraPlayer::SGetClassInfo();
    // Installed once: a test may have put its own in since.
    [[maybe_unused]] static const bool hooksInstalled = [] {
        static CShellCursorHooks cursorHooks;
        SetShellHooks(&cursorHooks);
        SetFrameEffectTextureLookup(&FindTextureFrame);
        return true;
    }();
}
