#pragma once
// The application object. Exactly one exists at a time: the game derives from
// it, and its constructor makes it the process-wide game object that the main
// loop, the message pump and the rest of the program reach through
// SGetInstance. It sets up the program's settings file, archives, class
// registry, message types, object lists, blitter tables, sounds, music and
// translations; answers three message types (idle processing services the
// music, typed characters go to OnCommand, play-sound plays from the sound
// list) through its own routers; steps the sound device and the music with
// every update and shuts sound down when it goes; destroys objects
// handed to it for deferred deletion at the start of the next update; and
// runs the fixed-step frame driver (MeasureFrameTime, shell/CFrameDriver.h),
// which calls Update a whole number of steps per pass and then Draw. It is
// the message pump's client while it lives.

#include "foundation/CArrayPOD.h"
#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"
#include "objects/CMessage.h"
#include "objects/CObjectModelHost.h"
#include "shell/CFrameDriver.h"
#include "shell/GameWindow.h"

#include <cstdint>
#include <memory>

class CObject;
class CShellScreen;
class CFrameRateFont;
class CShellRootWindow;
class CLoadingScreenPresenter;

// A plug-in that hands messages of one type (or every type, with
// kAnyMessageType) to a member function of its owner.
template <class T>
class CGamePlugInObjectFunction final : public CGamePlugIn {
public:
    using Handler = bool (T::*)(CMessage& message);
    static constexpr uint32_t kAnyMessageType = 0xFFFFFFFFu;

    CGamePlugInObjectFunction(T* owner, Handler handler, uint32_t messageType)
        : m_Owner(owner)
        , m_Handler(handler)
        , m_Type(messageType)
    {
    }

    bool OnMessage(CMessage& message) override
    {
        if (m_Type != kAnyMessageType && message.GetType() != m_Type)
            return false;
        return (m_Owner->*m_Handler)(message);
    }

private:
    T* m_Owner;
    Handler m_Handler;
    uint32_t m_Type;
};

// The root of the window tree, owned by the application object.
class CShellRootWindow {
public:
    virtual ~CShellRootWindow() = default;
    virtual void Update(float seconds) = 0;
    virtual void DrawTree() = 0;
    virtual bool HasChildren() const = 0;
    // The level value of the first child window; 0 without children.
    virtual float GetFirstChildLevel() const = 0;
};

// The root window the toolkit makes for a screen. The toolkit lives above the
// shell and installs its maker at start-up; without one there is no root.
using ScreenWindowFactory = std::unique_ptr<CShellRootWindow> (*)(CShellScreen& screen);
ScreenWindowFactory SetScreenWindowFactory(ScreenWindowFactory factory);
OMBRISALT_UPWARD_HOOK(SetScreenWindowFactory);

enum class BusyCounter { First, Second };

class CGameBase : public CGamePlugIn, public CObjectModelHost, public CMessagePumpClient, private CFrameDriver::CClient {
public:
    // Steps in seconds; the game passes 1/60, 1/60 and 1/12. The presenter,
    // the start-up music name and the intro movie list (null-terminated)
    // may be null.
    CGameBase(float minimumStep, float step, float maximumAccumulated, CLoadingScreenPresenter* presenter,
              const char* startupMusic, const char* const* introMovies);
    CGameBase(const CGameBase&) = delete;
    CGameBase& operator=(const CGameBase&) = delete;
    ~CGameBase() override;

    // The game object; null before the first is built and after it is gone.
    static CGameBase* SGetInstance();
    // True once shutdown has begun; work that would outlive it is skipped.
    static bool SIsShuttingDown();
    static void SSetShuttingDown(bool shuttingDown);

    bool OnMessage(CMessage& message) override;
    // The sound list "Sounds": every ".wav" and ".ogg" below "Resources".
    virtual void LoadSounds();
    virtual void Init(CLoadingScreenPresenter* presenter);
    virtual void Update(float seconds);
    // True when the frame was presented.
    virtual bool Draw();
    // Services the music player (next track, volume); true.
    virtual bool UpdateMusic(CMessage& message);
    // After the display mode was switched by the user.
    void OnDisplayModeChanged() override;
    // True when the state changed.
    virtual bool SetActive(bool active);
    // Every typed key code, the control codes of the message pump included.
    virtual bool OnCommand(uint32_t keyCode);
    // The screen the frame-rate line is drawn on and presented; the font of
    // the line (the line is drawn only with one). A screen gets the root
    // window through CreateScreenWindow.
    virtual void Initialize(CShellScreen* screen, CFrameRateFont* frameRateFont);
    bool IsNamedOptionSet(const char* name) override;
    // Text hooks of the game; the 8-bit forms wrap the text and call these.
    virtual void OnStringHook1(const CJString& text);
    virtual void OnStringHook2(const CJString& text);
    virtual void OnStringHook3(const CJString& text);
    virtual void OnStringHook4(const CJString& text);
    void ForwardStringHook1(const char* text);
    void ForwardStringHook2(const char* text) override;
    void ForwardStringHook3(const char* text);
    void ForwardStringHook4(const char* text);
    virtual void DrawJWindows();
    // The root window for a screen: the installed factory's; null without one.
    virtual std::unique_ptr<CShellRootWindow> CreateScreenWindow(CShellScreen& screen);
    void IncrementBusy(BusyCounter counter);
    void DecrementBusy(BusyCounter counter);
    bool IsBusy();
    // Whether the second busy counter is ignored.
    virtual bool IgnoresSecondBusyCounter();

    // Frame driver: runs the pass at the clock's reading and answers the
    // time left until the next step is due (negative when work is left over).
    float MeasureFrameTime();
    void StartUpdateCounters();
    void StartDrawCounter();
    void ResetFrameRateCounters();
    float GetFrameRate() const;
    float GetProcessingRate() const;

    void SetWindowActive(bool active) { m_WindowActiveForPresent = active; }
    bool KeepsRunningInBackground() const override { return m_KeepRunningInBackground; }
    // The window came to the front or went: activation, keyboard state and
    // frame-rate counters start afresh.
    void OnWindowActivation(bool activeAndShown) override;
    void SetKeepRunningInBackground(bool keep) { m_KeepRunningInBackground = keep; }
    void SetDisplayFps(bool display);
    bool GetDisplayFps() const { return m_DisplayFrameRate; }
    // The screen's brightness is not in the settings file: its last write
    // failed (SaveUnsavedBrightness writes it).
    bool IsBrightnessUnsaved() const { return m_BrightnessUnsaved; }
    void SetBrightnessUnsaved(bool unsaved) { m_BrightnessUnsaved = unsaved; }
    bool GetShowOverlaysInEditor() const { return m_ShowOverlaysInEditor; }
    // 0: whether the root window has children; 1: whether its first child's
    // level is above 0.333; anything else false.
    bool QueryScreenWindow(int32_t kind) const;
    // Destroyed at the start of the next update, in the order queued.
    void DeleteLater(CObject* object);

    void SetRealTime(bool realTime) { m_RealTime = realTime; }
    void SetDrawDivisor(uint32_t divisor) { m_Driver.SetDrawDivisor(divisor); }
    void SetUpdateWindows(bool update) { m_UpdateWindows = update; }
    uint32_t GetUpdatePassCount() const { return m_UpdatePassCount; }
    uint32_t GetDrawCount() const { return m_DrawCount; }
    double GetTotalGameTime() const { return m_Driver.GetTotalTime(); }
    // The next line of debug text at the top of the screen (reset every draw).
    int32_t TakeDebugLine() { return m_DebugLineCount++; }
    bool IsFolderWritable() const { return m_FolderWritable; }
    CShellScreen* GetScreen() const { return m_Screen; }
    CShellRootWindow* GetScreenWindow() const { return m_ScreenWindow.get(); }

private:
    bool OnIdleProcessing(CMessage& message) { return UpdateMusic(message); }
    bool OnCharacterTyped(CMessage& message);
    bool OnPlaySound(CMessage& message);
    void DrawFrameRateLine();
    void RunStep(float seconds, FrameStep kind) override;
    void RunDraw() override;

    bool m_DisplayFrameRate = false;
    bool m_BrightnessUnsaved = false;
    bool m_ShowOverlaysInEditor = true;
    bool m_RealTime = true;
    int32_t m_DebugLineCount = 0;
    bool m_KeepRunningInBackground = false;
    bool m_WindowActiveForPresent = false;
    int32_t m_Busy[2] = {0, 0};
    CFrameRateFont* m_FrameRateFont = nullptr;
    CShellScreen* m_Screen = nullptr;
    std::unique_ptr<CShellRootWindow> m_ScreenWindow;
    uint32_t m_UpdatePassCount = 0;
    uint32_t m_DrawCount = 0;
    CFrameDriver m_Driver;
    float m_UpdateRate = 0.0f;
    bool m_Active = true;
    bool m_FolderWritable = false;
    CArrayPOD<CObject*> m_DeferredDeletes;
    CGamePlugInObjectFunction<CGameBase> m_IdleRouter;
    CGamePlugInObjectFunction<CGameBase> m_CharacterRouter;
    CGamePlugInObjectFunction<CGameBase> m_SoundRouter;
    bool m_UpdateWindows = true;
    CObjectModelHost* m_PreviousHost = nullptr;
};
