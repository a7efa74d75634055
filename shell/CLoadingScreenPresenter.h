#pragma once
// Full-screen pictures shown while the game loads: each centred on the
// screen, kept up for at least a minimum time (so a fast machine does not
// flash it) unless the player cuts it short with a key or a new click, and
// faded in and out.
//
// The game's initialisation calls Show for each picture and Finish at the
// end; the loading runs between the calls, on the main thread, and the
// screen is not drawn in between. While it waits the presenter pumps the
// window's messages itself.

#include <cstdint>
#include <memory>

class CFrame;

// Text and pictures laid over a loading picture before it is shown.
class CLoadingScreenOverlay {
public:
    virtual ~CLoadingScreenOverlay() = default;
    virtual void DrawOnFrame(CFrame& frame) = 0;
};

class CLoadingScreenPresenter {
public:
    CLoadingScreenPresenter() = default;
    ~CLoadingScreenPresenter();
    CLoadingScreenPresenter(const CLoadingScreenPresenter&) = delete;
    CLoadingScreenPresenter& operator=(const CLoadingScreenPresenter&) = delete;

    // Finishes the current picture and shows the frame (held, not owned;
    // overlays are drawn on a copy, never on the caller's frame). A null or
    // empty frame is not shown.
    void Show(CFrame* frame, CLoadingScreenOverlay* overlays = nullptr);
    // Waits out the current picture's minimum time, fades it out and releases it.
    void Finish();
    // Releases the current picture without waiting or fading.
    void Release();

    float GetMinimumSeconds() const { return m_MinimumSeconds; }
    void SetMinimumSeconds(float seconds) { m_MinimumSeconds = seconds; }
    const CFrame* GetPicture() const { return m_Picture; }

private:
    void PresentPicture();
    void DrawPicture();
    void WaitMinimum();
    enum class FadeDirection : uint8_t { In, Out };
    void Fade(FadeDirection direction);

    uint32_t m_ShownAt = 0;
    bool m_TimeNoted = false;
    float m_MinimumSeconds = 3.0f;
    CFrame* m_Picture = nullptr;
    std::unique_ptr<CFrame> m_OwnedPicture; // set when m_Picture is a copy of ours
};
