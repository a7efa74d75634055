#include "shell/CLoadingScreenPresenter.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFrame.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"

#include <algorithm>

namespace {

// The screen's back buffers; each is drawn once more so none shows an older scene.
constexpr int32_t kScreenBuffers = 1;
constexpr float kFadeSeconds = 0.25f;
// Long enough that the screen's own fade-in never starts during a fade-out.
constexpr float kFadeOutWatchdogSeconds = 5.0f;

// Hears every button change while the presenter waits, so that a button let
// go and pressed again within one pump still counts as a new click.
class CNewClickWatch : public CMouseEventListenerMixin {
public:
    explicit CNewClickWatch(uint32_t held)
        : m_Held(held)
    {
    }
    void OnMouseEvent(const CMouseEvent& event) override
    {
        if (event.type == MouseEventType::Released)
            m_Held &= ~event.changed;
        else if (event.type == MouseEventType::Pressed && (event.changed & ~m_Held) != 0)
            m_Clicked = true;
    }
    bool Clicked() const { return m_Clicked; }

private:
    uint32_t m_Held;
    bool m_Clicked = false;
};

} // namespace

CLoadingScreenPresenter::~CLoadingScreenPresenter()
{
    Release();
}

void CLoadingScreenPresenter::DrawPicture()
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CRect bounds{};
    screen.GetBounds(bounds);
    CColor black(0, 0, 0, 255);
    screen.FillRect(bounds, black);
    if (!m_Picture)
        return;
    CRect source{};
    m_Picture->GetBounds(source);
    const int32_t x = (int32_t(screen.GetWidth()) - int32_t(m_Picture->GetWidth())) / 2;
    const int32_t y = (int32_t(screen.GetHeight()) - int32_t(m_Picture->GetHeight())) / 2;
    const CRect target{bounds.left + x, bounds.top + y, bounds.left + x + source.GetWidth(),
                       bounds.top + y + source.GetHeight()};
    screen.Blit(*m_Picture, source, target, GetNormalBlitType());
}

void CLoadingScreenPresenter::PresentPicture()
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    for (int32_t i = 0; i < kScreenBuffers + 1; ++i) {
        DrawPicture();
        screen.Present();
    }
    screen.SetFrameShown(true);
}

void CLoadingScreenPresenter::Fade(FadeDirection direction)
{
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    if (direction == FadeDirection::In)
        screen.FadeIn(kFadeSeconds, FadeWait::Return);
    else
        screen.FadeOut(kFadeSeconds, kFadeOutWatchdogSeconds, FadeWait::Return);
    plat::CPlatform& platform = plat::GetPlatform();
    uint32_t previous = plat::GetMillisecondTick();
    while (screen.GetFadeState() != FadeState::Idle) {
        platform.Sleep(1);
        const uint32_t now = plat::GetMillisecondTick();
        screen.UpdateFade(float(now - previous) / 1000.0f);
        previous = now;
        DrawPicture();
        screen.Present();
    }
}

void CLoadingScreenPresenter::WaitMinimum()
{
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    CMouseState& mouse = CMouseState::SGetInstance();
    keyboard.Reset();
    if (!m_TimeNoted) {
        m_ShownAt = plat::GetMillisecondTick();
        m_TimeNoted = true;
        return;
    }
    // Buttons held from before the picture do not end the wait.
    CNewClickWatch watch(mouse.GetButtons());
    const uint32_t minimum = uint32_t(std::max(0, TruncateToInt32(m_MinimumSeconds * 1000.0f)));
    plat::CPlatform& platform = plat::GetPlatform();
    while (uint32_t(plat::GetMillisecondTick() - m_ShownAt) < minimum && !IsShutdownRequested()) {
        RunMessageLoop();
        if (keyboard.TakePressedKey() != 0)
            break;
        if (watch.Clicked()) {
            // The click ends the wait and goes no further.
            mouse.SetButtons(mouse.GetButtons() & ~1u);
            break;
        }
        platform.Sleep(1);
    }
    keyboard.Reset();
    m_ShownAt = plat::GetMillisecondTick();
}

void CLoadingScreenPresenter::Show(CFrame* frame, CLoadingScreenOverlay* overlays)
{
    if (!frame || frame->GetWidth() == 0 || frame->GetHeight() == 0)
        return;
    Finish();
    const uint32_t screenDepth = CScreenFrame::SGetInstance().GetBitDepth();
    // The caller's frame is never drawn on, and the screen takes no
    // run-length frame: both get a plain copy of our own.
    if (frame->IsCompressed() || overlays) {
        std::unique_ptr<CFrame> copy = CFrame::MakeOwned(frame->GetWidth(), frame->GetHeight(), screenDepth);
        if (copy) {
            CRect source{};
            frame->GetBounds(source);
            copy->Blit(*frame, source, CRect{0, 0, int32_t(frame->GetWidth()), int32_t(frame->GetHeight())},
                       GetNormalBlitType());
            m_OwnedPicture = std::move(copy);
            frame = m_OwnedPicture.get();
        } else if (overlays) {
            overlays = nullptr;
        }
    }
    m_Picture = frame;
    if (overlays)
        overlays->DrawOnFrame(*m_Picture);
    PresentPicture();
    Fade(FadeDirection::In);
}

void CLoadingScreenPresenter::Finish()
{
    WaitMinimum();
    Fade(FadeDirection::Out);
    Release();
}

void CLoadingScreenPresenter::Release()
{
    m_Picture = nullptr;
    m_OwnedPicture.reset();
}
